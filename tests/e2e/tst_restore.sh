#!/bin/sh
# Export, then give the copy back as installed through Export > "Auslieferungszustand
# wiederherstellen..." (the third entry): afterwards aircraft.cfg and the model are byte for byte the installed ones.
STAGED=$1
. "$(dirname "$0")/lib.sh"

start_display
demo_copy
cp "$copy/aircraft.cfg" "$E2E_TMP/installed.cfg"
cp "$copy/Model/TQ58-161.mdl" "$E2E_TMP/installed.mdl"

start_program
wait_main_window "main window did not appear"
seat_person "$window" 3195 2790 75 # co-pilot
export_once
cmp -s "$copy/aircraft.cfg" "$E2E_TMP/installed.cfg" && fail "the export did not change aircraft.cfg"

export_menu_entry "$window" 3
answer_window "Auslieferungszustand wiederherstellen" "Down Return" "restore window did not appear"
answer_window '\?' "alt+j" "no question before the restore" # Ja: Return would keep the files
answer_window "Fertig" "Return" "no completion message" closes
cmp "$copy/aircraft.cfg" "$E2E_TMP/installed.cfg" || fail "aircraft.cfg is not as installed"
cmp "$copy/Model/TQ58-161.mdl" "$E2E_TMP/installed.mdl" || fail "the model is not as installed"
cmp "$copy/merovan-installed/aircraft.cfg.installed" "$E2E_TMP/installed.cfg" || fail "the backup of aircraft.cfg changed"
click_client "$window" 8775 6030 2400 465 # cmdSchliessen
wait_exit 5 || fail "program still running after cmdSchliessen"
echo "PASS"
