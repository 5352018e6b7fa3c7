#!/bin/sh
# First start after installation: the options window appears instead of the main window, and its
# Cancel ends the program without touching the settings.
STAGED=$1
. "$(dirname "$0")/lib.sh"

start_display
make_program_folder 1
before=$(cat "$PROGRAM/strt.cfg" "$PROGRAM/options.cfg" "$PROGRAM/Data/language.crf" | md5sum)
start_program
window=$(wait_window "Optionen" 10) || fail "options window did not appear"
if xdotool search --onlyvisible --name "^TQ 58 Merovan\$" >/dev/null 2>&1; then
    fail "the main window is on screen on the first start"
fi
focus_window "$window"
xdotool key Escape
wait_exit 5 || fail "program still running after Cancel on the first start"
after=$(cat "$PROGRAM/strt.cfg" "$PROGRAM/options.cfg" "$PROGRAM/Data/language.crf" | md5sum)
[ "$before" = "$after" ] || fail "settings changed by Cancel"
echo "PASS"
