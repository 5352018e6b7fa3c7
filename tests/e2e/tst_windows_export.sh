#!/bin/sh
# The Windows program from its zip, under Wine in a real window on a private Xvfb: it starts into
# the main window, a picture of that window is saved, the co-pilot is seated, an export into the
# demo FS2000 folder (given as a Z:\ path with backslashes) writes the expected bytes, and the close
# button ends the program with exit status 0. The zip's folder brings its own DLLs: Wine's search
# path is emptied.
#   tst_windows_export.sh <zip> <staged program folder> <wine-run> <merovan-grab> <screenshot.png>
ZIP=$1
STAGED=$2
WINE_RUN=$3
GRAB=$4
SCREENSHOT=$5
. "$(dirname "$0")/lib.sh"

start_display
[ -f "$ZIP" ] && (cd "$E2E_TMP" && cmake -E tar xf "$ZIP") || fail "could not unpack $ZIP"
PROGRAM="$E2E_TMP/Merovan"
[ -f "$PROGRAM/merovan.exe" ] || fail "no merovan.exe in the zip"
cp -a "$STAGED/DemoFS2000" "$PROGRAM/DemoFS2000"
printf ' 0 \r\n' >"$PROGRAM/strt.cfg"
printf 'Z:%s\\DemoFS2000\\\r\n' "$(echo "$PROGRAM" | tr / '\\')" >"$PROGRAM/options.cfg"
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

# Windows are made through the prefix's desktop process, which takes its X display from the
# process that starts it: wait until the tests before have left, so that this program starts it.
"$WINE_RUN" wineserver -w
# Wine draws the text of line edits on Xvfb only with Qt's FreeType font engine.
(cd "$PROGRAM" && MEROVAN_WINEPATH= QT_QPA_PLATFORM="windows:fontengine=freetype" \
    exec "$WINE_RUN" "$PROGRAM/merovan.exe" >"$E2E_TMP/program.log" 2>&1) &
APP_PID=$!
# Wine's first start in a prefix takes a while.
window=$(wait_window "TQ 58 Merovan" 60) || fail "main window did not appear"
sleep 1
grab "$window" "$SCREENSHOT"
echo "picture of the main window: $SCREENSHOT"
seat_person "$window" 3195 2790 75 # co-pilot
click_client "$window" 8775 5535 2400 465 # cmdSpeichern
export_window=$(wait_window "Flugzeug wählen" 10) || fail "export window did not appear"
sleep 0.5
xdotool windowfocus "$export_window" 2>/dev/null || true
xdotool key Down
sleep 0.3
xdotool key Return
done_box=$(wait_window "Fertig" 10) || fail "no completion message"
sleep 0.3
xdotool windowfocus "$done_box" 2>/dev/null || true
xdotool key Return
sleep 0.5
cmp "$cfg" "$expected" || fail "aircraft.cfg differs from the expected bytes"
cmp "$PROGRAM/DemoFS2000/Aircraft/nerova_tq58/Model/TQ58-161.mdl" "$PROGRAM/Models/2.mdl" ||
    fail "the model file is not variant 2"
cmp "$cfg.bak" "$original" || fail "no backup of the original aircraft.cfg"
ls -a "$PROGRAM/DemoFS2000/Aircraft/nerova_tq58" | grep -q '\.tmp$' && fail "a temporary file was left behind"
click_client "$window" 8775 6030 2400 465 # cmdSchliessen
wait_exit 15 || fail "program still running after cmdSchliessen"
[ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS"
echo "PASS"
