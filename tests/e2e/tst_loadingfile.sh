#!/bin/sh
# Set a loading and export it; save it with Ctrl+S, which asks for a name while there is no file
# (Qt's file dialog, a name with an umlaut and a comma); start again (the start loading), open it
# from the File menu's list of loadings used last and export once more; then start with the file
# named on the command line, as a double click on Windows does, and export again. aircraft.cfg is
# byte for byte the first export's each time, so the real window showed the loading that was
# saved. Last, a seat changed and Ctrl+S writes the file opened without a dialog.
STAGED=$1
. "$(dirname "$0")/lib.sh"

start_display
demo_copy
name="Hamburg, mit Jürgen"
saved="$PROGRAM/Loadings/$name.tqload"

start_program
wait_main_window "main window did not appear"
seat_person "$window" 3195 2790 75 # co-pilot
seat_person "$window" 3825 3240 60 # passenger left (total 910 kg: no fuel question)
export_once
cp "$cfg" "$E2E_TMP/exported.cfg"
focus_window "$window"
xdotool key ctrl+s
dialog=$(wait_window "Speichern unter" 5) || fail "Ctrl+S without a file showed no save dialog"
focus_window "$dialog"
xdotool type --delay 30 "$name"
xdotool key Return
wait_gone "Speichern unter" 5 || fail "save dialog stayed open"
wait_until 5 test -f "$saved" || fail "no file $saved"
grep -q '^copilot=75' "$saved" && grep -q '^passenger_left=60' "$saved" || fail "$saved holds: $(cat "$saved")"
click_client "$window" 8775 6030 2400 465 # cmdSchliessen
wait_exit 5 || fail "program still running after cmdSchliessen"
grep -q "^file=.*/Loadings/$name.tqload" "$PROGRAM/recent.cfg" || fail "recent.cfg holds: $(cat "$PROGRAM/recent.cfg")"

start_program
wait_main_window "main window did not appear the second time"
file_menu_entry "$window" 4 # the first loading used last, after open, save and save as
export_once
cmp "$cfg" "$E2E_TMP/exported.cfg" || fail "the loading opened from the list is not the one saved"
click_client "$window" 8775 6030 2400 465 # cmdSchliessen
wait_exit 5 || fail "program still running after cmdSchliessen"

start_program "$saved"
wait_main_window "main window did not appear with a file named"
export_once
cmp "$cfg" "$E2E_TMP/exported.cfg" || fail "the loading named on the command line is not the one saved"
seat_person "$window" 3825 2790 64 # passenger right
focus_window "$window"
xdotool key ctrl+s
wait_until 5 grep -q '^passenger_right=64' "$saved" || fail "Ctrl+S did not write $saved: $(cat "$saved")"
window_gone "Speichern unter" || fail "Ctrl+S with a file open showed the save dialog"
click_client "$window" 8775 6030 2400 465 # cmdSchliessen
wait_exit 5 || fail "program still running after cmdSchliessen"
[ "$APP_STATUS" = 0 ] || fail "exit status $APP_STATUS"
echo "PASS"
