#!/usr/bin/env bash
# Measures the web monitor of the running display on a real X server (Xvfb, 1920x1080, the display
# full screen), in a private network namespace:
#   the latency from a caption on screen to the same picture at a watcher of the monitor (median of
#   the runs; bench/web-watcher decodes each frame as the page does and asks for the next),
#   fourteen captions fading in one after another as bench/fade-load sends them (plain text, two
#   full-width lines, on black; with "--backgrounds" each on a new background colour, so that every
#   step changes the whole picture), first with no watcher and then with three: the display's share
#   of one core, whether the fades kept their time (read from the screen), and the frames a second
#   each watcher got.
# Usage: bench/web_monitor.sh BUILD_DIR [RUNS] [--backgrounds]   (VELTRINOX_LCD=PROGRAM measures
# another build of the display with this build's tools, to compare two builds in one sitting)
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${2:-15}
backgrounds_option=${3:-}
tests="$(dirname "$(realpath "$0")")/../tests/e2e"
source "$tests/e2e_support.sh"
enter_private_namespace "$build" "$runs" $backgrounds_option
make_work_folder
mkdir -p "$(dirname "$store")"
printf '[General]\nForm%%20Full%%20Screen=TRUE\n' >"$store"
start_x_server 1920x1080
display="${VELTRINOX_LCD:-$build/src/app/veltrinox-lcd}"
tool="$build/tools/veltrinox-caption/veltrinox-caption"
probe="$build/tests/e2e/screen-probe"
watcher="$build/bench/web-watcher"
# Below the ephemeral ports (32768 and up): a client's connection to the feed or control port may
# have taken this number as its own, and a port still held by one cannot be listened on.
web=30002
start_display /webport "$web"
await_port "$web" || fail "the web monitor did not start listening"
sleep 6 # the border hides after five seconds

names=(Red Blue Green Cyan Magenta Yellow)
hexes=(ff0000 0000ff 00ff00 00ffff ff00ff ffff00)
# Waits until the program writing FILE has said "watching".
await_watching() { for _ in $(seq 200); do grep -q watching "$1" 2>/dev/null && return 0; sleep 0.05; done; return 1; }

: >"$work/latencies"
for run in $(seq "$runs"); do
    i=$((run % ${#names[@]}))
    "$watcher" await "$web" 10000 "${hexes[$i]}:1000000" >"$work/watch" &
    watching=$!
    keep_process "$watching"
    await_watching "$work/watch" || fail "the watcher got no frame"
    "$probe" await 10000 "${hexes[$i]}:1000000" >"$work/probe" &
    probing=$!
    keep_process "$probing"
    await_watching "$work/probe" || fail "the screen probe did not start"
    caption_document "Run $run" Black "${names[$i]}" Instant Fast | "$tool" send --port "$feed"
    wait "$probing" || fail "the caption did not reach the screen"
    wait "$watching" || fail "the caption did not reach the watcher"
    shown=$(awk '/shown at/ {print $3}' "$work/probe")
    seen=$(awk '/seen at/ {print $3}' "$work/watch")
    echo $((seen - shown)) >>"$work/latencies"
done
sort -n "$work/latencies" | awk '{ v[NR] = $1 } END {
    printf "latency from screen to watcher, %d runs: median %d ms, min %d ms, max %d ms\n", NR, v[int((NR + 1) / 2)], v[1], v[NR] }'

# Captions fading in one after another; prints the display's share of one core and whether the
# effects kept their time.
fades() {
    local backgrounds=(Black)
    [ "$backgrounds_option" = --backgrounds ] && backgrounds=(Red Blue Green Navy Maroon Purple Teal Gray)
    local status=0
    "$build/bench/fade-load" "$feed" "$pid" "$xvfb" 14 plain Fade "${backgrounds[@]}" || status=$?
    [ "$status" -le 3 ] || fail "fade-load failed"
}
# fade-load finds its caption by colour: none of the runs' backgrounds may be left on screen.
caption_document " " White Black Instant Fast | "$tool" send --port "$feed"
sleep 1
echo "captions fading, no watcher:"
fades
echo "captions fading, three watchers:"
watchers=()
for watcher_number in 1 2 3; do
    # As long as the fades run: a watcher gets no frames while nothing changes.
    "$watcher" frames "$web" 9 >"$work/frames-$watcher_number" &
    watchers+=($!)
    keep_process $!
done
fades
wait "${watchers[@]}"
for watcher_number in 1 2 3; do echo "  watcher $watcher_number: $(cat "$work/frames-$watcher_number")"; done
stop_display
