# Sourced by the end-to-end tests: start_wayland_session starts a headless Wayland compositor
# (weston's headless backend, one output of $1, 1920x1080 by default) with XWayland, as a Wayland
# desktop offers it, and points the display at both as such a desktop does: WAYLAND_DISPLAY and
# DISPLAY set, no platform named. Needs $work; sets $compositor to the compositor's process. Exits 77
# (skipped) where weston or XWayland is not installed. Sourced after e2e_support.sh.
start_wayland_session() {
    local size=${1:-1920x1080}
    if ! command -v weston >/dev/null || ! command -v Xwayland >/dev/null; then
        echo "weston or Xwayland is not installed: skipped"
        exit 77
    fi
    mkdir -p "$work/wayland-runtime"
    chmod 700 "$work/wayland-runtime"
    XDG_RUNTIME_DIR="$work/wayland-runtime" weston --backend=headless-backend.so --xwayland --idle-time=0 \
        --socket=wayland-test --width="${size%x*}" --height="${size#*x}" >"$work/weston.log" 2>&1 &
    compositor=$!
    keep_process "$compositor"
    local number=
    for _ in $(seq 100); do
        number=$(sed -n 's/.*xserver listening on display :\([0-9]*\).*/\1/p' "$work/weston.log")
        [ -n "$number" ] && [ -S "$work/wayland-runtime/wayland-test" ] && break
        sleep 0.1
    done
    if [ -z "$number" ]; then
        echo "FAILED: weston did not start: $(cat "$work/weston.log")"
        exit 1
    fi
    unset QT_QPA_PLATFORM
    export WAYLAND_DISPLAY="$work/wayland-runtime/wayland-test" DISPLAY=":$number"
}
