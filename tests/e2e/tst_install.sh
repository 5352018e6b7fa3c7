#!/bin/sh
# make install and make uninstall for a user, in a home of its own (no real user needed: the
# desktop's tools read the home and the XDG folders from the environment):
# - an install refuses to go over a `merovan` of the user's own in ~/.local/bin, changing nothing;
# - the install: the launcher on the path, a desktop entry clean under desktop-file-validate, a
#   *.tqload file taken for application/x-merovan-loading and opened by merovan.desktop, as
#   xdg-mime (as a generic desktop and as GNOME) and GLib tell it, first-start settings in a
#   program folder the user can write;
# - a loading file with a blank and an umlaut in its name, opened by the desktop entry's command
#   as a double click in a file manager starts it (the Exec line split as GLib splits it, %f
#   replaced), is the loading on screen: exported into the user's FS2000 folder, it gives the
#   expected bytes;
# - an install again while Merovan runs, which keeps the user's settings, loadings and model
#   variants; the launcher on the path opens a loading named relative to the current folder;
# - the uninstall leaves the user's loadings, changed settings and model variants and nothing else
#   of the install, and the FS2000 folder as the export left it;
# - an install into a PREFIX whose path holds blanks, quotes and a $: its desktop entry is clean and
#   starts the program with the file; the uninstall leaves nothing behind.
#   tst_install.sh <build folder>
BUILD=$1
STAGED="$BUILD/Merovan"
. "$(dirname "$0")/lib.sh"
SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
TYPE=application/x-merovan-loading

# The user's session: its home, the XDG folders where they are by default, no desktop named.
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_DATA_DIRS XDG_CONFIG_DIRS XDG_MENU_PREFIX PREFIX \
    XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION KDE_SESSION_VERSION GNOME_DESKTOP_SESSION_ID
HOME="$E2E_TMP/home/jürgen"
export HOME
mkdir -p "$HOME"
PF="$HOME/.local/share/merovan"
ENTRY="$HOME/.local/share/applications/merovan.desktop"

user_install() { "$SOURCE/scripts/user-install" "$@" >"$E2E_TMP/install.log" 2>&1; }
install_says() { cat "$E2E_TMP/install.log"; }
# Every file with its content, every link with its target, every folder below $1.
snapshot() {
    (cd "$1" && find . -type f -exec sha256sum {} + | sort -k 2 && find . -type l -printf '%p -> %l\n' | sort &&
        find . -type d | sort)
}
glib() { /usr/bin/python3 "$(dirname "$0")/desktop_entry.py" "$@"; }
clean_entry() {
    desktop-file-validate "$1" >"$E2E_TMP/validate.log" 2>&1 && [ ! -s "$E2E_TMP/validate.log" ] ||
        fail "desktop-file-validate finds fault with $1: $(cat "$E2E_TMP/validate.log")"
}
# Starts the command $@ from a folder of no meaning to it, as a file manager does.
start_command() {
    unset QT_QPA_PLATFORM
    (cd "$E2E_TMP" && XDG_RUNTIME_DIR="$E2E_TMP" exec "$@" >"$E2E_TMP/program.log" 2>&1) &
    APP_PID=$!
}
# True when the loadings used last in program folder $1 name file $2.
recent_has() { tr -d '\r' <"$1/recent.cfg" | grep -qxF "file=$2"; }
close_program() {
    click_client "$window" 8775 6030 2400 465 # cmdSchliessen
    wait_exit 5 || fail "program still running after cmdSchliessen"
    [ "$APP_STATUS" = 0 ] || fail "exit status $APP_STATUS"
}

