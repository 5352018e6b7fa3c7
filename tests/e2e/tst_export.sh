#!/bin/sh
# The whole job through the real program: seat the co-pilot by clicking the seat and typing the
# weight, press "Speichern", pick the copy with the keyboard, confirm, and compare the written
# aircraft.cfg with the expected bytes. A second export of the same loading changes nothing.
STAGED=$1
. "$(dirname "$0")/lib.sh"

start_display
demo_copy
original="$E2E_TMP/original.cfg"
cp "$cfg" "$original"

# The demo copy is an aircraft.cfg as users have them: Western code page, CR LF, comments, a
# weight-and-balance section near the top with keys of its own, an indented header after it, no
# line end at the end. The whole result must be exactly the expected file.
expected="$(dirname "$0")/expected/nerova_tq58-copilot-75kg.cfg"

start_program
wait_main_window "main window did not appear"
seat_person "$window" 3195 2790 75 # co-pilot
export_once
cmp "$cfg" "$expected" || fail "aircraft.cfg differs from the expected bytes"
cmp "$PROGRAM/DemoFS2000/Aircraft/nerova_tq58/Model/TQ58-161.mdl" "$PROGRAM/Models/2.mdl" ||
    fail "the model file is not variant 2"
cmp "$(dirname "$cfg")/merovan-installed/aircraft.cfg.installed" "$original" || fail "no backup of the original aircraft.cfg"
export_once
cmp "$cfg" "$expected" || fail "a second export of the same loading changed aircraft.cfg"
click_client "$window" 8775 6030 2400 465 # cmdSchliessen
wait_exit 5 || fail "program still running after cmdSchliessen"
echo "PASS"
