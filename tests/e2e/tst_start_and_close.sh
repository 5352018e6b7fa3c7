#!/bin/sh
# The real program in a real window: it starts into the main window within 2 s, and its close
# button ends it with exit status 0.
STAGED=$1
. "$(dirname "$0")/lib.sh"

start_display
make_program_folder 0
started=$(now_ms)
start_program
window=$(wait_window "TQ 58 Merovan" 10) || fail "main window did not appear"
elapsed=$(($(now_ms) - started))
echo "main window after $elapsed ms"
[ "$elapsed" -le 2000 ] || fail "main window took $elapsed ms (more than 2 s)"
focus_window "$window"
click_client "$window" 8775 6030 2400 465 # cmdSchliessen
wait_exit 5 || fail "program still running after cmdSchliessen"
[ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS"
echo "PASS"
