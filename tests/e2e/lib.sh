# Shared pieces of the real-window tests: a private X server, a copy of the program folder, and
# waiting for windows. Sourced by the test scripts; they set STAGED before sourcing.
set -eu

fail() {
    echo "FAIL: $*" >&2
    for log in program xvfb; do
        if [ -s "$E2E_TMP/$log.log" ]; then
            echo "--- $log output:" >&2
            tail -n 20 "$E2E_TMP/$log.log" >&2
        fi
    done
    if [ -n "$APP_PID" ] && ! kill -0 "$APP_PID" 2>/dev/null; then
        echo "--- the program has ended" >&2
    fi
    exit 1
}

E2E_TMP=$(mktemp -d)
XVFB_PID=""
APP_PID=""

cleanup() {
    if [ -n "$APP_PID" ]; then
        kill "$APP_PID" 2>/dev/null || true
        wait "$APP_PID" 2>/dev/null || true
    fi
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
    rm -rf "$E2E_TMP"
}
trap cleanup EXIT

# Starts a private Xvfb on a display number it picks itself (so two tests, or a server that is
# still going away, never share one) and points DISPLAY at it. -noreset: by default the server
# resets when its last client leaves, and a program connecting during that reset is refused.
start_display() {
    : >"$E2E_TMP/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -dpi 96 -noreset 3>"$E2E_TMP/display" \
        >"$E2E_TMP/xvfb.log" 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 1 200); do
        n=$(tr -dc '0-9' <"$E2E_TMP/display")
        if [ -n "$n" ]; then
            export DISPLAY=":$n"
            xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
        fi
        kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb ended at its start"
        sleep 0.05
    done
    fail "Xvfb did not start"
}

# Copies the staged program folder; the first argument is what strt.cfg holds.
make_program_folder() {
    PROGRAM="$E2E_TMP/Merovan"
    cp -a "$STAGED" "$PROGRAM"
    printf ' %s \r\n' "$1" >"$PROGRAM/strt.cfg"
    printf '\r\n' >"$PROGRAM/options.cfg"
    cp "$PROGRAM/Data/languages/german.crf" "$PROGRAM/Data/language.crf"
}

start_program() {
    unset QT_QPA_PLATFORM
    XDG_RUNTIME_DIR="$E2E_TMP" "$PROGRAM/merovan" >"$E2E_TMP/program.log" 2>&1 &
    APP_PID=$!
}

now_ms() { date +%s%3N; }

# Waits up to $2 seconds for a visible window whose title is exactly $1; prints its id.
wait_window() {
    deadline=$(($(now_ms) + $2 * 1000))
    while [ "$(now_ms)" -lt "$deadline" ]; do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.02
    done
    return 1
}

# Waits up to $1 seconds for the program to end; sets APP_STATUS.
wait_exit() {
    deadline=$(($(now_ms) + $1 * 1000))
    while kill -0 "$APP_PID" 2>/dev/null; do
        [ "$(now_ms)" -lt "$deadline" ] || return 1
        sleep 0.05
    done
    APP_STATUS=0
    wait "$APP_PID" || APP_STATUS=$?
    APP_PID=""
    return 0
}

# Pixels from twips at the display's 96 dpi.
px() { echo $(($1 * 96 / 1440)); }

# Clicks the centre of a control given in twips of the main window's client area (below the menu
# bar, whose height follows from the window's height).
click_client() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    menu=$((HEIGHT - $(px 6570)))
    x=$((X + $(px "$2") + $(px "$4") / 2))
    y=$((Y + menu + $(px "$3") + $(px "$5") / 2))
    xdotool mousemove "$x" "$y" click 1
}

# Clicks a free seat (twips of its top-left corner) and answers the weight input box.
seat_person() {
    click_client "$1" "$2" "$3" 390 390
    box=$(wait_window "Gewicht" 5) || fail "weight input box did not appear"
    sleep 0.2
    xdotool windowfocus "$box" 2>/dev/null || true
    xdotool type --delay 30 "$4"
    xdotool key Return
    sleep 0.3
}

# Waits for the window titled $1 (a pattern), gives it the focus and presses the keys $2...; fails
# with $3 when it does not come.
answer_window() {
    title=$1
    keys=$2
    why=$3
    target=$(wait_window "$title" 5) || fail "$why"
    sleep 0.3
    xdotool windowfocus "$target" 2>/dev/null || true
    for key in $keys; do
        xdotool key "$key"
        sleep 0.2
    done
}

# Exports the loading on screen of main window $window into the first copy and confirms the
# completion message.
export_once() {
    click_client "$window" 8775 5535 2400 465 # cmdSpeichern
    answer_window "Flugzeug wählen" "Down Return" "export window did not appear"
    answer_window "Fertig" "Return" "no completion message"
    sleep 0.1
}

# Opens the n-th entry ($2, from 1) of the Export menu of main window $1. The menu bar is the strip
# above the client area; "Export" is its second title, about 60 pixels from the left.
export_menu_entry() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    menu=$((HEIGHT - $(px 6570)))
    xdotool mousemove $((X + 60)) $((Y + menu / 2)) click 1
    sleep 0.4
    i=0
    while [ "$i" -lt "$2" ]; do
        xdotool key Down
        i=$((i + 1))
    done
    xdotool key Return
}

# Saves a picture of a window (by id) as PNG.
grab() {
    XDG_RUNTIME_DIR="$E2E_TMP" "$GRAB" "$2" "$1" 2>/dev/null || fail "could not grab window $1"
}
