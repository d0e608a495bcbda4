#!/usr/bin/env bash
# End to end on a real X server: a display killed outright (as a crash, a power cut or the service
# watchdog ends it) shows the caption that was on screen again within a second of its next start,
# and goes on showing new captions; one ended by SIGTERM starts blank. In a private network
# namespace, its state folder one of the test's own; exit 77 skips where no namespace can be made.
set -euo pipefail
display="$1"
tool="$2"
probe="$3"

source "$(dirname "$0")/e2e_support.sh"
enter_private_namespace "$@"
make_work_folder
kept="$XDG_STATE_HOME/veltrinox-lcd/shown-caption-$feed.json"
start_x_server 1280x720

count() { "$probe" "$1" | awk '{print $2}'; }
# Waits up to ten seconds for the screen to show at least so many pixels of each colour
# (RRGGBB:COUNT ...); prints the time they showed, in milliseconds since 1970.
await() { "$probe" await 10000 "$@" | awk '/^shown/ {print $3}'; }
caption() { # text, font colour, background, entry effect
    caption_document "$1" "$2" "$3" "$4" Fast | "$tool" send --port "$feed" || fail "the feed did not take the document"
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
start_display /width 640 /height 360
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
keep_process "$watcher"
for _ in $(seq 100); do grep -q watching "$work/restored" && break; sleep 0.1; done
start_display_unwaited /width 640 /height 360
wait "$watcher" || fail "the caption did not come back: $(count 0000ff) blue"
shown=$(awk '/^shown/ {print $3}' "$work/restored")
echo "the caption came back $((shown - launched)) ms after the display was started"
# Within a second for the released display; an instrumented one starts slower (VELTRINOX_CONTINUITY_MS).
limit="${VELTRINOX_CONTINUITY_MS:-1000}"
[ $((shown - launched)) -le "$limit" ] || fail "the caption came back after $((shown - launched)) ms (limit $limit ms)"
[ "$(count ffff00)" -eq "$yellow" ] || fail "a different caption came back: $(count ffff00) yellow pixels, not $yellow"

# The display goes on: the next caption fades from the one restored, and is kept in its place.
caption "The next line" White Red Fade
[ -n "$(await ff0000:100000 ffffff:500)" ] || fail "the next caption did not show"
await_kept "The next line" || fail "the next caption was not kept"

# Ended by SIGTERM: nothing is kept, and the next start is blank.
stop_display
[ ! -e "$kept" ] || fail "a clean end left $kept"
start_display /width 640 /height 360
sleep 1
[ "$(count ff0000)" -lt 1000 ] || fail "a start after a clean end was not blank: $(count ff0000) red pixels"
stop_display
echo "caption continuity test passed"
