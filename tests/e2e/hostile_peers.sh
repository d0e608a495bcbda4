#!/usr/bin/env bash
# End to end: the real display under Xvfb, in a private network namespace, against hostile and
# broken peers (tests/e2e/hostile_peers.py), with few enough file descriptors that idle connections
# exhaust them. A separate controller is answered throughout, the display stays quiet while out of
# descriptors, and a caption waiting meanwhile is shown once they are free; the display must come
# through alive and end cleanly; its web monitor is attacked meanwhile, and logs each kind of refusal
# once. "--full" runs the longer variant.
# Exit 77 skips where no namespace can be made.
set -euo pipefail
source "$(dirname "$0")/e2e_support.sh"
enter_private_namespace "$@"
display="$1"
shift
make_work_folder
# The display's log is long after the attack: its end says what happened.
fail() { echo "FAILED: $*"; tail -20 "$work/display.log"; exit 1; }
start_x_server 1280x720
truncate -s 100M "$work/large.bmp"

web=30002
(ulimit -n 512 && exec "$display" /port "$feed" /capport "$control" /width 640 /height 360 /webport "$web") \
    >"$work/display.log" 2>&1 &
pid=$!
await_port "$control" || fail "the display did not start listening"

python3 "$(dirname "$0")/hostile_peers.py" "$pid" "$feed" "$control" "$work/large.bmp" --web "$web" "$@" ||
    fail "the display did not hold"
for refusal in "too many connections" "request too large"; do
    [ "$(grep -c "web monitor: $refusal (" "$work/display.log")" = 1 ] || fail "\"$refusal\" not logged once"
done
kill -0 "$pid" 2>/dev/null || fail "the display ended under the load"
stop_display
echo "hostile peers test passed"
