#!/usr/bin/env bash
# End to end on a real X server with two 1920x1080 monitors side by side, bare or, with WM=openbox,
# under a window manager with a desktop panel (a window with a strut) on the second monitor. With
# "Fix Top left" and monitor 1 the display shows on the second monitor from its first second, not
# when its border first hides; full screen is the desktop's full-screen state over the whole of the
# chosen monitor, panel or not, and the captions are laid out for the size the window really got. A
# monitor chosen by name that comes after the start receives the window.
# Exit 77 skips where no namespace can be made.
set -euo pipefail
source "$(dirname "$0")/e2e_support.sh"
enter_private_namespace "$@"
display="$1"
tool="$2"
probe="$3"
make_work_folder
mkdir -p "$(dirname "$store")"
start_two_monitor_x_server 1920x1080
start_panel 1920x40+1920+0 1920 3839
xdotool mousemove 10 1070 # out of the window's way: pointer movement over it shows its border

start_window() {
    start_display "$@"
    xdotool search --sync --onlyvisible --name '^Veltrinox LCD presentation$' >/dev/null
}
# The window's content area as "x,y wxh"; nothing while the window manager reframes it.
geometry() {
    xdotool getwindowgeometry "$(presentation_window)" 2>/dev/null |
        sed -n -e 's/.*Position: \([0-9-]*,[0-9-]*\).*/\1/p' -e 's/.*Geometry: \([0-9]*x[0-9]*\).*/\1/p' | paste -sd' '
}
# Waits up to $2 tenths of a second for the geometry to match the regular expression $1.
await_geometry() {
    for _ in $(seq "$2"); do
        [[ "$(geometry)" =~ ^$1$ ]] && return 0
        sleep 0.1
    done
    return 1
}
window_state() { xprop -id "$(presentation_window)" _NET_WM_STATE 2>/dev/null; }
status_line() { "$tool" status --port "$control" | tr -d '\r' | grep "^$1=" | cut -d= -f2; }
store() { printf '[General]\nFixForm%%20Transparent=TRUE\nMonitor=1\nForm%%20Left=100\nForm%%20Top=100\nForm%%20Width=400\nForm%%20Height=200\n%s' "$1" >"$store"; }

# "Fix Top left" on monitor 1: on the second monitor within a second of showing (under a window
# manager the frame may stand at the corner until the border hides), and its content exactly at
# the corner once the border has hidden.
store ''
start_window
await_geometry '19[2-9][0-9],[0-9]{1,2} 400x200' 10 || fail "not on the second monitor at once: $(geometry)"
await_border_hidden 8
await_geometry '1920,0 400x200' 10 || fail "border hidden: $(geometry)"
stop_display

# Full screen on monitor 1 from the start: the desktop's full-screen state over the whole monitor,
# the panel's strip included; not maximised.
store 'Form%20Full%20Screen=TRUE\n'
start_window
await_geometry '1920,0 1920x1080' 15 || fail "full screen from the start: $(geometry)"
window_state | grep -q _NET_WM_STATE_FULLSCREEN || fail "no full-screen state: $(window_state)"
! window_state | grep -q _NET_WM_STATE_MAXIMIZED || fail "maximised: $(window_state)"
# The captions are laid out for the whole monitor: the display image is twice the window, and a
# caption's background covers the whole of the second monitor.
[ "$(status_line DisplayWidth)x$(status_line DisplayHeight)" = 3840x2160 ] ||
    fail "display image $(status_line DisplayWidth)x$(status_line DisplayHeight)"
echo '<Surtitles><Cue><Captions Stream0="One&#13;&#10;Two&#13;&#10;Three" StrName0="English"/><Language Name="English"/><Font Colour="Yellow" BackColour="Blue" Size="Large"/><Effects InEffect="Instant" Speed="Medium"/></Cue></Surtitles>' |
    "$tool" send --port "$feed" || fail "the feed did not take the document"
"$probe" --monitor right await 5000 0000ff:$((1920 * 1080 - 200000)) ffff00:500 >/dev/null ||
    fail "caption: $("$probe" --monitor right 0000ff ffff00 | paste -sd' ')"
# Past the border timer it stays so.
await_border_hidden 8
await_geometry '1920,0 1920x1080' 10 || fail "full screen after the border hid: $(geometry)"
stop_display

# The monitor chosen by name is not there at the start (a projector switched on after the PC): the
# window waits on the other, moves onto it when it comes, and back when it returns after going.
printf '[General]\nFixForm%%20Transparent=TRUE\nMonitor=0\nMonitor%%20Name=right\nForm%%20Width=400\nForm%%20Height=200\n' >"$store"
xrandr --delmonitor right >/dev/null
start_window
await_border_hidden 8
await_geometry '0,0 400x200' 10 || fail "without the chosen monitor: $(geometry)"
grep -q 'on monitor "left"' "$work/display.log" || fail "the log does not name the monitor"
xrandr --setmonitor right 1920/508x1080/286+1920+0 none >/dev/null
await_geometry '1920,0 400x200' 50 || fail "the chosen monitor connected: $(geometry)"
xrandr --delmonitor right >/dev/null
await_geometry '0,0 400x200' 50 || fail "the chosen monitor gone again: $(geometry)"
xrandr --setmonitor right 1920/508x1080/286+1920+0 none >/dev/null
await_geometry '1920,0 400x200' 50 || fail "the chosen monitor back: $(geometry)"
for _ in $(seq 30); do grep -q 'monitor "right" connected: window 400 x 200 at (1920, 0) on monitor "right"' "$work/display.log" && break; sleep 0.1; done
grep -q 'monitor "right" connected: window 400 x 200 at (1920, 0) on monitor "right"' "$work/display.log" ||
    fail "the log does not say where the window went"
stop_display
echo "chosen monitor test passed (${WM:-bare})"
