#!/usr/bin/env bash
# Measures the running display on a real X server (Xvfb), in a private network namespace:
#   the start-up time from exec to both ports listening and the window mapped,
#   the latency from the last byte of an "Instant" caption to its first frame on screen (100 runs),
#   the CPU the idle display takes over ten seconds.
# Usage: bench/paint_latency.sh BUILD_DIR
set -euo pipefail
build=$(realpath "${1:-build}")
tests="$(dirname "$(realpath "$0")")/../tests/e2e"
source "$tests/e2e_support.sh"
enter_private_namespace "$build"
make_work_folder
start_x_server 1920x1080
display="$build/src/app/veltrinox-lcd"

started=$(date +%s%N)
start_display_unwaited /width 960 /height 540
until (exec 9<>"/dev/tcp/127.0.0.1/$feed") 2>/dev/null && (exec 9<>"/dev/tcp/127.0.0.1/$control") 2>/dev/null &&
    xdotool search --onlyvisible --name '^Veltrinox LCD presentation$' >/dev/null 2>&1; do
    sleep 0.002
done
echo "start-up: $((($(date +%s%N) - started) / 1000000)) ms to both ports listening and the window shown"

"$build/bench/paint-latency" "$feed" 100

ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
sleep 6 # the border hides after five seconds
before=$(ticks)
sleep 10
used=$(($(ticks) - before))
awk -v used="$used" -v hz="$(getconf CLK_TCK)" \
    'BEGIN { printf "idle CPU: %.2f%% of one core over 10 s\n", used * 100 / hz / 10 }'
