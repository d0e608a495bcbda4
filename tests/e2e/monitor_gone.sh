#!/usr/bin/env bash
# End to end on a real X server with two monitors (RandR monitors over one Xvfb screen): the display
# stands on the right-hand monitor, that monitor goes, and the window comes whole onto the one left.
# Exit 77 skips where no namespace can be made.
set -euo pipefail
source "$(dirname "$0")/private_namespace.sh"
source "$(dirname "$0")/x_server.sh"
display="$1"
work=$(mktemp -d)
trap 'kill "${pid:-}" "${wm:-}" "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work"
fail() { echo "FAILED: $*"; cat "$work/display.log"; exit 1; }
start_x_server 2560x720
xrandr --setmonitor left 1280/338x720/190+0+0 screen >/dev/null
xrandr --setmonitor right 1280/338x720/190+1280+0 none >/dev/null

"$display" /port 41000 /capport 41001 /xpos 1500 /ypos 100 /width 400 /height 200 >"$work/display.log" 2>&1 &
pid=$!
await_port 41001 || fail "the display did not start listening"
xdotool search --sync --name '^Veltrinox LCD presentation$' >/dev/null
# The window is looked up at each reading, and one that cannot be read at that moment (the window
# manager reframing it as its border hides) reads as no position.
position() {
    xdotool getwindowgeometry "$(xdotool search --name '^Veltrinox LCD presentation$' | head -1)" 2>/dev/null |
        sed -n 's/.*Position: \([0-9-]*,[0-9-]*\).*/\1/p'
}
# (A window manager may first place the frame, rather than the content, at the given corner; the
# content stands there once the border has hidden.)
for _ in $(seq 80); do [ "$(position)" = 1500,100 ] && break; sleep 0.1; done
[ "$(position)" = 1500,100 ] || fail "on the right-hand monitor: $(position)"

xrandr --delmonitor right >/dev/null
for _ in $(seq 80); do [ "$(position)" = 880,100 ] && break; sleep 0.1; done
[ "$(position)" = 880,100 ] || fail "after the right-hand monitor went: $(position)"

kill -TERM "$pid"
wait "$pid" || fail "the display ended with $? on SIGTERM"
echo "monitor gone test passed"
