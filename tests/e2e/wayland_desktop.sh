#!/usr/bin/env bash
# End to end on a Wayland desktop (a headless weston with XWayland), Qt's Wayland plugin installed:
# the display chooses XWayland and says so, and is full screen over the output; without XWayland it
# runs natively, says what the compositor does not honour, and is full screen there too.
# Exit 77 skips where no namespace can be made or no compositor is installed.
set -euo pipefail
source "$(dirname "$0")/private_namespace.sh"
source "$(dirname "$0")/x_server.sh"
source "$(dirname "$0")/wayland_session.sh"
display="$1"
tool="$2"
work=$(mktemp -d)
trap 'kill "${pid:-}" "${other:-}" "${compositor:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_STATE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
store="$XDG_CONFIG_HOME/Quillmarch/Brindlecast LCD.conf"
mkdir -p "$(dirname "$store")"
fail() { echo "FAILED: $*"; cat "$work/display.log"; exit 1; }
ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 || {
    echo "Qt's Wayland plugin is not installed: skipped"
    exit 77
}
start_wayland_session 1920x1080

printf '[General]\nForm%%20Full%%20Screen=TRUE\nForm%%20Width=400\nForm%%20Height=200\n' >"$store"
"$display" /port 41000 /capport 41001 >"$work/display.log" 2>&1 &
pid=$!
await_port 41001 || fail "the display did not start listening"
grep -q "running through XWayland" "$work/display.log" || fail "XWayland not chosen"
window=$(xdotool search --sync --name '^Veltrinox LCD presentation$' | head -1)
for _ in $(seq 50); do
    geometry=$(xdotool getwindowgeometry "$window" | sed -n -e 's/.*Position: \([0-9-]*,[0-9-]*\).*/\1/p' -e 's/.*Geometry: \([0-9]*x[0-9]*\).*/\1/p' | paste -sd' ')
    [ "$geometry" = "0,0 1920x1080" ] && break
    sleep 0.1
done
[ "$geometry" = "0,0 1920x1080" ] || fail "not full screen over the output: $geometry"
xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_FULLSCREEN || fail "no full-screen state"
kill -TERM "$pid"
wait "$pid" || fail "the display ended with $? on SIGTERM"

# Without XWayland the display runs natively, says what the compositor does not honour, and is full
# screen over the output: its display image is twice the output.
env -u DISPLAY "$display" /port 41000 /capport 41001 >"$work/display.log" 2>&1 &
pid=$!
await_port 41001 || fail "the display did not start natively"
grep -q "running natively; the compositor does not honour staying on top" "$work/display.log" ||
    fail "no word of what the compositor does not honour"
for _ in $(seq 50); do
    size=$("$tool" status --port 41001 | tr -d '\r' | grep -E '^Display(Width|Height)=' | cut -d= -f2 | paste -sd'x')
    [ "$size" = 3840x2160 ] && break
    sleep 0.1
done
[ "$size" = 3840x2160 ] || fail "natively, the display image is $size"
kill -TERM "$pid"
wait "$pid" || fail "the display ended with $? on SIGTERM"
echo "wayland desktop test passed"
