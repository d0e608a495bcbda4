#!/usr/bin/env bash
# End to end on a Wayland desktop (a headless weston with XWayland), Qt's Wayland plugin installed:
# the display chooses XWayland and says so, and is full screen over the output; without XWayland it
# runs natively, says what the compositor does not honour, and is full screen there too.
# Exit 77 skips where no namespace can be made or no compositor is installed.
set -euo pipefail
source "$(dirname "$0")/e2e_support.sh"
source "$(dirname "$0")/wayland_session.sh"
enter_private_namespace "$@"
display="$1"
tool="$2"
make_work_folder
mkdir -p "$(dirname "$store")"
require_qt_wayland_plugin
start_wayland_session 1920x1080

printf '[General]\nForm%%20Full%%20Screen=TRUE\nForm%%20Width=400\nForm%%20Height=200\n' >"$store"
start_display
grep -q "running through XWayland" "$work/display.log" || fail "XWayland not chosen"
await_presentation_window
window=$(presentation_window)
for _ in $(seq 50); do
    geometry=$(xdotool getwindowgeometry "$window" | sed -n -e 's/.*Position: \([0-9-]*,[0-9-]*\).*/\1/p' -e 's/.*Geometry: \([0-9]*x[0-9]*\).*/\1/p' | paste -sd' ')
    [ "$geometry" = "0,0 1920x1080" ] && break
    sleep 0.1
done
[ "$geometry" = "0,0 1920x1080" ] || fail "not full screen over the output: $geometry"
xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_FULLSCREEN || fail "no full-screen state"
stop_display

# Without XWayland the display runs natively, says what the compositor does not honour, and is full
# screen over the output: its display image is twice the output.
DISPLAY= start_display
grep -q "running natively; the compositor does not honour staying on top" "$work/display.log" ||
    fail "no word of what the compositor does not honour"
for _ in $(seq 50); do
    size=$("$tool" status --port "$control" | tr -d '\r' | grep -E '^Display(Width|Height)=' | cut -d= -f2 | paste -sd'x')
    [ "$size" = 3840x2160 ] && break
    sleep 0.1
done
[ "$size" = 3840x2160 ] || fail "natively, the display image is $size"
stop_display
echo "wayland desktop test passed"
