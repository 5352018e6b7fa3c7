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
    wait_until 10 display_ready || fail "Xvfb did not start"
}
display_ready() {
    kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb ended at its start"
    DISPLAY=":$(tr -dc '0-9' <"$E2E_TMP/display")" && export DISPLAY
    [ "$DISPLAY" != ":" ] && xdotool getdisplaygeometry >/dev/null 2>&1
}

# Copies the staged program folder; the first argument is what strt.cfg holds.
make_program_folder() {
    PROGRAM="$E2E_TMP/Merovan"
    cp -a "$STAGED" "$PROGRAM"
    printf ' %s \r\n' "$1" >"$PROGRAM/strt.cfg"
    printf '\r\n' >"$PROGRAM/options.cfg"
    cp "$PROGRAM/Data/languages/german.crf" "$PROGRAM/Data/language.crf"
}

# A program folder past its first start whose FS2000 folder is the demo one, with the demo TQ 58's
# aircraft.cfg as shipped and no backups (the staged demo keeps whatever a developer's export left
# in it): $copy is the copy's folder, $cfg its aircraft.cfg.
demo_copy() {
    make_program_folder 0
    printf '%s/DemoFS2000/\r\n' "$PROGRAM" >"$PROGRAM/options.cfg"
    copy="$PROGRAM/DemoFS2000/Aircraft/nerova_tq58"
    cfg="$copy/aircraft.cfg"
    cp "$(dirname "$0")/../../data/demo/DemoFS2000/Aircraft/nerova_tq58/aircraft.cfg" "$cfg"
    rm -rf "$copy/merovan-installed"
}

# Starts the program; arguments are handed to it (a loading file to open).
start_program() {
    unset QT_QPA_PLATFORM
    XDG_RUNTIME_DIR="$E2E_TMP" "$PROGRAM/merovan" "$@" >"$E2E_TMP/program.log" 2>&1 &
    APP_PID=$!
}

now_ms() { date +%s%3N; }

# Runs the command $2... every 20 ms until it succeeds; gives up (status 1) after $1 seconds.
wait_until() {
    deadline=$(($(now_ms) + $1 * 1000))
    shift
    until "$@"; do
        [ "$(now_ms)" -lt "$deadline" ] || return 1
        sleep 0.02
    done
}

# True when a visible window's title is exactly $1 (a pattern); sets id to the first one.
window_shown() {
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ]
}
window_gone() { ! window_shown "$1"; }

# Waits up to $2 seconds for a visible window whose title is exactly $1 and prints its id, or until
# there is none.
wait_window() { wait_until "$2" window_shown "$1" && echo "$id"; }
wait_gone() { wait_until "$2" window_gone "$1"; }

# Gives window $1 the keyboard focus and waits until it has it, so that keys and clicks go there.
focus_is() { [ "$(xdotool getwindowfocus 2>/dev/null || true)" = "$1" ]; }
has_focus() {
    xdotool windowfocus "$1" 2>/dev/null || true
    focus_is "$1"
}
focus_window() { wait_until 5 has_focus "$1" || fail "window $1 did not take the focus"; }

# Waits for the main window (the first argument explains a failure) and gives it the focus.
wait_main_window() {
    window=$(wait_window "TQ 58 Merovan" 10) || fail "$1"
    focus_window "$window"
}

# Waits up to $1 seconds for the program to end; sets APP_STATUS.
program_ended() { ! kill -0 "$APP_PID" 2>/dev/null; }
wait_exit() {
    wait_until "$1" program_ended || return 1
    APP_STATUS=0
    wait "$APP_PID" || APP_STATUS=$?
    APP_PID=""
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
    focus_window "$box"
    xdotool type --delay 30 "$4"
    xdotool key Return
    wait_gone "Gewicht" 5 || fail "weight input box stayed open"
}

# Waits for the window titled $1 (a pattern), gives it the focus and presses the keys $2...; fails
# with $3 when it does not come. With "closes" as $4, waits for it to close then.
answer_window() {
    target=$(wait_window "$1" 5) || fail "$3"
    focus_window "$target"
    # shellcheck disable=SC2086 # one word per key
    xdotool key --delay 50 $2
    [ "${4:-}" != closes ] || wait_gone "$1" 5 || fail "window $1 stayed open"
}

# Exports the loading on screen of main window $window into the first copy and confirms the
# completion message.
export_once() {
    click_client "$window" 8775 5535 2400 465 # cmdSpeichern
    answer_window "Flugzeug wählen" "Down Return" "export window did not appear"
    answer_window "Fertig" "Return" "no completion message" closes
}

# The number of the program's visible windows, tooltips left out: its menus and boxes count.
program_windows() {
    n=0
    for w in $(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null || true); do
        xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q TOOLTIP || n=$((n + 1))
    done
    echo "$n"
}
more_windows_than() { [ "$(program_windows)" -gt "$1" ]; }

# Clicks the menu title at screen pixel $1 $2 and waits for its menu to open.
open_menu() {
    before=$(program_windows)
    xdotool mousemove "$1" "$2" click 1
    wait_until 5 more_windows_than "$before" || fail "no menu opened at $1 $2"
}

# Opens the n-th entry ($2, from 1) of the Export menu of main window $1. The menu bar is the strip
# above the client area; "Export" is its second title, about 60 pixels from the left.
export_menu_entry() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    menu=$((HEIGHT - $(px 6570)))
    open_menu $((X + 60)) $((Y + menu / 2))
    xdotool key --repeat "$2" Down
    xdotool key Return
}

# Opens the n-th entry ($2, from 1) of the File menu of main window $1: "Datei" is the menu bar's
# first title, about 20 pixels from the left.
file_menu_entry() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    menu=$((HEIGHT - $(px 6570)))
    open_menu $((X + 20)) $((Y + menu / 2))
    xdotool key --repeat "$2" Down
    xdotool key Return
}

# Saves a picture of a window (by id) as PNG.
grab() {
    XDG_RUNTIME_DIR="$E2E_TMP" "$GRAB" "$2" "$1" 2>/dev/null || fail "could not grab window $1"
}

# Saves a picture of window $1 as $2 once the window has been drawn: two pictures in a row agree.
picture_settled() {
    grab "$1" "$E2E_TMP/settled.png"
    cmp -s "$E2E_TMP/settled.png" "$2" || ! mv "$E2E_TMP/settled.png" "$2"
}
grab_settled() {
    rm -f "$2"
    wait_until 10 picture_settled "$1" "$2" || fail "window $1 kept changing"
}
