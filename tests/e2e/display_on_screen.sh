#!/usr/bin/env bash
# End to end on a real X server: the display under Xvfb, in a private network namespace, shows a
# caption sent on the feed port and a Stagetext caption sent on the control port, in their colours,
# read back from the screen. Exit 77 skips where no namespace can be made.
set -euo pipefail
display="$1"
tool="$2"
probe="$3"

source "$(dirname "$0")/private_namespace.sh"
work=$(mktemp -d)
trap 'kill "$pid" "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work"
fail() { echo "FAILED: $*"; cat "$work/display.log"; exit 1; }

# Xvfb picks a free display number and writes it when it is ready to take clients.
Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp 3>"$work/display-number" >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display-number" ] && break; sleep 0.1; done
[ -s "$work/display-number" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(cat "$work/display-number")" QT_QPA_PLATFORM=xcb

"$display" /port 41000 /capport 41001 /width 640 /height 360 >"$work/display.log" 2>&1 &
pid=$!
for _ in $(seq 50); do (exec 3<>/dev/tcp/127.0.0.1/41001) 2>/dev/null && break; sleep 0.1; done

count() { "$probe" "$1" | awk '{print $2}'; }

# Waits up to ten seconds for the screen to show at least (or, with "-lt", fewer than) so many pixels
# of a colour.
await() {
    local colour=$1 comparison=$2 pixels=$3
    for _ in $(seq 40); do
        [ "$(count "$colour")" "$comparison" "$pixels" ] && return 0
        sleep 0.25
    done
    return 1
}

# A document from the feed: yellow on blue, appearing at once.
echo '<Surtitles><Cue><Captions Stream0="Hello there" StrName0="English"/><Language Name="English"/><Font Colour="Yellow" BackColour="Blue" Size="Large"/><Effects InEffect="Instant"/></Cue></Surtitles>' |
    "$tool" send --port 41000 || fail "the feed did not take the document"
await 0000ff -gt 100000 || fail "blue background: $(count 0000ff) pixels"
await ffff00 -gt 500 || fail "yellow caption: $(count ffff00) pixels"

# A Stagetext caption from the control port: the configured caption colour (yellow) on black, rolled up.
"$tool" stagetext --port 41001 '\x07' 'Second caption\r' || fail "the control port did not take the caption"
await 0000ff -lt 1000 || fail "the blue background stayed"
await 000000 -gt 100000 || fail "black background: $(count 000000) pixels"
await ffff00 -gt 500 || fail "yellow Stagetext caption missing"

kill -TERM "$pid"
wait "$pid" || fail "the display ended with $? on SIGTERM"
echo "display on screen test passed"
