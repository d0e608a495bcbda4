#!/usr/bin/env bash
# End to end: two named displays side by side on a real X server with two monitors, each started
# with nothing but its name (/instance left, /instance right), its ports and place coming from its
# own store. Saving one ("Save Settings to Registry" from its menu) leaves the other's store as it
# was, and each comes back to its own geometry and ticks at a restart; the display without a name
# never gets a store. Killed uncleanly, one brings back its own caption only; the other, ended
# cleanly, starts blank. Exit 77 skips where no namespace can be made.
set -euo pipefail
source "$(dirname "$0")/e2e_support.sh"
enter_private_namespace "$@"
display="$1"
tool="$2"
make_work_folder
start_two_monitor_x_server 1280x720
xdotool mousemove 1270 710 # out of the windows' way: pointer movement over one shows its border

folder="$XDG_CONFIG_HOME/Quillmarch"
mkdir -p "$folder"
leftStore="$folder/Brindlecast LCD - left.conf"
rightStore="$folder/Brindlecast LCD - right.conf"
leftFeed=30000 leftControl=30001 rightFeed=30010 rightControl=30011
printf '[General]\nFeed%%20Port=%s\nControl%%20Port=%s\nFixForm%%20Transparent=TRUE\nMonitor=0\nForm%%20Width=400\nForm%%20Height=200\n' \
    "$leftFeed" "$leftControl" >"$leftStore"
printf '[General]\nFeed%%20Port=%s\nControl%%20Port=%s\nFixForm%%20Transparent=TRUE\nMonitor=1\nForm%%20Width=600\nForm%%20Height=100\n' \
    "$rightFeed" "$rightControl" >"$rightStore"

declare -A pids
start_named() { # name, switches...
    local name="$1"
    shift
    "$display" /instance "$name" "$@" >>"$work/$name.log" 2>&1 &
    pids[$name]=$!
    keep_process "${pids[$name]}"
    xdotool search --sync --onlyvisible --name "^Veltrinox LCD presentation - $name\$" >/dev/null
}
stop_named() { # name: as the service manager does, failing unless it ends cleanly
    local status=0
    kill -TERM "${pids[$1]}"
    wait "${pids[$1]}" || status=$?
    [ "$status" -eq 0 ] || fail "$1 ended with $status on SIGTERM"
}
window_of() { xdotool search --name "^Veltrinox LCD presentation - $1\$" | head -1; }
geometry() { # name: its window's content area as "x,y wxh"
    xdotool getwindowgeometry "$(window_of "$1")" 2>/dev/null |
        sed -n -e 's/.*Position: \([0-9-]*,[0-9-]*\).*/\1/p' -e 's/.*Geometry: \([0-9]*x[0-9]*\).*/\1/p' | paste -sd' '
}
await_geometry() { # name, geometry
    for _ in $(seq 50); do
        [ "$(geometry "$1")" = "$2" ] && return 0
        sleep 0.1
    done
    fail "$1 is at $(geometry "$1"), not $2"
}
border_hidden() { sleep 6.5; }
# Opens the named display's menu with a click on its window and chooses the nth command.
menu_command() { # name, n
    local x y
    read -r x y < <(geometry "$1" | sed 's/[,x ]/ /g' | awk '{print $1 + 20, $2 + 20}')
    xdotool mousemove --sync "$x" "$y"
    sleep 1
    read -r x y < <(geometry "$1" | sed 's/[,x ]/ /g' | awk '{print $1 + 20, $2 + 20}')
    xdotool mousemove --sync "$x" "$y" click 1
    sleep 0.5
    xdotool mousemove 1270 710
    sleep 0.3
    for _ in $(seq "$2"); do xdotool key Down; done
    xdotool key Return
    sleep 0.5
}
readonly SaveToRegistry=10
fail() {
    echo "FAILED: $*"
    for name in left right; do
        echo "--- $name"
        cat "$work/$name.log" 2>/dev/null || true
    done
    exit 1
}

# Each from its own store: its ports, its monitor, its size.
start_named left
start_named right /xpos 1300 /ypos 10 /width 640 /height 120
grep -q "running: feed port $leftFeed, control port $leftControl on every IPv4 address, allowed controllers: everyone, instance \"left\";" \
    "$work/left.log" || fail "left's start-up line"
grep -q " \[right\] running: feed port $rightFeed," "$work/right.log" || fail "right's log lines carry its name"
border_hidden
await_geometry left "0,0 400x200"
await_geometry right "1300,10 640x120"

# Saving the right one writes its own store only.
cp "$leftStore" "$work/left-before.conf"
menu_command right $SaveToRegistry
grep -q '^Form%20Left=1300$' "$rightStore" && grep -q '^FixForm%20Transparent=FALSE$' "$rightStore" ||
    fail "right's store after its save: $(cat "$rightStore")"
grep -q "^Feed%20Port=$rightFeed\$" "$rightStore" || fail "right's save lost its stored port: $(cat "$rightStore")"
cmp -s "$leftStore" "$work/left-before.conf" || fail "saving right changed left's store: $(cat "$leftStore")"

# A caption on each; right is killed, left ends cleanly, and both start again.
caption_document "Left words" Yellow Black Instant Fast | "$tool" send --port "$leftFeed" || fail "left took no caption"
caption_document "Right words" Yellow Black Instant Fast | "$tool" send --port "$rightFeed" || fail "right took no caption"
kill -9 "${pids[right]}"
wait "${pids[right]}" 2>/dev/null || true
stop_named left
[ ! -e "$XDG_STATE_HOME/veltrinox-lcd/shown-caption-instance-left.json" ] || fail "left kept its caption after a clean end"
grep -q 'Right words' "$XDG_STATE_HOME/veltrinox-lcd/shown-caption-instance-right.json" || fail "right did not keep its caption"

start_named left
start_named right
border_hidden
await_geometry left "0,0 400x200"
await_geometry right "1300,10 640x120"
grep -q 'shown again' "$work/right.log" || fail "right did not bring its caption back"
[ "$(grep -c 'shown again' "$work/left.log")" = 0 ] || fail "left brought a caption back"
stop_named left
stop_named right
[ ! -e "$store" ] || fail "the display without a name got a store: $(cat "$store")"
echo "named displays test passed"
