#!/usr/bin/python3
"""Reads the running program through AT-SPI as a screen reader does, and checks what it meets.

Started by tst_screenreader.sh on a private session bus with the accessibility bus running:
  screenreader_client.py READY_FILE PID_FILE
It turns the screen reader switch on and listens for description changes, as Orca does, then
creates READY_FILE; the script starts the program and writes its process id to PID_FILE. Keys go
to the program through xdotool on $DISPLAY. The first failure ends the client with status 1 and a
line "FAIL: ..." on standard error.
"""
import subprocess
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

# Atspi.Action.get_action_name is the only way to read an action's name in AT-SPI 2.46 (Debian 12).
warnings.simplefilter("ignore", DeprecationWarning)

MAIN_TITLE = "TQ 58 Merovan"
BOX_TITLE = "Gewicht"
ADDRESS = "www.velmora-sim.example"
# Roles a user acts on: each of them must say what it is.
CONTROL_ROLES = {
    Atspi.Role.PUSH_BUTTON,
    Atspi.Role.LINK,
    Atspi.Role.SLIDER,
    Atspi.Role.TEXT,
    Atspi.Role.ENTRY,
    Atspi.Role.CHECK_BOX,
    Atspi.Role.RADIO_BUTTON,
    Atspi.Role.COMBO_BOX,
    Atspi.Role.LIST,
    Atspi.Role.MENU_ITEM,
    Atspi.Role.SPIN_BUTTON,
}


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


# Descriptions changed, as (object name, role) of the source, in the order they came.
description_events = []


def on_description(event):
    try:
        description_events.append((event.source.get_name(), event.source.get_role()))
    except GLib.Error:
        pass  # the object has gone meanwhile


def wait_for(seconds, condition, message):
    """Runs the event loop and asks condition() every 20 ms; fails with message after seconds."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while True:
        while context.pending():
            context.iteration(False)
        try:
            result = condition()
        except GLib.Error:
            result = None  # an object that went away while it was read: ask again
        if result:
            return result
        if time.monotonic() > deadline:
            fail(message)
        time.sleep(0.02)


def children(accessible):
    found = []
    for i in range(accessible.get_child_count()):
        child = accessible.get_child_at_index(i)
        if child is not None:
            found.append(child)
    return found


def walk(accessible):
    yield accessible
    for child in children(accessible):
        yield from walk(child)


def states(accessible):
    return accessible.get_state_set()


def role_name(accessible):
    return accessible.get_role_name() or str(accessible.get_role())


def described(accessible):
    return "%s \"%s\"" % (role_name(accessible), accessible.get_name())


def action_names(accessible):
    if accessible.get_action_iface() is None:
        return []
    return [Atspi.Action.get_action_name(accessible, i) for i in range(accessible.get_n_actions())]


def xdotool(*args):
    run = subprocess.run(["xdotool", *args], capture_output=True, text=True, check=False)
    return run.stdout.strip() if run.returncode == 0 else ""


def screen_reader_on():
    """Turns the desktop's screen reader switch on, as a screen reader does when it starts."""
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    bus.call_sync(
        "org.a11y.Bus",
        "/org/a11y/bus",
        "org.freedesktop.DBus.Properties",
        "Set",
        GLib.Variant("(ssv)", ("org.a11y.Status", "ScreenReaderEnabled", GLib.Variant("b", True))),
        None,
        Gio.DBusCallFlags.NONE,
        5000,
        None,
    )


def read_pid(pid_file):
    try:
        with open(pid_file, encoding="ascii") as f:
            return int(f.read().strip() or "0")
    except (OSError, ValueError):
        return 0


def find_application(pid):
    desktop = Atspi.get_desktop(0)
    for app in children(desktop):
        if app.get_process_id() == pid:
            return app
    return None


def window(app, role, title):
    for w in children(app):
        if w.get_role() == role and w.get_name() == title and states(w).contains(Atspi.StateType.SHOWING):
            return w
    return None


class Window:
    def __init__(self, frame):
        self.frame = frame

    def all(self):
        return list(walk(self.frame))

    def named(self, name):
        return [a for a in self.all() if a.get_name() == name]

    def one(self, name, role):
        """The one object named name; fails when there is none or it has another role."""
        found = self.named(name)
        if not found:
            fail("the window \"%s\" shows the screen reader nothing named \"%s\"" % (self.frame.get_name(), name))
        with_role = [a for a in found if a.get_role() == role]
        if not with_role:
            fail("\"%s\" is met as %s, not as %s" % (name, ", ".join(role_name(a) for a in found), role.value_nick))
        if len(with_role) > 1:
            fail("%d objects are named \"%s\" with role %s" % (len(with_role), name, role.value_nick))
        return with_role[0]


def check_description(accessible, expected, what):
    description = accessible.get_description()
    if description != expected:
        fail("%s: description \"%s\", expected \"%s\"" % (what, description, expected))


