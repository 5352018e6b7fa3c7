#!/bin/sh
# The whole job through the real program: seat the co-pilot by clicking the seat and typing the
# weight, press "Speichern", pick the copy with the keyboard, confirm, and compare the written
# aircraft.cfg with the expected bytes.
STAGED=$1
. "$(dirname "$0")/lib.sh"

start_display
make_program_folder 0
printf '%s/DemoFS2000/\r\n' "$PROGRAM" >"$PROGRAM/options.cfg"
cfg="$PROGRAM/DemoFS2000/Aircraft/nerova_tq58/aircraft.cfg"
original="$E2E_TMP/original.cfg"
cp "$cfg" "$original"

# Expected: the bytes before the header, the new section, and everything from the next section on.
header=$(grep -a -b -o '\[WEIGHT_AND_BALANCE\]' "$original" | head -n 1 | cut -d: -f1)
next=$(grep -a -b -o '^\[fuel\]' "$original" | head -n 1 | cut -d: -f1)
[ -n "$header" ] && [ -n "$next" ] || fail "demo aircraft.cfg lacks its sections"
expected="$E2E_TMP/expected.cfg"
{
    head -c "$header" "$original"
    printf '\r\n[WEIGHT_AND_BALANCE]\r\n\r\n'
    printf 'empty_weight = 1532             // (pounds) kg=>lbs x 2,2046\r\n'
    printf 'reference_datum_position     =   0.0,   0, 0\r\n'
    printf 'empty_weight_CG_position     =   0.0,   0, 0\r\n'
    printf 'station_load.0 =   176,  0.4, -1.7, 0.0       //Pilot Mirk   Weight (lbs)\r\n'
    printf 'station_load.1 =   165, 0.4, 1.7, 0.0       //Co-Pilot     Weight (lbs)\r\n'
    printf 'station_load.2 =    0 , -3.0, -1.7, 0.0       //Passenger    Weight (lbs)\r\n'
    printf 'station_load.3 =    0 , -3.0, 1.7, 0.0       //Passenger    Weight (lbs)\r\n'
    printf 'station_load.4 =   0, -6.5,  0.0, 0.0           //Baggage      Weight (lbs)\r\n'
    tail -c +"$((next + 1))" "$original"
} >"$expected"

start_program
window=$(wait_window "TQ 58 Merovan" 10) || fail "main window did not appear"
sleep 0.3
seat_person "$window" 3195 2790 75 # co-pilot
click_client "$window" 8775 5535 2400 465 # cmdSpeichern
export_window=$(wait_window "Flugzeug wählen" 5) || fail "export window did not appear"
sleep 0.3
xdotool windowfocus "$export_window" 2>/dev/null || true
xdotool key Down
sleep 0.2
xdotool key Return
done_box=$(wait_window "Fertig" 5) || fail "no completion message"
sleep 0.2
xdotool windowfocus "$done_box" 2>/dev/null || true
xdotool key Return
sleep 0.3
cmp "$cfg" "$expected" || fail "aircraft.cfg differs from the expected bytes"
cmp "$PROGRAM/DemoFS2000/Aircraft/nerova_tq58/Model/TQ58-161.mdl" "$PROGRAM/Models/2.mdl" ||
    fail "the model file is not variant 2"
cmp "$cfg.bak" "$original" || fail "no backup of the original aircraft.cfg"
click_client "$window" 8775 6030 2400 465 # cmdSchliessen
wait_exit 5 || fail "program still running after cmdSchliessen"
echo "PASS"
