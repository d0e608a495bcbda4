#!/usr/bin/env bash
# End to end: the real display under Xvfb, in a private network namespace, against hostile and
# broken peers (tests/e2e/hostile_peers.py), with few enough file descriptors that idle connections
# exhaust them. A separate controller is answered throughout, the display stays quiet while out of
# descriptors, and a caption waiting meanwhile is shown once they are free; the display must come
# through alive and end cleanly. "--full" runs the longer variant.
# Exit 77 skips where no namespace can be made.
set -euo pipefail
source "$(dirname "$0")/private_namespace.sh"
display="$1"
shift
source "$(dirname "$0")/x_server.sh"
work=$(mktemp -d)
trap 'kill "${pid:-}" "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work"
fail() { echo "FAILED: $*"; tail -20 "$work/display.log"; exit 1; }
start_x_server 1280x720
truncate -s 100M "$work/large.bmp"

(ulimit -n 512 && exec "$display" /port 41000 /capport 41001 /width 640 /height 360) >"$work/display.log" 2>&1 &
pid=$!
await_port 41001 || fail "the display did not start listening"

python3 "$(dirname "$0")/hostile_peers.py" "$pid" 41000 41001 "$work/large.bmp" "$@" || fail "the display did not hold"
kill -0 "$pid" 2>/dev/null || fail "the display ended under the load"
kill -TERM "$pid"
wait "$pid" || fail "the display ended with $? on SIGTERM"
echo "hostile peers test passed"
