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

source "$here/e2e_support.sh"
enter_private_namespace "$@"
make_work_folder
if [ -z "${VELTRINOX_WORK:-}" ]; then
    # Run again inside a session bus of its own; the bus and the accessibility bus it starts keep
    # their sockets in the work folder's runtime folder, removed when this outer run ends.
    export VELTRINOX_WORK="$work"
    dbus-run-session -- bash "$0" "$@"
    exit
fi
start_x_server 1280x1024

# The accessibility bus is up before the display starts, so the display joins it at once.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null ||
    fail "no accessibility bus"
# The reader listens before the display starts (see read_popup_menu.py), then clicks at 400,250.
/usr/bin/python3 "$here/read_popup_menu.py" 400 250 "Veltrinox LCD output." "$work/listening" >"$work/menu" &
reader=$!
keep_process "$reader"
for _ in $(seq 100); do [ -s "$work/listening" ] && break; sleep 0.1; done
[ -s "$work/listening" ] || fail "the menu reader did not start"
start_display /xpos 100 /ypos 100 /width 640 /height 360

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
wait "$reader" || fail "$(cat "$work/menu")"
diff <(echo "$expected") "$work/menu" || fail "the menu differs (- expected, + shown)"
xdotool key Escape

stop_display
echo "popup menu test passed"
