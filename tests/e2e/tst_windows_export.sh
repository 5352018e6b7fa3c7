#!/bin/sh
# The Windows program from its zip, under Wine in a real window on a private Xvfb, started as a
# double click starts it: from its own folder on drive C:, with Qt's default font engine. Without
# Tahoma in the prefix its main window draws in a sans-serif face with every caption whole; with
# Tahoma, its controls get the system's Tahoma (no fallback font); a picture of that window is
# saved; the co-pilot is seated; an export into the demo FS2000 folder (a C:\ path with backslashes
# and letters outside the Western code page) writes the expected bytes; and the close button ends
# the program with exit status 0. Started again with a loading file named on the command line, as
# a double click on the file starts it, it exports the same bytes. The zip's folder brings its own
# DLLs: Wine's search path is emptied. The demo's model stand-ins, which the zip does not ship, are
# put into Models/ as a user trying the demo would.
#   tst_windows_export.sh <zip> <staged program folder> <wine-run> <merovan-grab> <screenshot.png>
ZIP=$1
STAGED=$2
WINE_RUN=$3
GRAB=$4
SCREENSHOT=$5
. "$(dirname "$0")/lib.sh"

start_display
# Drive C: of the prefix, where the program is unpacked.
drive_c=$("$WINE_RUN" winepath -u 'C:\' 2>/dev/null | tr -d '\r') && [ -d "$drive_c" ] ||
    fail "no drive C: in the Wine prefix"
ON_C=$(mktemp -d "${drive_c%/}/merovan-e2e.XXXXXX")
trap 'cleanup; rm -rf "$ON_C"' EXIT
[ -f "$ZIP" ] && (cd "$ON_C" && cmake -E tar xf "$ZIP") || fail "could not unpack $ZIP"
PROGRAM="$ON_C/Merovan"
PROGRAM_DOS="C:\\$(basename "$ON_C")\\Merovan"
[ -f "$PROGRAM/merovan.exe" ] || fail "no merovan.exe in the zip"
cp "$STAGED"/Models/*.mdl "$PROGRAM/Models/"
FS2000="$PROGRAM/Gry łč/DemoFS2000"
mkdir -p "$PROGRAM/Gry łč"
cp -a "$STAGED/DemoFS2000" "$FS2000"
printf ' 0 \r\n' >"$PROGRAM/strt.cfg"
printf '%s\\Gry łč\\DemoFS2000\\\r\n' "$PROGRAM_DOS" >"$PROGRAM/options.cfg"
cfg="$FS2000/Aircraft/nerova_tq58/aircraft.cfg"
# As shipped: an aircraft.cfg as users have them (Western code page, CR LF, comments, keys of its
# own in the weight-and-balance section); the whole result must be exactly the expected file.
cp "$(dirname "$0")/../../data/demo/DemoFS2000/Aircraft/nerova_tq58/aircraft.cfg" "$cfg"
rm -rf "$(dirname "$cfg")/merovan-installed"
original="$E2E_TMP/original.cfg"
cp "$cfg" "$original"
expected="$(dirname "$0")/expected/nerova_tq58-copilot-75kg.cfg"

# Windows keeps Tahoma and MS Sans Serif in its font folder. This Wine offers its own copies to
# programs only from there.
fonts_dir=$("$WINE_RUN" winepath -u 'C:\windows\Fonts' 2>/dev/null | tr -d '\r')
mkdir -p "$fonts_dir"
fonts_key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
# Runs "$@ <file> <registry name>" for each of the two fonts.
each_font() {
    "$@" tahoma.ttf "Tahoma (TrueType)"
    "$@" ms_sans_serif.ttf "MS Sans Serif Regular (TrueType)"
}
remove_font() {
    rm -f "$fonts_dir/$1"
    "$WINE_RUN" reg delete "$fonts_key" /v "$2" /f >/dev/null 2>&1 || true
}
add_font() {
    [ -f "/usr/share/wine/fonts/$1" ] || fail "Wine's font $1 is missing (Debian: fonts-wine)"
    cp "/usr/share/wine/fonts/$1" "$fonts_dir/"
    "$WINE_RUN" reg add "$fonts_key" /v "$2" /t REG_SZ /d "$1" /f >/dev/null 2>&1 || fail "could not register $1"
}

# Starts the program from its folder (with the arguments given) and waits for its main window's
# first paint: $window, and $fonts and $cut as the paint reported them.
start_windows_program() {
    # Windows are made through the prefix's desktop process, which takes its X display from the
    # process that starts it: wait until the programs before have left, so that this one starts it.
    "$WINE_RUN" wineserver -w
    : >"$E2E_TMP/program.log"
    (cd "$PROGRAM" && MEROVAN_WINEPATH= MEROVAN_FIRST_PAINT_STAMP=1 QT_QPA_PLATFORM=windows \
        exec "$WINE_RUN" "$PROGRAM_DOS\\merovan.exe" "$@" >"$E2E_TMP/program.log" 2>&1) &
    APP_PID=$!
    # Wine's first start in a prefix takes a while.
    window=$(wait_window "TQ 58 Merovan" 60) || fail "main window did not appear"
    wait_until 10 first_paint || fail "the main window was not painted"
    fonts=$(sed -n 's/^first-paint-fonts //p' "$E2E_TMP/program.log" | head -n 1 | tr -d '\r')
    cut=$(sed -n 's/^first-paint-cut://p' "$E2E_TMP/program.log" | head -n 1 | tr -d '\r')
}
first_paint() { grep -q '^first-paint-cut:' "$E2E_TMP/program.log"; }
close_windows_program() {
    click_client "$window" 8775 6030 2400 465 # cmdSchliessen
    wait_exit 15 || fail "program still running after cmdSchliessen"
    [ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS"
}

# First without them, as in a bare Wine prefix or on a Windows that lacks them: the system's
# sans-serif font, never a serif fallback, and every caption whole ("GESAMT:" among them).
each_font remove_font
start_windows_program
echo "without Tahoma the main window draws in: $fonts"
# One face for the whole window, menus included (they take the system's menu font, itself Tahoma in
# Wine), and a sans-serif one.
case "$fonts" in
'' | *'|'*) fail "without Tahoma the main window draws in several faces: $fonts" ;;
"Microsoft Sans Serif") ;;
*[Ss]erif* | *Times* | *Roman* | *Math* | *Georgia*) fail "without Tahoma the main window falls back to $fonts" ;;
esac
[ -z "$cut" ] || fail "without Tahoma these captions are cut: $cut ($fonts)"
close_windows_program

# Then with them, put where Windows keeps them: the program gets them by name.
each_font add_font
start_windows_program
[ "$fonts" = Tahoma ] || fail "the main window's fonts are '$fonts', not Tahoma alone"
[ -z "$cut" ] || fail "these captions are cut: $cut"
grab "$window" "$SCREENSHOT"
echo "picture of the main window: $SCREENSHOT"
seat_person "$window" 3195 2790 75 # co-pilot
click_client "$window" 8775 5535 2400 465 # cmdSpeichern
# Wine takes its time with a new window; answer_window then finds it at once.
wait_window "Flugzeug wählen" 10 >/dev/null || fail "export window did not appear"
answer_window "Flugzeug wählen" "Down Return" "export window went away"
wait_window "Fertig" 10 >/dev/null || fail "no completion message"
answer_window "Fertig" Return "completion message went away" closes
cmp "$cfg" "$expected" || fail "aircraft.cfg differs from the expected bytes"
cmp "$FS2000/Aircraft/nerova_tq58/Model/TQ58-161.mdl" "$PROGRAM/Models/2.mdl" ||
    fail "the model file is not variant 2"
cmp "$(dirname "$cfg")/merovan-installed/aircraft.cfg.installed" "$original" || fail "no backup of the original aircraft.cfg"
ls -a "$FS2000/Aircraft/nerova_tq58" | grep -q '\.tmp$' && fail "a temporary file was left behind"
close_windows_program

# Opened as a double click opens a loading file: its path with backslashes and letters outside the
# Western code page on the command line. Exported into the copy as it was, it gives the same bytes.
printf 'Merovan TQ 58 loading 1\r\npilot=80\r\ncopilot=75\r\npassenger_left=\r\npassenger_right=\r\nbaggage=0\r\n' \
    >"$PROGRAM/Gry łč/Flug über Łódź.tqload"
cp "$original" "$cfg"
start_windows_program "$PROGRAM_DOS\\Gry łč\\Flug über Łódź.tqload"
click_client "$window" 8775 5535 2400 465 # cmdSpeichern
wait_window "Flugzeug wählen" 10 >/dev/null || fail "export window did not appear"
answer_window "Flugzeug wählen" "Down Return" "export window went away"
wait_window "Fertig" 10 >/dev/null || fail "no completion message"
answer_window "Fertig" Return "completion message went away" closes
cmp "$cfg" "$expected" || fail "the loading file named on the command line was not the one exported"
close_windows_program
echo "PASS"
