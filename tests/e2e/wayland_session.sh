# Sourced by the end-to-end tests: headless Wayland compositors with XWayland, as a Wayland desktop
# offers them, pointing the display at both as such a desktop does (WAYLAND_DISPLAY and DISPLAY set,
# no platform named). Each needs $work, sets $compositor to the compositor's process, and exits 77
# (skipped) where the compositor or XWayland is not installed. Sourced after e2e_support.sh.
#
#   start_wayland_session 1920x1080    weston's headless backend, one output of that size
#   start_mutter_session 1920x1080 1280x720
#                                      mutter's headless backend: virtual monitors of these sizes side
#                                      by side, and a window manager for XWayland's windows that keeps
#                                      windows above others as a GNOME desktop does
#   start_mutter_session --no-x11 ...  the same without XWayland (DISPLAY unset), a desktop with
#                                      Wayland alone
#   require_qt_wayland_plugin          exits 77 where Qt's Wayland plugin is not installed: without it
#                                      the display has no Wayland to choose or refuse

require_qt_wayland_plugin() {
    ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 && return
    echo "Qt's Wayland plugin is not installed: skipped"
    exit 77
}

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

start_mutter_session() {
    local x11=1 options=()
    if [ "${1:-}" = --no-x11 ]; then
        x11=
        options+=(--no-x11)
        shift
    fi
    if ! command -v mutter >/dev/null || ! command -v Xwayland >/dev/null || ! command -v dbus-run-session >/dev/null; then
        echo "mutter, Xwayland or dbus-run-session is not installed: skipped"
        exit 77
    fi
    local runtime="$work/wayland-runtime" size
    mkdir -p "$runtime"
    chmod 700 "$runtime"
    for size in "$@"; do options+=(--virtual-monitor "$size"); done
    # mutter wants a session bus, as in a desktop session: one of the test's own, which ends when mutter
    # does. mutter is the kept process: ended on its own, it gives back the X display numbers it took.
    XDG_RUNTIME_DIR="$runtime" dbus-run-session -- sh -c 'echo $$ >"$0"; exec "$@"' "$work/mutter.pid" \
        mutter --wayland --headless "${options[@]}" --wayland-display=wayland-test \
        >"$work/mutter.log" 2>&1 &
    for _ in $(seq 50); do [ -s "$work/mutter.pid" ] && break; sleep 0.1; done
    compositor=$(cat "$work/mutter.pid")
    keep_process "$compositor"
    local number='' started=''
    for _ in $(seq 100); do
        number=$(sed -n 's/.*Using public X11 display :\([0-9]*\).*/\1/p' "$work/mutter.log")
        if [ -S "$runtime/wayland-test" ] && { [ -z "$x11" ] || [ -n "$number" ]; }; then
            started=1
            break
        fi
        sleep 0.1
    done
    if [ -z "$started" ]; then
        echo "FAILED: mutter did not start: $(cat "$work/mutter.log")"
        exit 1
    fi
    unset QT_QPA_PLATFORM DISPLAY
    export WAYLAND_DISPLAY="$runtime/wayland-test"
    [ -n "$x11" ] || return 0
    # XWayland admits only the clients that hold the key mutter made for it.
    local key
    key=$(echo "$runtime"/.mutter-Xwaylandauth.*)
    export DISPLAY=":$number" XAUTHORITY="$key"
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    echo "FAILED: mutter does not manage XWayland's windows: $(cat "$work/mutter.log")"
    exit 1
}
