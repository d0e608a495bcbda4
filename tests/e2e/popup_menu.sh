#!/usr/bin/env bash
# End to end on a real X server: a click on the display's window opens the pop-up menu at the
# pointer, and its items, read from outside the display through the accessibility bus (as a screen
# reader reads them), are the operator's commands in their order, neither mode ticked on a fresh
# start, and the version shown. The display runs in a private network namespace with a session bus of the test's
# own. Exit 77 skips where no namespace can be made.
set -euo pipefail
display="$1"
version="$2"
here="$(dirname "$0")"

source "$here/private_namespace.sh"
if [ "${VELTRINOX_IN_SESSION_BUS:-}" != 1 ]; then
    # The session bus and the accessibility bus it starts keep their sockets in the runtime
    # directory, which goes when the session ends.
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" VELTRINOX_IN_SESSION_BUS=1
    dbus-run-session -- bash "$0" "$@"
    exit
fi

source "$here/x_server.sh"
work="$XDG_RUNTIME_DIR"
trap 'kill "${pid:-}" "${xvfb:-}" 2>/dev/null || true' EXIT
fail() { echo "FAILED: $*"; cat "$work/display.log"; exit 1; }
start_x_server 1280x1024

# The accessibility bus is up before the display starts, so the display joins it at once.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null ||
    fail "no accessibility bus"
"$display" /port 41000 /capport 41001 /xpos 100 /ypos 100 /width 640 /height 360 >"$work/display.log" 2>&1 &
pid=$!
await_port 41001 || fail "the display did not start listening"
xdotool search --sync --name '^Veltrinox LCD presentation$' >/dev/null

expected="at 400,250
Full Screen
Transparent
-
Choose Font/Display setup
Choose Background Image
Clear Background Image
-
Increase Font Adjust
Decrease Font Adjust
-
Re-Register
-
Reset Position
-
Save Settings to Registry
Save Settings to File
Load Settings from file
-
Software Version: $version
-
Exit"
/usr/bin/python3 "$here/read_popup_menu.py" 400 250 >"$work/menu" || fail "$(cat "$work/menu")"
diff <(echo "$expected") "$work/menu" || fail "the menu differs (- expected, + shown)"
xdotool key Escape

kill -TERM "$pid"
wait "$pid" || fail "the display ended with $? on SIGTERM"
echo "popup menu test passed"
