#!/usr/bin/env bash
# End to end on a real X server with two monitors side by side, the primary one on the right (no
# monitor rule may take the primary monitor to start at 0,0), bare or, with WM=openbox, under a
# window manager that frames, places and maximises windows. The operator's commands go through the
# pop-up menu, opened with a click and chosen with the arrow keys. Checks that a saved position
# stays where it was over any number of restarts, that "Reset Position" and leaving full screen
# place the window right, that Shift+arrows do not end in the "Fix Top left" snap, and that a second
# copy refused the feed port shows no window. Exit 77 skips where no namespace can be made.
set -euo pipefail
source "$(dirname "$0")/e2e_support.sh"
enter_private_namespace "$@"
display="$1"
tool="$2"
make_work_folder
mkdir -p "$(dirname "$store")"
start_x_server 2560x720
xrandr --setmonitor left 1280/338x720/190+0+0 screen >/dev/null
xrandr --setmonitor '*right' 1280/338x720/190+1280+0 none >/dev/null
xdotool mousemove 2550 710 # out of the window's way: pointer movement over it shows its border

start_window() {
    start_display "$@"
    await_presentation_window
}
# The window's content area, x,y and wxh (looked up at each reading; one that cannot be read at that
# moment, the window manager reframing it as its border shows or hides, reads as nothing).
geometry() {
    xdotool getwindowgeometry "$(presentation_window)" 2>/dev/null |
        sed -n -e 's/.*Position: \([0-9-]*,[0-9-]*\).*/\1/p' -e 's/.*Geometry: \([0-9]*x[0-9]*\).*/\1/p' | paste -sd' '
}
await_geometry() {
    for _ in $(seq 50); do
        [ "$(geometry)" = "$1" ] && return 0
        sleep 0.1
    done
    return 1
}
# The border hides five seconds after the window was last touched, or at once when a caption comes.
border_hidden_by_timer() { await_border_hidden 8; }
border_hidden() {
    caption_document "Act $RANDOM" Yellow Black Cut 0 | "$tool" send --port "$feed" || fail "the feed did not take the document"
    await_border_hidden 3
}
# Opens the menu with a click on the window and chooses the nth command (1 = "Full Screen").
inside() {
    local now=
    for _ in $(seq 50); do
        now=$(geometry) && [ -n "$now" ] && break
        sleep 0.1
    done
    sed 's/[,x ]/ /g' <<<"$now" | awk '{print $1 + 20, $2 + 20}'
}
menu_command() {
    local x y
    # The first movement shows the border, which makes the window anew: the click waits for that.
    read -r x y < <(inside)
    xdotool mousemove --sync "$x" "$y"
    sleep 1
    local shown_x shown_y
    read -r shown_x shown_y < <(inside)
    # (--sync waits for the pointer to move: where it is already there, it would wait in vain.)
    [ "$shown_x $shown_y" = "$x $y" ] || xdotool mousemove --sync "$shown_x" "$shown_y"
    xdotool click 1
    sleep 0.5
    # Off the menu, so no item stays chosen by the pointer: Down goes to the first item.
    xdotool mousemove 2550 710
    sleep 0.3
    for _ in $(seq "$1"); do xdotool key Down; done
    xdotool key Return
    sleep 0.5
}
readonly FullScreen=1 ResetPosition=9 SaveToRegistry=10

# A position saved and started again, any number of times, stays exactly where it was.
start_window /xpos 100 /ypos 100 /width 400 /height 200
border_hidden_by_timer
for round in 1 2 3; do
    [ "$round" = 1 ] || border_hidden
    await_geometry "100,100 400x200" || fail "round $round, border hidden: $(geometry)"
    menu_command $SaveToRegistry
    grep -q '^Form%20Left=100$' "$store" && grep -q '^Form%20Top=100$' "$store" || fail "saved: $(cat "$store")"
    stop_display
    start_window
    await_geometry "100,100 400x200" || fail "round $round, started again: $(geometry)"
done

# "Reset Position": half the primary monitor, centred on it.
menu_command $ResetPosition
await_geometry "1600,180 640x360" || fail "reset position: $(geometry)"

stop_display

# Started full screen, the window takes its monitor; leaving full screen gives back the window's
# own size and place, as stored. (On a bare X server only the first menu command after a start is
# sure to get its keys, so each command here is the first of its start.)
printf '[General]\nForm%%20Left=1600\nForm%%20Top=180\nForm%%20Width=640\nForm%%20Height=360\nForm%%20Full%%20Screen=TRUE\n' >"$store"
start_window
border_hidden
await_geometry "1280,0 1280x720" || fail "full screen: $(geometry)"
menu_command $FullScreen
await_geometry "1600,180 640x360" || fail "full screen left: $(geometry)"
stop_display

# With "Fix Top left", a Shift+arrow nudge is no end of a move: the window stays nudged.
printf '[General]\nFixForm%%20Transparent=TRUE\nMonitor=1\nForm%%20Width=400\nForm%%20Height=200\n' >"$store"
start_window
border_hidden
await_geometry "0,0 400x200" || fail "Fix Top left on monitor 1: $(geometry)"
xdotool windowactivate --sync "$(presentation_window)" 2>/dev/null || xdotool windowfocus --sync "$(presentation_window)"
xdotool key shift+Right shift+Down
await_geometry "1,1 400x200" || fail "nudged: $(geometry)"
sleep 1
[ "$(geometry)" = "1,1 400x200" ] || fail "the nudge ended in the snap: $(geometry)"

# A second copy refused the feed port says so and ends, showing no window of its own.
"$display" /port "$feed" /capport 30002 >"$work/second.log" 2>&1 &
second=$!
keep_process "$second"
# Watched while it runs: it may make its window, but never map it. (A search that meets a window as
# it goes away fails: the next one looks again.)
for _ in $(seq 100); do
    shown=$(xdotool search --all --onlyvisible --pid "$second" --name '^Veltrinox LCD presentation$' 2>/dev/null) || true
    [ -z "$shown" ] || fail "the refused copy showed a window"
    kill -0 "$second" 2>/dev/null || break
    sleep 0.1
done
status=0
wait "$second" || status=$?
second=
[ "$status" = 1 ] || fail "the refused copy ended with $status: $(cat "$work/second.log")"
grep -qF "Another instance has the network port open" "$work/second.log" || fail "no message: $(cat "$work/second.log")"
stop_display
echo "window on desktop test passed (${WM:-bare})"
