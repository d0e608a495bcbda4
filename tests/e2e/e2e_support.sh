# Sourced by every end-to-end test and end-to-end benchmark: what they all need to start the real
# display where nothing it does reaches beyond the test, and to watch it.
#
#   source "$(dirname "$0")/e2e_support.sh"
#   enter_private_namespace "$@"   # re-runs the script in a network namespace of its own (or exits 77)
#   make_work_folder               # $work, with HOME and the XDG folders inside it; cleaned up on exit
#   start_x_server 1280x720        # a real X server (and a window manager with WM=openbox)
#   start_display /width 640 ...   # "$display" on the test's ports, its log in $work/display.log
#   caption_document Hello Yellow Blue Fade Fast | "$tool" send --port "$feed"
#   stop_display                   # SIGTERM, and a failure unless it ends cleanly
#
# Every process a script starts in the background goes through keep_process, so the exit trap ends
# it whatever way the script ends.

# The test's ports. They are free: each test has a network namespace of its own. They lie below the
# range the system picks a connection's own port from (32768 and up), so that a controller's earlier
# connection cannot hold one of them when the display starts again.
feed=30000
control=30001

# Re-runs the calling script in a private network namespace of its own (nothing it listens on or
# announces can reach beyond it), with loopback up. Exits 77 (skipped) where no namespace can be made.
enter_private_namespace() {
    if [ "${VELTRINOX_IN_NAMESPACE:-}" != 1 ]; then
        export VELTRINOX_IN_NAMESPACE=1
        local unshare
        for unshare in "unshare -n" "unshare -rn"; do
            if $unshare true 2>/dev/null; then
                exec $unshare bash "$0" "$@"
            fi
        done
        echo "no private network namespace available: skipped"
        exit 77
    fi
    ip link set lo up
}

# A work folder of the test's own, holding the home folder and every XDG folder of the programs it
# starts, so that none of them reads or writes the user's own settings, state or caches, and tests
# running side by side never meet. Removed, with every kept process ended, when the script exits.
# With a work folder already made by an outer run of the same script (see popup_menu.sh) it is kept.
make_work_folder() {
    if [ -z "${VELTRINOX_WORK:-}" ]; then
        work=$(mktemp -d)
        trap end_test EXIT
    else
        work=$VELTRINOX_WORK
        trap end_kept_processes EXIT
    fi
    export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"
    export XDG_CACHE_HOME="$work/cache" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime"
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_STATE_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    store="$XDG_CONFIG_HOME/Quillmarch/Brindlecast LCD.conf"
}

kept_processes=()
keep_process() { kept_processes+=("$@"); }
# Ends the kept processes, the display first (outright: a test that wanted a clean end has had it).
# (Processes that have ended already are no failure: under set -e a failing kill here would end the
# script with a failure status after it passed.)
end_kept_processes() {
    if [ -n "${pid:-}" ]; then kill -9 "$pid" 2>/dev/null || true; fi
    if [ "${#kept_processes[@]}" -gt 0 ]; then kill "${kept_processes[@]}" 2>/dev/null || true; fi
}
end_test() {
    end_kept_processes
    local namespace
    for namespace in "${made_namespaces[@]}"; do ip netns del "$namespace" 2>/dev/null || true; done
    rm -rf "$work"
}

# Tests of what crosses a network: named network namespaces joined by veth pairs, with no adapter
# but loopback and the test's own links, removed when the script exits. They need root: without it
# the test is skipped (77).
made_namespaces=()
require_namespace_root() {
    if [ "$(id -u)" -ne 0 ] || ! command -v ip >/dev/null; then
        echo "network namespaces need root: skipped"
        exit 77
    fi
}
add_namespaces() { # names...
    local namespace
    for namespace in "$@"; do
        ip netns add "$namespace"
        made_namespaces+=("$namespace")
        ip -n "$namespace" link set lo up
    done
}
# A veth pair from namespace A (end A_END, address A_ADDRESS/24) to namespace B (end B_END, and each
# further address given). Both ends are left down.
add_veth_pair() { # a a_end a_address b b_end b_address...
    local a="$1" a_end="$2" a_address="$3" b="$4" b_end="$5" address
    shift 5
    ip link add "$a_end" type veth peer name "$b_end"
    ip link set "$a_end" netns "$a"
    ip link set "$b_end" netns "$b"
    ip -n "$a" addr add "$a_address/24" dev "$a_end"
    for address in "$@"; do ip -n "$b" addr add "$address/24" dev "$b_end"; done
}

# Says what failed, with the display's log, and ends the test.
fail() {
    echo "FAILED${WM:+ ($WM)}: $*"
    [ -e "$work/display.log" ] && cat "$work/display.log"
    exit 1
}

# Starts "$display" on the test's ports with the given switches, its output in $work/display.log
# (appended: a restarted display's lines follow the earlier ones), and waits until it listens.
start_display() {
    start_display_unwaited "$@"
    await_port "$control" || fail "the display did not start listening"
}
# The same without waiting: $launched holds the moment it was started, in milliseconds.
start_display_unwaited() {
    launched=$(date +%s%3N)
    "$display" /port "$feed" /capport "$control" "$@" >>"$work/display.log" 2>&1 &
    pid=$!
}
# Ends the display as a service manager does, failing unless it ends cleanly.
stop_display() {
    kill -TERM "$pid"
    local status=0
    wait "$pid" || status=$?
    pid=
    [ "$status" -eq 0 ] || fail "the display ended with $status on SIGTERM"
}

# Waits until something listens on a loopback port (up to five seconds).
await_port() {
    for _ in $(seq 50); do
        (exec 9<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# A caption document showing TEXT from an English column, in COLOUR on BACKGROUND at "Large", with
# the entry EFFECT at SPEED.
caption_document() { # text, colour, background, effect, speed
    printf '<Surtitles><Cue><Captions Stream0="%s" StrName0="English"/><Language Name="English"/>' "$1"
    printf '<Font Colour="%s" BackColour="%s" Size="Large"/><Effects InEffect="%s" Speed="%s"/></Cue></Surtitles>\n' \
        "$2" "$3" "$4" "$5"
}

# The presentation window's X id (the first, if a refused copy shows one for a moment).
presentation_window() { xdotool search --name '^Veltrinox LCD presentation$' | head -1; }
# Waits up to SECONDS for the window's border to hide (five seconds after the window was last
# touched, or at once when a caption comes): the window then asks for no decorations.
await_border_hidden() { # seconds
    for _ in $(seq $(($1 * 10))); do
        xprop -id "$(presentation_window)" _MOTIF_WM_HINTS 2>/dev/null | grep -q '= 0x[0-9a-f]*, 0x[0-9a-f]*, 0x0,' &&
            return 0
        sleep 0.1
    done
    fail "the border did not hide within $1 s"
}
await_presentation_window() { xdotool search --sync --name '^Veltrinox LCD presentation$' >/dev/null; }

source "$(dirname "${BASH_SOURCE[0]}")/x_server.sh"
