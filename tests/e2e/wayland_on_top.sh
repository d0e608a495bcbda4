#!/usr/bin/env bash
# End to end on a GNOME-like Wayland desktop (a headless mutter with two 1920x1080 monitors side by
# side, and XWayland), Qt's Wayland plugin installed: the display chooses XWayland, is full screen
# on the chosen monitor, and stays above an ordinary window maximised over that monitor and
# activated after it, full screen or not.
# Exit 77 skips where no namespace can be made or no compositor is installed.
set -euo pipefail
source "$(dirname "$0")/e2e_support.sh"
source "$(dirname "$0")/wayland_session.sh"
enter_private_namespace "$@"
display="$1"
make_work_folder
mkdir -p "$(dirname "$store")"
require_qt_wayland_plugin
command -v wmctrl >/dev/null || {
    echo "wmctrl is not installed: skipped"
    exit 77
}
start_mutter_session 1920x1080 1920x1080

# The window's content area as "x,y wxh"; nothing while the window manager reframes it.
geometry() {
    xdotool getwindowgeometry "$1" 2>/dev/null |
        sed -n -e 's/.*Position: \([0-9-]*,[0-9-]*\).*/\1/p' -e 's/.*Geometry: \([0-9]*x[0-9]*\).*/\1/p' | paste -sd' '
}
# Waits up to three seconds for the command to succeed.
await() {
    for _ in $(seq 30); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
# Whether window $1's geometry matches the regular expression $2.
geometry_is() { [[ "$(geometry "$1")" =~ ^$2$ ]]; }
# Whether window $1 is in the window manager's state $2 (FULLSCREEN, ABOVE...).
in_state() { xprop -id "$1" _NET_WM_STATE | grep -q "_NET_WM_STATE_$2"; }
# The managed windows from the bottom of the stack to its top, as decimal ids.
stacking() {
    xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //' | tr ',' '\n' | while read -r id; do printf '%d\n' "$id"; done
}
# True when window $1 stands above window $2 in the window manager's stacking order.
above() {
    local order
    order=$(stacking)
    local upper lower
    upper=$(grep -nx "$1" <<<"$order" | cut -d: -f1)
    lower=$(grep -nx "$2" <<<"$order" | cut -d: -f1)
    [ -n "$upper" ] && [ -n "$lower" ] && [ "$upper" -gt "$lower" ]
}
# An ordinary window, maximised over the second monitor and activated, as an operator's program
# opened after the display would be: it takes the focus and the top of its layer. Sets $other.
open_maximised_window() {
    xmessage -geometry 300x100+2100+100 -title test-maximised -buttons '' 'an ordinary window' >/dev/null 2>&1 &
    keep_process $!
    other=$(xdotool search --sync --onlyvisible --name '^test-maximised$' | head -1)
    wmctrl -i -r "$other" -b add,maximized_vert,maximized_horz
    # Maximised over the second monitor: mutter may keep a strip of it for the title bar.
    await in_state "$other" MAXIMIZED_VERT && await geometry_is "$other" '19[2-9][0-9],[0-9]+ 19[0-9][0-9]x[0-9]{3,4}' ||
        fail "the ordinary window is not maximised: $(geometry "$other") $(xprop -id "$other" _NET_WM_STATE)"
    xdotool windowactivate --sync "$other"
}

# Full screen on monitor 1 with "Fix Top left": the whole of the second monitor, in the desktop's
# full-screen state, and above the maximised window once that has the focus (mutter lowers an
# unfocused full-screen window that does not ask to stay on top).
printf '[General]\nFixForm%%20Transparent=TRUE\nMonitor=1\nForm%%20Full%%20Screen=TRUE\nForm%%20Width=400\nForm%%20Height=200\n' >"$store"
start_display
grep -q "running through XWayland" "$work/display.log" || fail "XWayland not chosen"
await_presentation_window
window=$(presentation_window)
await geometry_is "$window" '1920,0 1920x1080' || fail "not full screen on the second monitor: $(geometry "$window")"
await in_state "$window" FULLSCREEN || fail "no full-screen state: $(xprop -id "$window" _NET_WM_STATE)"
open_maximised_window
sleep 0.5 # a window manager restacks as it takes the focus: the order is judged once it has settled
above "$window" "$other" || fail "full screen, below the maximised window: stacking $(stacking | paste -sd' '), display $window, other $other"
await geometry_is "$window" '1920,0 1920x1080' || fail "full screen lost to the maximised window: $(geometry "$window")"
stop_display

# A window of its own size on monitor 1: above the maximised window too, once that is activated again.
printf '[General]\nFixForm%%20Transparent=TRUE\nMonitor=1\nForm%%20Width=400\nForm%%20Height=200\n' >"$store"
start_display
await_presentation_window
window=$(presentation_window)
await_border_hidden 8
await geometry_is "$window" '1920,0 400x200' || fail "not at the second monitor's corner: $(geometry "$window")"
xdotool windowactivate --sync "$other"
sleep 0.5
above "$window" "$other" || fail "below the maximised window: stacking $(stacking | paste -sd' '), display $window, other $other"
in_state "$window" ABOVE || fail "no stay-on-top state: $(xprop -id "$window" _NET_WM_STATE)"
stop_display
echo "wayland stay-on-top test passed"
