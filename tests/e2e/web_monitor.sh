#!/usr/bin/env bash
# End to end: the web monitor of the real display on a real X server, watched by headless Chromium,
# all in a private network namespace. Without /webport the display listens on its feed and control
# ports only. With it, the page Chromium shows holds the window's picture pixel for pixel for a
# plain, a formatted and a picture caption, and for a transparent window the same pixels where the
# window is opaque and a checkerboard where it is not. /screen.png is the screen's picture too.
# Exit 77 skips where no namespace can be made or no Chromium is installed.
set -euo pipefail
display="$1"
tool="$2"
probe="$3"
compare="$4"

source "$(dirname "$0")/e2e_support.sh"
enter_private_namespace "$@"
command -v chromium >/dev/null || { echo "chromium is not installed: skipped"; exit 77; }
make_work_folder
start_x_server 1280x720
# Below the ephemeral ports (32768 and up): a client's connection to the feed or control port may
# have taken this number as its own, and a port still held by one cannot be listened on.
web=30002
width=640 height=120
# Where the page draws the picture at "?zoom=1": inside the page's margin.
page_x=12 page_y=12

listening() { ss -Hltn | awk '{print $4}' | sed 's/.*://' | sort -n | tr '\n' ' '; }

# Off unless asked for.
start_display /xpos 0 /ypos 0 /width "$width" /height "$height"
[ "$(listening)" = "$feed $control " ] || fail "listening without /webport: $(listening)"
stop_display

# The page as headless Chromium shows it, at the display's own pixels, once its frames have come.
page_screenshot() { # file
    timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$work/chromium" --force-device-scale-factor=1 --window-size=1280,800 \
        --virtual-time-budget=3000 --screenshot="$1" "http://127.0.0.1:$web/?zoom=1" >>"$work/chromium.log" 2>&1 ||
        fail "chromium: $(tail -3 "$work/chromium.log")"
}
fetch() { # path file
    exec 5<>"/dev/tcp/127.0.0.1/$web"
    printf 'GET %s HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n' "$1" >&5
    timeout 5 cat <&5 >"$work/response"
    exec 5<&-
    # The body follows the first empty line.
    python3 -c 'import sys; d=open(sys.argv[1],"rb").read(); sys.stdout.buffer.write(d[d.index(b"\r\n\r\n")+4:])' \
        "$work/response" >"$2"
}
# The page, the screen and /screen.png agree, pixel for pixel, where the window is opaque.
check_mirror() { # what
    sleep 1
    "$probe" save "$work/screen.png"
    fetch /screen.png "$work/served.png"
    page_screenshot "$work/page.png"
    "$compare" "$work/served.png" 0 0 "$work/screen.png" 0 0 "$width" "$height" "$work/served.png" >"$work/compared" ||
        fail "$1: /screen.png is not the screen: $(cat "$work/compared")"
    "$compare" "$work/page.png" "$page_x" "$page_y" "$work/screen.png" 0 0 "$width" "$height" "$work/served.png" \
        >"$work/compared" || fail "$1: the page is not the screen: $(cat "$work/compared")"
    echo "$1: $(cat "$work/compared")"
}

start_display /xpos 0 /ypos 0 /width "$width" /height "$height" /webport "$web"
await_port "$web" || fail "the web monitor did not start listening"
grep -q "web monitor listening on port $web" "$work/display.log" || fail "no start-up line for the web monitor"

caption_document "Plain caption" Yellow Blue Instant Fast | "$tool" send --port "$feed"
check_mirror plain

caption_document "&lt;HTML&gt;&lt;b&gt;Bold&lt;/b&gt; and &lt;i&gt;italic&lt;/i&gt;&lt;/HTML&gt;" White Black Instant Fast |
    "$tool" send --port "$feed"
check_mirror formatted

picture=$(python3 - <<'PY'
import base64, struct
w, h = 96, 40
rows = b""
for y in range(h):
    row = b"".join(bytes(((x * 7) % 256, (y * 13) % 256, ((x + y) * 5) % 256)) for x in range(w))
    rows += row + b"\0" * ((4 - len(row) % 4) % 4)
header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
print("#IMAGE:#" + base64.b64encode(header + info + rows).decode())
PY
)
caption_document "$picture" White Black Instant Fast | "$tool" send --port "$feed"
check_mirror picture
stop_display

# A transparent window: keyed-out pixels have no colour, and the page shows a checkerboard there.
mkdir -p "$(dirname "$store")"
printf '[General]\nForm%%20Transparent=TRUE\n' >"$store"
start_display /xpos 0 /ypos 0 /width "$width" /height "$height" /webport "$web"
await_port "$web" || fail "the web monitor did not start listening"
caption_document "Transparent" Yellow Black Instant Fast | "$tool" send --port "$feed"
check_mirror transparent
# The top-left corner is keyed out: the page shows one of the checkerboard's two greys there.
for grey in 9a9a9a d0d0d0; do
    printf 'P3 1 1 255 %d %d %d\n' "0x${grey:0:2}" "0x${grey:2:2}" "0x${grey:4:2}" >"$work/$grey.ppm"
done
"$compare" "$work/page.png" "$page_x" "$page_y" "$work/9a9a9a.ppm" 0 0 1 1 >/dev/null ||
    "$compare" "$work/page.png" "$page_x" "$page_y" "$work/d0d0d0.ppm" 0 0 1 1 >/dev/null ||
    fail "no checkerboard where the window is transparent"
stop_display
echo "passed"
