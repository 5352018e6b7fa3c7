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
# As shipped: an aircraft.cfg as users have them (Western code page, CR LF, comments, keys of its
# own in the weight-and-balance section); the whole result must be exactly the expected file.
cp "$(dirname "$0")/../../data/demo/DemoFS2000/Aircraft/nerova_tq58/aircraft.cfg" "$cfg"
rm -rf "$(dirname "$cfg")/merovan-installed"
original="$E2E_TMP/original.cfg"
cp "$cfg" "$original"
expected="$(dirname "$0")/expected/nerova_tq58-copilot-75kg.cfg"

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
cmp "$(dirname "$cfg")/merovan-installed/aircraft.cfg.installed" "$original" || fail "no backup of the original aircraft.cfg"
ls -a "$PROGRAM/DemoFS2000/Aircraft/nerova_tq58" | grep -q '\.tmp$' && fail "a temporary file was left behind"
click_client "$window" 8775 6030 2400 465 # cmdSchliessen
wait_exit 15 || fail "program still running after cmdSchliessen"
[ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS"
echo "PASS"