# The user's own `merovan` in ~/.local/bin stands in the way: nothing is installed.
mkdir -p "$HOME/.local/bin"
printf '#!/bin/sh\necho mine\n' >"$HOME/.local/bin/merovan"
before=$(snapshot "$HOME")
user_install install "$BUILD" && fail "the install went over the user's own ~/.local/bin/merovan"
install_says | grep -q "/.local/bin/merovan is there already" || fail "the refusal says: $(install_says)"
[ "$(snapshot "$HOME")" = "$before" ] || fail "the refused install changed the home"
rm -r "$HOME/.local"

# The user's FS2000 folder with a TQ 58 as installed, and a loading file of theirs.
cp -a "$STAGED/DemoFS2000" "$HOME/FS2000"
copy="$HOME/FS2000/Aircraft/nerova_tq58"
cfg="$copy/aircraft.cfg"
cp "$SOURCE/data/demo/DemoFS2000/Aircraft/nerova_tq58/aircraft.cfg" "$cfg"
rm -rf "$copy/merovan-installed"
mkdir "$HOME/Dokumente"
loading="$HOME/Dokumente/Flug über Hamburg.tqload"
printf 'Merovan TQ 58 loading 1\r\npilot=80\r\ncopilot=75\r\npassenger_left=\r\npassenger_right=\r\nbaggage=0\r\n' \
    >"$loading"
fs2000=$(snapshot "$HOME/FS2000")

user_install install "$BUILD" || fail "make install failed: $(install_says)"
[ "$(snapshot "$HOME/FS2000")" = "$fs2000" ] || fail "the install changed the FS2000 folder"
[ "$(readlink "$HOME/.local/bin/merovan")" = "$PF/merovan" ] || fail "no launcher ~/.local/bin/merovan"
clean_entry "$ENTRY"
for desktop in X-Generic GNOME; do
    type=$(XDG_CURRENT_DESKTOP=$desktop xdg-mime query filetype "$loading" 2>/dev/null)
    [ "$type" = "$TYPE" ] || fail "xdg-mime as $desktop takes the loading file for '$type'"
done
[ "$(xdg-mime query default $TYPE)" = merovan.desktop ] || fail "xdg-mime: '$(xdg-mime query default $TYPE)' opens $TYPE"
[ "$(glib default $TYPE)" = merovan.desktop ] || fail "GLib: '$(glib default $TYPE)' opens $TYPE"
# Laid out as for a first start, with no demo in it, and the user's to write.
cmp "$PF/strt.cfg" "$SOURCE/data/strt.cfg" && cmp "$PF/options.cfg" "$SOURCE/data/options.cfg" &&
    cmp "$PF/Data/language.crf" "$PF/Data/languages/german.crf" || fail "the settings are not those of a first start"
[ ! -e "$PF/DemoFS2000" ] && [ -d "$PF/Models" ] && [ -z "$(ls -A "$PF/Models")" ] || fail "the demo was installed"
not_writable=$(find "$PF" \( ! -user "$(id -u)" -o ! -perm -u+w \) -print)
[ -z "$not_writable" ] || fail "the user cannot write $not_writable"

