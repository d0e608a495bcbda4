#!/usr/bin/env bash
# End to end at desktop scaling: on a 3840x2160 X server, the display started at Qt's scale factor 2
# with "/width 1920 /height 1080" is 1920x1080 device pixels, reports the same display size and font
# as at scale 1, and shows exactly the same pixels as at scale 1: a sign's pixels are device pixels.
# Exit 77 skips where no namespace can be made.
set -euo pipefail
source "$(dirname "$0")/e2e_support.sh"
enter_private_namespace "$@"
display="$1"
tool="$2"
probe="$3"
make_work_folder
start_x_server 3840x2160
xdotool mousemove 3830 2150 # out of the window's way: pointer movement over it shows its border

geometry() {
    xdotool getwindowgeometry "$(presentation_window)" 2>/dev/null |
        sed -n -e 's/.*Position: \([0-9-]*,[0-9-]*\).*/\1/p' -e 's/.*Geometry: \([0-9]*x[0-9]*\).*/\1/p' | paste -sd' '
}
status() { "$tool" status --port "$control" | tr -d '\r' | grep -E '^Display(Width|Height|FontSize)=' | paste -sd' '; }
# Starts the display at scale $1, shows a caption and keeps the screen in $work/screen-$1.png and the
# status reply in $work/status-$1.
shown_at_scale() {
    QT_SCALE_FACTOR=$1 start_display /xpos 100 /ypos 60 /width 1920 /height 1080
    xdotool search --sync --onlyvisible --name '^Veltrinox LCD presentation$' >/dev/null
    # The caption hides the border.
    echo '<Surtitles><Cue><Captions Stream0="Crisp at every scale&#13;&#10;gjpqy ÄÖÜ" StrName0="English"/><Language Name="English"/><Font Colour="Yellow" BackColour="Blue" Size="Large"/><Effects InEffect="Instant" Speed="Medium"/></Cue></Surtitles>' |
        "$tool" send --port "$feed" || fail "the feed did not take the document"
    await_border_hidden 3
    for _ in $(seq 50); do [ "$(geometry)" = "100,60 1920x1080" ] && break; sleep 0.1; done
    [ "$(geometry)" = "100,60 1920x1080" ] || fail "scale $1: window $(geometry)"
    env -u QT_SCALE_FACTOR "$probe" await 5000 0000ff:1500000 ffff00:500 >/dev/null || fail "scale $1: no caption"
    sleep 0.5
    status >"$work/status-$1"
    env -u QT_SCALE_FACTOR "$probe" save "$work/screen-$1.png"
    stop_display
}

shown_at_scale 1
shown_at_scale 2
[ "$(cat "$work/status-1")" = "DisplayWidth=3840 DisplayHeight=2160 DisplayFontSize=$(sed -n 's/.*DisplayFontSize=//p' "$work/status-1")" ] ||
    fail "status at scale 1: $(cat "$work/status-1")"
[ "$(cat "$work/status-2")" = "$(cat "$work/status-1")" ] ||
    fail "status at scale 2: $(cat "$work/status-2"), at scale 1: $(cat "$work/status-1")"
cmp -s "$work/screen-1.png" "$work/screen-2.png" || fail "the screen at scale 2 differs from the screen at scale 1"
echo "desktop scale test passed (${WM:-bare})"
