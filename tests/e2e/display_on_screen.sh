#!/usr/bin/env bash
# End to end on a real X server: the display under Xvfb, in a private network namespace, shows a
# caption sent on the feed port and a Stagetext caption sent on the control port in their colours,
# and fades within its number of ticks, all read back from the screen; started again from a stored
# settings store it takes the stored geometry and full screen, and a damaged store is cleared.
# Exit 77 skips where no namespace can be made.
set -euo pipefail
display="$1"
tool="$2"
probe="$3"

source "$(dirname "$0")/e2e_support.sh"
enter_private_namespace "$@"
make_work_folder
start_x_server 1280x720

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
caption() { # text, background, entry effect, speed
    caption_document "$1" Yellow "$2" "$3" "$4" | "$tool" send --port "$feed" || fail "the feed did not take the document"
}
status_line() { "$tool" status --port "$control" | tr -d '\r' | grep "^$1=" | cut -d= -f2; }

start_display /width 640 /height 360

# A document from the feed: yellow on blue, appearing at once.
caption "Hello there" Blue Instant Medium
await 0000ff -gt 100000 || fail "blue background: $(count 0000ff) pixels"
await ffff00 -gt 500 || fail "yellow caption: $(count ffff00) pixels"

# A fast fade to a red caption: 16 ticks out, 16 in. The window's corner passes through the dimming
# shades of blue and the rising shades of red, no more of them than there are ticks.
"$probe" fade 5 5 ff0000 5000 >"$work/fade" &
watcher=$!
keep_process "$watcher"
sleep 0.3
caption "Faded in" Red Fade Fast
wait "$watcher" || fail "the fade did not end in red"
read -r _ colours _ milliseconds <"$work/fade"
echo "fade: $colours colours in $milliseconds ms"
[ "$colours" -ge 10 ] && [ "$colours" -le 33 ] || fail "fade showed $colours colours"
[ "$milliseconds" -ge 200 ] && [ "$milliseconds" -le 1500 ] || fail "fade took $milliseconds ms"

# A Stagetext caption from the control port: the configured caption colour (yellow) on black, rolled up.
"$tool" stagetext --port "$control" '\x07' 'Second caption\r' || fail "the control port did not take the caption"
await ff0000 -lt 1000 || fail "the red background stayed"
await 000000 -gt 100000 || fail "black background: $(count 000000) pixels"
await ffff00 -gt 500 || fail "yellow Stagetext caption missing"
stop_display

# Started from a stored settings store: its geometry, and full screen over the whole monitor.
mkdir -p "$(dirname "$store")"
printf '[General]\nForm%%20Width=600\nForm%%20Height=200\nForm%%20Left=100\nForm%%20Top=50\n' >"$store"
start_display
# (A window manager may first place the frame, rather than the content, at the stored corner; the
# content stands there once the border has hidden.)
for _ in $(seq 80); do
    await_presentation_window
    # The window may not be readable while the window manager reframes it as its border hides.
    geometry=$(xdotool getwindowgeometry "$(presentation_window)" 2>/dev/null | tr -d '\n') || true
    grep -q "Position: 100,50.*Geometry: 600x200" <<<"$geometry" && break
    sleep 0.1
done
grep -q "Position: 100,50.*Geometry: 600x200" <<<"$geometry" || fail "stored geometry: $geometry"
[ "$(status_line DisplayWidth)x$(status_line DisplayHeight)" = 1200x400 ] || fail "display image at the stored size"
stop_display
printf '[General]\nForm%%20Width=600\nForm%%20Height=200\nForm%%20Full%%20Screen=TRUE\n' >"$store"
start_display
# (Under a window manager the border takes its share of the monitor until it hides.)
for _ in $(seq 80); do
    [ "$(status_line DisplayWidth)x$(status_line DisplayHeight)" = 2560x1440 ] && break
    sleep 0.1
done
[ "$(status_line DisplayWidth)x$(status_line DisplayHeight)" = 2560x1440 ] ||
    fail "full screen: $(status_line DisplayWidth)x$(status_line DisplayHeight)"
stop_display

# A store holding a geometry no window can take: the display says so, clears the window values
# (keeping the others) and ends with a failure status; the next start takes the defaults.
printf '[General]\nForm%%20Width=90000\nForm%%20Height=200\nMonitor=1\n' >"$store"
status=0
timeout 30 "$display" /port "$feed" /capport "$control" >"$work/display.log" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "a damaged store ended with $status"
grep -qF "Closing due to bad settings, settings cleared please re-run." "$work/display.log" || fail "no message"
! grep -q "^Form" "$store" || fail "window values kept: $(cat "$store")"
grep -q "^Monitor=1" "$store" || fail "other values lost: $(cat "$store")"
start_display
[ "$(status_line DisplayWidth)x$(status_line DisplayHeight)" = 704x128 ] || fail "defaults after the clearing"
stop_display
echo "display on screen test passed"