# Past the first start, with the FS2000 folder chosen; the aircraft's model variants in Models/ and
# a loading in the program's own Loadings/ folder, as the user has them.
printf ' 0 \r\n' >"$PF/strt.cfg"
printf '%s/FS2000/\r\n' "$HOME" >"$PF/options.cfg"
cp "$STAGED"/Models/*.mdl "$PF/Models/"
mkdir "$PF/Loadings"
cp "$loading" "$PF/Loadings/Rundflug.tqload"

# A double click on the loading file.
start_display
command=$(glib exec "$ENTRY" "$loading") || fail "GLib cannot start $ENTRY"
eval "set -- $command"
[ "$1" = "$PF/merovan" ] && [ "$2" = "$loading" ] && [ $# = 2 ] || fail "the desktop entry starts: $command"
start_command "$@"
wait_main_window "main window did not appear for a double click on the loading file"
export_once
cmp "$cfg" "$SOURCE/tests/e2e/expected/nerova_tq58-copilot-75kg.cfg" ||
    fail "the loading on screen is not the one double-clicked"
fs2000=$(snapshot "$HOME/FS2000")

# Installed again while it runs: the user's settings, loadings and model variants stay.
settings=$(snapshot "$PF" | grep -E ' \./(strt|options|recent)\.cfg$| \./Loadings/| \./Models/')
user_install install "$BUILD" || fail "make install again, with Merovan running, failed: $(install_says)"
[ "$(snapshot "$PF" | grep -E ' \./(strt|options|recent)\.cfg$| \./Loadings/| \./Models/')" = "$settings" ] ||
    fail "the install again changed the user's settings, loadings or model variants"
recent_has "$PF" "$loading" || fail "recent.cfg holds: $(cat "$PF/recent.cfg")"
close_program

# The launcher on the path, with a loading named as in a terminal in its folder.
(cd "$PF/Loadings" && PATH="$HOME/.local/bin:$PATH" XDG_RUNTIME_DIR="$E2E_TMP" \
    exec merovan Rundflug.tqload >"$E2E_TMP/program.log" 2>&1) &
APP_PID=$!
wait_main_window "main window did not appear for: merovan Rundflug.tqload"
close_program
recent_has "$PF" "$PF/Loadings/Rundflug.tqload" || fail "the launcher did not open Rundflug.tqload"

user_install uninstall || fail "make uninstall failed: $(install_says)"
install_says | grep -q "Loadings/" || fail "the uninstall does not say that the loadings stay: $(install_says)"
[ "$(snapshot "$HOME/FS2000")" = "$fs2000" ] || fail "the uninstall changed the FS2000 folder"
type=$(xdg-mime query filetype "$loading" 2>/dev/null)
[ "$type" != "$TYPE" ] || fail "after the uninstall, xdg-mime still knows $TYPE"
left=$(cd "$HOME" && find . -path ./FS2000 -prune -o -print | LC_ALL=C sort)
[ "$left" = ".
./.local
./.local/share
./.local/share/merovan
./.local/share/merovan/Loadings
./.local/share/merovan/Loadings/Rundflug.tqload
./.local/share/merovan/Models
./.local/share/merovan/Models/1.mdl
./.local/share/merovan/Models/2.mdl
./.local/share/merovan/Models/3.mdl
./.local/share/merovan/Models/4.mdl
./.local/share/merovan/Models/5.mdl
./.local/share/merovan/options.cfg
./.local/share/merovan/recent.cfg
./.local/share/merovan/strt.cfg
./Dokumente
./Dokumente/Flug über Hamburg.tqload" ] || fail "after the uninstall the home holds: $left"

# Elsewhere, in a folder whose path has blanks, quotes and a $ in it.
prefix="$E2E_TMP/Programme für \"alle\" \$HOME"
PREFIX=$prefix user_install install "$BUILD" || fail "make install PREFIX=... failed: $(install_says)"
clean_entry "$prefix/share/applications/merovan.desktop"
command=$(glib exec "$prefix/share/applications/merovan.desktop" "$loading") || fail "GLib cannot start it"
eval "set -- $command"
[ "$1" = "$prefix/share/merovan/merovan" ] && [ "$2" = "$loading" ] && [ $# = 2 ] ||
    fail "the desktop entry in PREFIX starts: $command"
printf ' 0 \r\n' >"$prefix/share/merovan/strt.cfg"
start_command "$@"
wait_main_window "main window did not appear from PREFIX"
close_program
recent_has "$prefix/share/merovan" "$loading" || fail "the program in PREFIX did not open the loading"
rm "$prefix/share/merovan/recent.cfg" "$prefix/share/merovan/strt.cfg"
PREFIX=$prefix user_install uninstall || fail "make uninstall PREFIX=... failed: $(install_says)"
[ ! -e "$prefix" ] || fail "the uninstall left in PREFIX: $(cd "$prefix" && find . | sort)"
echo "PASS"
