#!/usr/bin/env bash
# Measures the running display on a real X server (Xvfb), in a private network namespace:
#   the start-up time from exec to both ports listening and the window mapped,
#   the latency from the last byte of an "Instant" caption to its first frame on screen (100 runs),
#   the CPU the idle display takes over ten seconds.
# Usage: bench/paint_latency.sh BUILD_DIR
set -euo pipefail
build=$(realpath "${1:-build}")
tests="$(dirname "$(realpath "$0")")/../tests/e2e"
set -- "$build"
source "$tests/private_namespace.sh"
source "$tests/x_server.sh"
work=$(mktemp -d)
trap 'kill "${pid:-}" "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work"
start_x_server 1920x1080

started=$(date +%s%N)
"$build/src/app/veltrinox-lcd" /port 41000 /capport 41001 /width 960 /height 540 >"$work/display.log" 2>&1 &
pid=$!
until (exec 9<>/dev/tcp/127.0.0.1/41000) 2>/dev/null && (exec 9<>/dev/tcp/127.0.0.1/41001) 2>/dev/null &&
    xdotool search --onlyvisible --name '^Veltrinox LCD presentation$' >/dev/null 2>&1; do
    sleep 0.002
done
echo "start-up: $((($(date +%s%N) - started) / 1000000)) ms to both ports listening and the window shown"

"$build/bench/paint-latency" 41000 100

ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
sleep 6 # the border hides after five seconds
before=$(ticks)
sleep 10
used=$(($(ticks) - before))
awk -v used="$used" -v hz="$(getconf CLK_TCK)" \
    'BEGIN { printf "idle CPU: %.2f%% of one core over 10 s\n", used * 100 / hz / 10 }'
