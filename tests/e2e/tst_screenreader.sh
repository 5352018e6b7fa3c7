#!/bin/sh
# The main window as a screen reader meets it: a private session bus and accessibility bus (as a
# desktop session has them), the program under the private Xvfb, and a client that reads it through
# AT-SPI (screenreader_client.py) and turns the screen reader switch on as Orca does. The client
# checks the seats, the web link, the slider, the boxes and the total, seats two persons (one by
# the seat's own press action, one by Space) and frees one, waiting for the description-change
# events. Then it opens every other window (options, about, load sheet, take-over, export with an
# export, and restore) through the menu items' and buttons' own actions and reads each as a dialog named by its
# title, with every control named, and ends the program by its close button.
STAGED=$1
. "$(dirname "$0")/lib.sh"

SESSION_BUS_PID=""
LAUNCHER_PID=""
REGISTRY_PID=""
CLIENT_PID=""

# Ends what this test started besides the program and the X server, then what lib.sh started.
stop_buses() {
    for pid in "$CLIENT_PID" "$APP_PID" "$REGISTRY_PID" "$LAUNCHER_PID" "$SESSION_BUS_PID"; do
        if [ -n "$pid" ]; then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
    APP_PID=""
    # The registry is no child of this script: it is waited for until it has gone.
    [ -z "$REGISTRY_PID" ] || wait_until 5 registry_gone || true
    cleanup
}
registry_gone() { ! kill -0 "$REGISTRY_PID" 2>/dev/null; }
trap stop_buses EXIT

# Only the buses of this test: no accessibility bus given by the environment, none turned off.
unset AT_SPI_BUS_ADDRESS NO_AT_BRIDGE QT_LINUX_ACCESSIBILITY_ALWAYS_ON
# The accessibility bus's socket goes under the runtime folder: the private one of this test.
XDG_RUNTIME_DIR=$E2E_TMP
# Without dconf the bus launcher keeps its settings in memory, without warnings.
GSETTINGS_BACKEND=memory
export XDG_RUNTIME_DIR GSETTINGS_BACKEND

session_bus_ready() {
    kill -0 "$SESSION_BUS_PID" 2>/dev/null || fail "the session bus ended at its start"
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$E2E_TMP/session-bus")
    [ -n "$DBUS_SESSION_BUS_ADDRESS" ]
}

# The address of the accessibility bus, from the launcher on the session bus.
a11y_bus_address() {
    dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        2>/dev/null | tr -d ' '
}
a11y_bus_ready() {
    kill -0 "$LAUNCHER_PID" 2>/dev/null || fail "at-spi-bus-launcher ended at its start"
    A11Y_BUS=$(a11y_bus_address)
    [ -n "$A11Y_BUS" ]
}

# The registry daemon is started by the accessibility bus when the client first asks for it; its
# process id is asked for so that it can be ended with the rest.
registry_known() {
    REGISTRY_PID=$(dbus-send --bus="$A11Y_BUS" --print-reply=literal --dest=org.freedesktop.DBus \
        /org/freedesktop/DBus org.freedesktop.DBus.GetConnectionUnixProcessID string:org.a11y.atspi.Registry \
        2>/dev/null | tr -dc '0-9')
    [ -n "$REGISTRY_PID" ]
}

# What the client printed, without its own "FAIL: ".
client_says() { sed 's/^FAIL: //' "$E2E_TMP/client.log"; }
client_gone() { ! kill -0 "$CLIENT_PID" 2>/dev/null; }
client_ready() {
    [ -e "$E2E_TMP/client-ready" ] && return 0
    client_gone && fail "the screen reader client ended before it was ready: $(client_says)"
    return 1
}

start_display
: >"$E2E_TMP/session-bus"
dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$E2E_TMP/session-bus" \
    >"$E2E_TMP/session-bus.log" 2>&1 &
SESSION_BUS_PID=$!
wait_until 10 session_bus_ready || fail "the session bus did not start"
export DBUS_SESSION_BUS_ADDRESS
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_TMP/launcher.log" 2>&1 &
LAUNCHER_PID=$!
wait_until 10 a11y_bus_ready || fail "the accessibility bus did not start: $(cat "$E2E_TMP/launcher.log")"

demo_copy
/usr/bin/python3 "$(dirname "$0")/screenreader_client.py" "$E2E_TMP/client-ready" "$E2E_TMP/program.pid" \
    >"$E2E_TMP/client.log" 2>&1 &
CLIENT_PID=$!
wait_until 20 client_ready || fail "the screen reader client did not get ready: $(client_says)"
wait_until 10 registry_known || fail "the accessibility registry (at-spi2-registryd) did not start"

start_program
echo "$APP_PID" >"$E2E_TMP/program.pid.tmp" && mv "$E2E_TMP/program.pid.tmp" "$E2E_TMP/program.pid"

wait_until 90 client_gone || fail "the screen reader client did not finish: $(client_says)"
status=0
wait "$CLIENT_PID" || status=$?
CLIENT_PID=""
[ "$status" = 0 ] || fail "$(client_says)"
wait_exit 5 || fail "the program still runs after its close button was pressed through AT-SPI"
[ "$APP_STATUS" = 0 ] || fail "the program ended with status $APP_STATUS"
echo "PASS"
