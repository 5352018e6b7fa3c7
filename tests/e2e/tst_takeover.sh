#!/bin/sh
# Export a loading, start again (the start loading), take the loading over through Export >
# "Beladung aus Flugzeug übernehmen..." (the second entry) and export once more: aircraft.cfg is
# byte for byte the first export's, so the real window took over the loading that was exported.
STAGED=$1
. "$(dirname "$0")/lib.sh"

start_display
demo_copy

start_program
wait_main_window "main window did not appear"
seat_person "$window" 3195 2790 75 # co-pilot
seat_person "$window" 3825 3240 60 # passenger left (total 910 kg: no fuel question)
export_once
cp "$copy/aircraft.cfg" "$E2E_TMP/exported.cfg"
click_client "$window" 8775 6030 2400 465 # cmdSchliessen
wait_exit 5 || fail "program still running after cmdSchliessen"

start_program
wait_main_window "main window did not appear the second time"
export_menu_entry "$window" 2
answer_window "Beladung aus Flugzeug übernehmen" "Down Return" "take-over window did not appear" closes
export_once
cmp "$copy/aircraft.cfg" "$E2E_TMP/exported.cfg" || fail "the loading taken over is not the one exported"
click_client "$window" 8775 6030 2400 465 # cmdSchliessen
wait_exit 5 || fail "program still running after cmdSchliessen"
echo "PASS"
