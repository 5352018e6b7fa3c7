#!/bin/sh
# A whole loading and export by keys alone: Tab to the co-pilot and seat him with Space, to the
# left passenger and seat her with Return, set the baggage with the arrow keys, export with
# "Speichern", choose the copy and confirm; the written aircraft.cfg and model must follow. Then
# Tab on to the web link, open it with Return, and go back to "Schliessen" to close.
STAGED=$1
. "$(dirname "$0")/lib.sh"

start_display
demo_copy

# Waits up to $2 seconds until the window $1 (an id) has the keyboard focus, without giving it.
wait_focus() { wait_until "$2" focus_is "$1"; }

# Presses the keys $2... once the window $1 (an id) has the focus.
keys_to() {
    wait_focus "$1" 5 || fail "the window \"$(xdotool getwindowname "$1")\" did not get the focus"
    shift
    xdotool key --delay 20 "$@"
}

# The weight input box: it comes with the focus, takes the weight and goes.
answer_weight() {
    box=$(wait_window "Gewicht" 5) || fail "weight input box did not appear"
    wait_focus "$box" 5 || fail "the weight input box has no focus"
    xdotool type --delay 20 "$1"
    xdotool key Return
    wait_gone "Gewicht" 5 || fail "weight input box stayed"
    back_to "$window"
}

# Without a window manager nobody gives the focus back to the window under a closed message or
# input box; this does what the window manager would.
back_to() {
    xdotool windowfocus "$1" 2>/dev/null || true
}

# The browser the system would start: it only notes the address it is given.
mkdir "$E2E_TMP/bin"
cat >"$E2E_TMP/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$1" >"$E2E_TMP/opened.tmp" && mv "$E2E_TMP/opened.tmp" "$E2E_TMP/opened"
EOF
chmod +x "$E2E_TMP/bin/xdg-open"
PATH="$E2E_TMP/bin:$PATH"
export PATH
link_opened() { [ -s "$E2E_TMP/opened" ]; }

start_program
window=$(wait_window "TQ 58 Merovan" 10) || fail "main window did not appear"
# The focus starts on the random loading; the pilot comes next, then the co-pilot.
keys_to "$window" Tab Tab space
answer_weight 75
keys_to "$window" Tab Return # left passenger
answer_weight 55
# On past the right passenger, the person-weight sum, Schliessen and Speichern to the slider: baggage
# 5 kg, then back to Speichern.
keys_to "$window" Tab Tab Tab Tab Tab Right Right Right Right Right shift+Tab space
chooser=$(wait_window "Flugzeug wählen" 5) || fail "export window did not appear"
keys_to "$chooser" Down Return
done_box=$(wait_window "Fertig" 5) || fail "no completion message"
keys_to "$done_box" Return
wait_gone "Fertig" 5 || fail "the completion message stayed"
back_to "$window"

# Pilot 80 kg, co-pilot 75 kg, left passenger 55 kg and 5 kg of baggage, in pounds.
for line in "0 = *176 *," "1 = *165 *," "2 = *121 *," "3 = *0 *," "4 = *11 *,"; do
    grep -q "^station_load\.$line" "$cfg" || fail "aircraft.cfg lacks station_load.$line"
done
cmp "$PROGRAM/DemoFS2000/Aircraft/nerova_tq58/Model/TQ58-161.mdl" "$PROGRAM/Models/3.mdl" ||
    fail "the model file is not variant 3 (co-pilot and left passenger)"
keys_to "$window" Tab Tab Tab Return # past the slider and the baggage box to the web link
wait_until 5 link_opened || fail "Return on the web link opened nothing"
[ "$(cat "$E2E_TMP/opened")" = "https://www.velmora-sim.example/" ] ||
    fail "the web link opened \"$(cat "$E2E_TMP/opened")\""
keys_to "$window" shift+Tab shift+Tab shift+Tab shift+Tab space # back to Schliessen
wait_exit 5 || fail "program still running after Schliessen"
echo "PASS"
