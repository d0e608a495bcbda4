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

# Two RandR monitors of $1 (1920x1080 by default) side by side over one screen: "left" at the
# origin, the primary one, and "right" beside it. Qt lists the primary monitor first, so the display
# numbers them 0 and 1. Starts the X server (and the window manager) as start_x_server does.
start_two_monitor_x_server() {
    local size=${1:-1920x1080}
    local width=${size%x*} height=${size#*x}
    start_x_server "$((2 * width))x$height"
    xrandr --setmonitor '*left' "$width/508x$height/286+0+0" screen >/dev/null
    xrandr --setmonitor right "$width/508x$height/286+$width+0" none >/dev/null
}

# A desktop panel: a window of geometry $1 (WxH+X+Y) that reserves its height at the top of the
# screen from x $2 to x $3 through its strut, as a panel or dock does; a window manager keeps
# maximised windows clear of it. Sets $panel to its process, ended on exit.
start_panel() {
    local geometry=$1 from=$2 to=$3
    local height=${geometry#*x}
    height=${height%%+*}
    xmessage -geometry "$geometry" -title test-panel -buttons '' ' ' >/dev/null 2>&1 &
    panel=$!
    keep_process "$panel"
    local window
    window=$(xdotool search --sync --name '^test-panel$' | head -1)
    xprop -id "$window" -f _NET_WM_STRUT_PARTIAL 32c -set _NET_WM_STRUT_PARTIAL "0,0,$height,0,0,0,0,0,$from,$to,0,0"
    xprop -id "$window" -f _NET_WM_STRUT 32c -set _NET_WM_STRUT "0,0,$height,0"
}
