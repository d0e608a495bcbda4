#!/usr/bin/env bash
# End to end on a real X server with two monitors (RandR monitors over one Xvfb screen): the display
# stands on the right-hand monitor, that monitor goes, and the window comes whole onto the one left.
# Exit 77 skips where no namespace can be made.
set -euo pipefail
source "$(dirname "$0")/e2e_support.sh"
enter_private_namespace "$@"
display="$1"
make_work_folder
start_x_server 2560x720
xrandr --setmonitor left 1280/338x720/190+0+0 screen >/dev/null
xrandr --setmonitor right 1280/338x720/190+1280+0 none >/dev/null

start_display /xpos 1500 /ypos 100 /width 400 /height 200
await_presentation_window
# The window is looked up at each reading, and one that cannot be read at that moment (the window
# manager reframing it as its border hides) reads as no position.
position() {
    xdotool getwindowgeometry "$(presentation_window)" 2>/dev/null |
        sed -n 's/.*Position: \([0-9-]*,[0-9-]*\).*/\1/p'
}
# (A window manager may first place the frame, rather than the content, at the given corner; the
# content stands there once the border has hidden.)
for _ in $(seq 80); do [ "$(position)" = 1500,100 ] && break; sleep 0.1; done
[ "$(position)" = 1500,100 ] || fail "on the right-hand monitor: $(position)"

xrandr --delmonitor right >/dev/null
for _ in $(seq 80); do [ "$(position)" = 880,100 ] && break; sleep 0.1; done
[ "$(position)" = 880,100 ] || fail "after the right-hand monitor went: $(position)"

stop_display
echo "monitor gone test passed"
