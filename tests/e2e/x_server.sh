# Sourced by e2e_support.sh: start_x_server starts Xvfb (a real X server) on a free display number,
# screen size $1 (1280x720 by default), and points the display at it; with WM=openbox in the
# environment a window manager runs on it as on a desktop (frames, placement, maximising). Needs
# $work; sets $xvfb to the server's process and $wm to the window manager's, both ended on exit.
start_x_server() {
    Xvfb -displayfd 3 -screen 0 "${1:-1280x720}x24" -nolisten tcp -noreset 3>"$work/display-number" >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    keep_process "$xvfb"
    for _ in $(seq 100); do [ -s "$work/display-number" ] && break; sleep 0.1; done
    if [ ! -s "$work/display-number" ]; then
        echo "FAILED: Xvfb did not start: $(cat "$work/xvfb.log")"
        exit 1
    fi
    export DISPLAY=":$(cat "$work/display-number")" QT_QPA_PLATFORM=xcb
    case "${WM:-}" in
    "") ;;
    openbox) start_openbox ;;
    *)
        echo "FAILED: unknown window manager $WM"
        exit 1
        ;;
    esac
}

# Openbox with its stock configuration, its own files kept in $work; returns once it manages the
# screen (it has announced itself on the root window).
start_openbox() {
    if ! command -v openbox >/dev/null; then
        echo "openbox is not installed: skipped"
        exit 77
    fi
    XDG_CONFIG_HOME="$work/wm-config" XDG_CACHE_HOME="$work/wm-cache" openbox --sm-disable >"$work/wm.log" 2>&1 &
    wm=$!
    keep_process "$wm"
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    echo "FAILED: openbox did not start: $(cat "$work/wm.log")"
    exit 1
}
