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

Xvfb :37 -screen 0 1280x720x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
export DISPLAY=:37 QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do [ -e /tmp/.X11-unix/X37 ] && break; sleep 0.1; done

"$display" /port 41000 /capport 41001 /width 640 /height 360 >"$work/display.log" 2>&1 &
pid=$!
for _ in $(seq 50); do (exec 3<>/dev/tcp/127.0.0.1/41001) 2>/dev/null && break; sleep 0.1; done

count() { "$probe" "$1" | awk '{print $2}'; }

# A document from the feed: yellow on blue, appearing at once.
echo '<Surtitles><Cue><Captions Stream0="Hello there" StrName0="English"/><Language Name="English"/><Font Colour="Yellow" BackColour="Blue" Size="Large"/><Effects InEffect="Instant"/></Cue></Surtitles>' |
    "$tool" send --port 41000 || fail "the feed did not take the document"
sleep 0.5
blue=$(count 0000ff)
yellow=$(count ffff00)
[ "$blue" -gt 100000 ] || fail "blue background: $blue pixels"
[ "$yellow" -gt 500 ] || fail "yellow caption: $yellow pixels"

# A Stagetext caption from the control port: the configured caption colour (yellow) on black, rolled up.
"$tool" stagetext --port 41001 '\x07' 'Second caption\r' || fail "the control port did not take the caption"
sleep 2
black=$(count 000000)
[ "$(count 0000ff)" -lt 1000 ] || fail "the blue background stayed"
[ "$black" -gt 100000 ] || fail "black background: $black pixels"
[ "$(count ffff00)" -gt 500 ] || fail "yellow Stagetext caption missing"

kill -TERM "$pid"
wait "$pid" || fail "the display ended with $? on SIGTERM"
echo "display on screen test passed"
