#!/usr/bin/env bash
# End to end on a Wayland desktop without XWayland and with two outputs of different sizes (a
# headless mutter: 1920x1080, and 1280x720 beside it): the display runs natively and is full screen
# on the chosen output, the second or the first, as its display image (twice the window) shows.
# Exit 77 skips where no namespace can be made or no compositor is installed.
set -euo pipefail
source "$(dirname "$0")/e2e_support.sh"
source "$(dirname "$0")/wayland_session.sh"
enter_private_namespace "$@"
display="$1"
tool="$2"
make_work_folder
mkdir -p "$(dirname "$store")"
require_qt_wayland_plugin
start_mutter_session --no-x11 1920x1080 1280x720

display_image() { "$tool" status --port "$control" | tr -d '\r' | grep -E '^Display(Width|Height)=' | cut -d= -f2 | paste -sd'x'; }
for chosen in "1 2560x1440" "0 3840x2160"; do
    monitor=${chosen% *} expected=${chosen#* }
    printf '[General]\nFixForm%%20Transparent=TRUE\nMonitor=%s\nForm%%20Full%%20Screen=TRUE\nForm%%20Width=400\nForm%%20Height=200\n' \
        "$monitor" >"$store"
    start_display
    grep -q "running natively; the compositor does not honour staying on top" "$work/display.log" ||
        fail "no word of what the compositor does not honour"
    for _ in $(seq 30); do
        size=$(display_image)
        [ "$size" = "$expected" ] && break
        sleep 0.1
    done
    [ "$size" = "$expected" ] || fail "full screen on monitor $monitor: the display image is $size, not $expected"
    stop_display
done
echo "wayland native outputs test passed"
