#!/usr/bin/python3
"""Asks GLib, as GNOME's file manager does, about an installed desktop entry.

  desktop_entry.py exec ENTRY FILE   the command a double click on FILE starts, as a shell line:
                                     the entry's Exec with %f replaced by FILE, split as GLib splits it
  desktop_entry.py default MIME_TYPE the desktop entry that opens files of MIME_TYPE

The home and the data folders come from the environment ($HOME, $XDG_DATA_HOME, ...). A failure
ends with status 1 and a line "FAIL: ..." on standard error.
"""
import shlex
import sys

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def command_line(entry, file):
    info = Gio.DesktopAppInfo.new_from_filename(entry)
    if info is None:
        fail(f"GLib does not take {entry} as a desktop entry (or its TryExec is missing)")
    if not info.supports_files():
        fail(f"{entry} takes no file (no %f or %F in Exec)")
    # GLib's own expansion: each field code is replaced by the file shell-quoted, then the line is
    # split by the shell's rules.
    exec_line = info.get_string("Exec")
    expanded = ""
    i = 0
    while i < len(exec_line):
        if exec_line[i] == "%" and i + 1 < len(exec_line):
            code = exec_line[i + 1]
            if code == "%":
                expanded += "%"
            elif code in "fF":
                expanded += GLib.shell_quote(file)
            elif code not in "uUdDnNickvm":
                fail(f"Exec of {entry} holds the unknown field code %{code}")
            i += 2
            continue
        expanded += exec_line[i]
        i += 1
    ok, argv = GLib.shell_parse_argv(expanded)
    if not ok:
        fail(f"GLib cannot split Exec of {entry}: {exec_line}")
    return argv


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "exec":
        print(" ".join(shlex.quote(arg) for arg in command_line(sys.argv[2], sys.argv[3])))
    elif len(sys.argv) == 3 and sys.argv[1] == "default":
        info = Gio.AppInfo.get_default_for_type(sys.argv[2], False)
        print(info.get_id() if info else "")
    else:
        fail("usage: desktop_entry.py exec ENTRY FILE | default MIME_TYPE")


main()
