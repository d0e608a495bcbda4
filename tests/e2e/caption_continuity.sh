#!/usr/bin/env bash
# End to end on a real X server: a display killed outright (as a crash, a power cut or the service
# watchdog ends it) shows the caption that was on screen again within a second of its next start,
# and goes on showing new captions; one ended by SIGTERM starts blank. In a private network
# namespace, its state folder one of the test's own; exit 77 skips where no namespace can be made.
set -euo pipefail
display="$1"
tool="$2"
probe="$3"

source "$(dirname "$0")/private_namespace.sh"
source "$(dirname "$0")/x_server.sh"
work=$(mktemp -d)
trap 'kill -9 "${pid:-}" 2>/dev/null || true; kill "${wm:-}" "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" XDG_RUNTIME_DIR="$work"
kept="$XDG_STATE_HOME/veltrinox-lcd/shown-caption-41000.json"
fail() { echo "FAILED: $*"; cat "$work/display.log"; exit 1; }
start_x_server 1280x720

milliseconds() { date +%s%3N; }
start_display() {
    "$display" /port 41000 /capport 41001 /width 640 /height 360 >>"$work/display.log" 2>&1 &
    pid=$!
    launched=$(milliseconds)
}
count() { "$probe" "$1" | awk '{print $2}'; }
# Waits up to ten seconds for the screen to show at least so many pixels of each colour
# (RRGGBB:COUNT ...); prints the time they showed, in milliseconds since 1970.
await() { "$probe" await 10000 "$@" | awk '/^shown/ {print $3}'; }
caption() { # text, font colour, background, entry effect
    echo "<Surtitles><Cue><Captions Stream0=\"$1\" StrName0=\"English\"/><Language Name=\"English\"/><Font Colour=\"$2\" BackColour=\"$3\" Size=\"Large\"/><Effects InEffect=\"$4\" Speed=\"Fast\"/></Cue></Surtitles>" |
        "$tool" send --port 41000 || fail "the feed did not take the document"
}
# Waits up to five seconds for the state folder to hold a caption with this text.
await_kept() {
    for _ in $(seq 50); do
        grep -qF "$1" "$kept" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# A caption on screen, faded in: yellow on blue.
start_display
await_port 41001 || fail "the display did not start listening"
caption "Kept through a crash" Yellow Blue Fade
[ -n "$(await 0000ff:100000 ffff00:500)" ] || fail "the caption did not show"
await_kept "Kept through a crash" || fail "the caption was not kept in $kept"
yellow=$(count ffff00)

# Killed outright: the next start shows the same caption again, pixel for pixel, within a second.
kill -9 "$pid"
wait "$pid" 2>/dev/null || true
[ "$(count 0000ff)" -lt 1000 ] || fail "the killed display's window stayed"
# (The probe watches the screen before the display starts, so its own start is not counted.)
"$probe" await 10000 0000ff:100000 ffff00:500 >"$work/restored" &
watcher=$!
for _ in $(seq 100); do grep -q watching "$work/restored" && break; sleep 0.1; done
start_display
wait "$watcher" || fail "the caption did not come back: $(count 0000ff) blue"
shown=$(awk '/^shown/ {print $3}' "$work/restored")
echo "the caption came back $((shown - launched)) ms after the display was started"
[ $((shown - launched)) -le 1000 ] || fail "the caption came back after $((shown - launched)) ms"
[ "$(count ffff00)" -eq "$yellow" ] || fail "a different caption came back: $(count ffff00) yellow pixels, not $yellow"

# The display goes on: the next caption fades from the one restored, and is kept in its place.
caption "The next line" White Red Fade
[ -n "$(await ff0000:100000 ffffff:500)" ] || fail "the next caption did not show"
await_kept "The next line" || fail "the next caption was not kept"

# Ended by SIGTERM: nothing is kept, and the next start is blank.
kill -TERM "$pid"
wait "$pid" || fail "the display ended with $? on SIGTERM"
[ ! -e "$kept" ] || fail "a clean end left $kept"
start_display
await_port 41001 || fail "the display did not start listening again"
sleep 1
[ "$(count ff0000)" -lt 1000 ] || fail "a start after a clean end was not blank: $(count ff0000) red pixels"
kill -TERM "$pid"
wait "$pid" || fail "the display ended with $? on SIGTERM"
echo "caption continuity test passed"