def description_becomes(accessible, expected, what, since):
    """Waits for the description-change event of accessible after event number since, and then for
    the description a screen reader reads on that event to be expected."""
    name, role = accessible.get_name(), accessible.get_role()
    wait_for(
        5,
        lambda: (name, role) in description_events[since:],
        "no object:property-change:accessible-description event came from %s (%s)" % (what, name),
    )
    wait_for(
        5,
        lambda: accessible.get_description() == expected,
        "%s: after the change event the description is \"%s\", expected \"%s\""
        % (what, accessible.get_description(), expected),
    )


def focus_x_window(title):
    """Gives the visible X window titled title the keyboard focus, as a window manager would, and
    waits until it has it."""

    def focused():
        target = xdotool("search", "--onlyvisible", "--name", "^%s$" % title).split("\n")[0]
        if not target:
            return None
        xdotool("windowfocus", target)
        return xdotool("getwindowfocus") == target

    wait_for(5, focused, "the window \"%s\" did not take the keyboard focus" % title)


def answer_weight_box(app, weight):
    wait_for(5, lambda: window(app, Atspi.Role.DIALOG, BOX_TITLE), "the weight input box was not met as a dialog")
    focus_x_window(BOX_TITLE)
    xdotool("type", "--delay", "20", weight)
    xdotool("key", "Return")
    wait_for(5, lambda: window(app, Atspi.Role.DIALOG, BOX_TITLE) is None, "the weight input box stayed open")


def check_all_named(window):
    """No control a user can reach or act on in window is without a name."""
    for accessible in window.all():
        reachable = states(accessible).contains(Atspi.StateType.FOCUSABLE)
        if (reachable or accessible.get_role() in CONTROL_ROLES) and not accessible.get_name().strip():
            fail(
                "the window \"%s\" has an unnamed %s%s"
                % (window.frame.get_name(), role_name(accessible), " that takes the focus" if reachable else "")
            )


def press(accessible, what):
    names = action_names(accessible)
    if "Press" not in names:
        fail("%s has no action Press (it has %s)" % (what, names))
    accessible.do_action(names.index("Press"))


def dialog_named(app, title):
    """The dialog the program shows with the title, once it shows it; a window with that title but
    another role fails."""

    def shown():
        for w in children(app):
            if w.get_name() == title and states(w).contains(Atspi.StateType.SHOWING):
                if w.get_role() != Atspi.Role.DIALOG:
                    fail("the window \"%s\" is told as %s, not as a dialog" % (title, role_name(w)))
                return w
        return None

    return Window(
        wait_for(
            5,
            shown,
            "no window \"%s\" came (the program shows: %s)" % (title, [described(w) for w in children(app)]),
        )
    )


def gone(app, title):
    wait_for(5, lambda: window(app, Atspi.Role.DIALOG, title) is None, "the window \"%s\" stayed open" % title)


def read_every_window(app, main_window):
    """Opens each of the program's other windows as a user of a screen reader does, through the
    menu items' and buttons' own actions, and reads it: a dialog named by its title, its fields
    named after their captions, no control without a name."""

    def by_menu(item, title, fields, close):
        press(main_window.one(item, Atspi.Role.MENU_ITEM), "the menu item \"%s\"" % item)
        dialog = dialog_named(app, title)
        for name, role in fields:
            dialog.one(name, role)
        check_all_named(dialog)
        press(dialog.one(close, Atspi.Role.PUSH_BUTTON), "\"%s\" in \"%s\"" % (close, title))
        gone(app, title)

    by_menu(
        "Optionen...",
        "Optionen",
        [("FS2000-Pfad", Atspi.Role.TEXT), ("Sprache", Atspi.Role.COMBO_BOX)],
        "Abbrechen",
    )
    by_menu("Info", "Informationen über 'Merovan for TQ 58'", [(ADDRESS, Atspi.Role.LINK)], "O.K.")
    by_menu(
        "Ladeliste...",
        "Ladeliste",
        [("Ladeliste", Atspi.Role.TABLE), ("TQ 58", Atspi.Role.IMAGE), ("Drucken", Atspi.Role.PUSH_BUTTON)],
        "Schliessen",
    )
    by_menu(
        "Beladung aus Flugzeug übernehmen...",
        "Beladung aus Flugzeug übernehmen",
        [("Wählen Sie bitte, aus welchem Flugzeug die Beladung übernommen werden soll", Atspi.Role.COMBO_BOX)],
        "Abbrechen",
    )

    # The export window, by the button; the copy chosen and the export confirmed by keys.
    press(main_window.one("Speichern", Atspi.Role.PUSH_BUTTON), "Speichern")
    title = "Flugzeug wählen"
    chooser = dialog_named(app, title)
    chooser.one("Wählen Sie bitte, welches der installierten TQ 58 Flugzeuge beladen werden soll", Atspi.Role.COMBO_BOX)
    check_all_named(chooser)
    focus_x_window(title)
    xdotool("key", "--delay", "20", "Down", "Return")
    wait_for(5, lambda: any(w.get_name() == "Fertig" for w in children(app)), "no completion message after the export")
    focus_x_window("Fertig")
    xdotool("key", "Return")
    gone(app, title)

    # Now that the copy has its backups, the restore window lists it.
    by_menu(
        "Auslieferungszustand wiederherstellen...",
        "Auslieferungszustand wiederherstellen",
        [
            (
                "Wählen Sie bitte, welches Flugzeug in den Auslieferungszustand zurückgesetzt werden soll",
                Atspi.Role.COMBO_BOX,
            )
        ],
        "Abbrechen",
    )
    focus_x_window(MAIN_TITLE)


