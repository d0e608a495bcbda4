# Sourced by the end-to-end tests: start_x_server starts Xvfb (a real X server) on a free display
# number, screen size $1 (1280x720 by default), and points the display at it. Needs $work; sets
# $xvfb to the server's process.
start_x_server() {
    Xvfb -displayfd 3 -screen 0 "${1:-1280x720}x24" -nolisten tcp -noreset 3>"$work/display-number" >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do [ -s "$work/display-number" ] && break; sleep 0.1; done
    if [ ! -s "$work/display-number" ]; then
        echo "FAILED: Xvfb did not start: $(cat "$work/xvfb.log")"
        exit 1
    fi
    export DISPLAY=":$(cat "$work/display-number")" QT_QPA_PLATFORM=xcb
}

# Waits until something listens on a loopback port (up to five seconds).
await_port() {
    for _ in $(seq 50); do
        (exec 9<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}