def main():
    ready_file, pid_file = sys.argv[1], sys.argv[2]
    Atspi.init()
    listener = Atspi.EventListener.new(on_description)
    listener.register("object:property-change:accessible-description")
    screen_reader_on()
    open(ready_file, "w", encoding="ascii").close()

    pid = wait_for(10, lambda: read_pid(pid_file), "the program was not started")
    app = wait_for(10, lambda: find_application(pid), "the program (pid %d) never appeared on the accessibility bus" % pid)
    frame = wait_for(
        10,
        lambda: window(app, Atspi.Role.FRAME, MAIN_TITLE),
        "the application has no main window \"%s\" (it shows: %s)" % (MAIN_TITLE, [described(w) for w in children(app)]),
    )
    main_window = Window(frame)
    wait_for(5, lambda: main_window.named("Passagier rechts"), "the main window's seats never appeared")

    # The seats: buttons named after the seat, their state as the description.
    seats = {}
    for name, state in (
        ("Pilot", "80 kg"),
        ("Co-Pilot", "Platz frei"),
        ("Passagier links", "Platz frei"),
        ("Passagier rechts", "Platz frei"),
    ):
        seat = seats[name] = main_window.one(name, Atspi.Role.PUSH_BUTTON)
        check_description(seat, state, "seat " + name)
        if not states(seat).contains(Atspi.StateType.FOCUSABLE):
            fail("seat %s cannot take the focus" % name)
        if "Press" not in action_names(seat):
            fail("seat %s has no action Press (it has %s)" % (name, action_names(seat)))

    # The web link, once, as a link named after its address.
    link = main_window.one(ADDRESS, Atspi.Role.LINK)
    if not states(link).contains(Atspi.StateType.FOCUSABLE):
        fail("the web link cannot take the focus")
    twice = [described(a) for a in main_window.named(ADDRESS) if a.get_role() != Atspi.Role.LINK]
    if twice:
        fail("the address is met once more besides the link, as %s" % ", ".join(twice))

    # The slider, the boxes and the total, named after their captions; the total's figure as its
    # description.
    main_window.one("Gepäck", Atspi.Role.SLIDER)
    main_window.one("Gepäck", Atspi.Role.TEXT)
    persons = main_window.one("Personengewicht", Atspi.Role.TEXT)
    total = main_window.one("GESAMT", Atspi.Role.LABEL)
    check_description(total, "775 kg", "the total")
    if persons.get_text_iface() is None or Atspi.Text.get_text(persons, 0, -1) != "80":
        fail("the person-weight box does not read 80")

    check_all_named(main_window)

    # A seat taken by the screen reader's own action: the weight box opens, the description follows.
    co_pilot = seats["Co-Pilot"]
    since = len(description_events)
    co_pilot.do_action(action_names(co_pilot).index("Press"))
    answer_weight_box(app, "75")
    description_becomes(co_pilot, "75 kg", "seat Co-Pilot", since)
    description_becomes(total, "850 kg", "the total", since)

    # A seat taken by a key: the screen reader's focus on it, Space.
    left = seats["Passagier links"]
    focus_x_window(MAIN_TITLE)
    left.grab_focus()
    wait_for(5, lambda: states(left).contains(Atspi.StateType.FOCUSED), "seat Passagier links did not take the focus")
    since = len(description_events)
    xdotool("key", "space")
    answer_weight_box(app, "55")
    description_becomes(left, "55 kg", "seat Passagier links", since)
    description_becomes(total, "905 kg", "the total", since)

    # An occupied seat pressed again is free again, without a question.
    since = len(description_events)
    co_pilot.do_action(action_names(co_pilot).index("Press"))
    description_becomes(co_pilot, "Platz frei", "seat Co-Pilot", since)
    description_becomes(total, "830 kg", "the total", since)
    if window(app, Atspi.Role.DIALOG, BOX_TITLE) is not None:
        fail("freeing the co-pilot asked for a weight")

    read_every_window(app, main_window)

    # The program ends by its close button, pressed as the screen reader presses it.
    close = main_window.one("Schliessen", Atspi.Role.PUSH_BUTTON)
    try:
        close.do_action(action_names(close).index("Press"))
    except GLib.Error:
        pass  # the program may end before it answers; the script checks that it ended well
    print("screen reader client: all checks passed")


if __name__ == "__main__":
    main()
