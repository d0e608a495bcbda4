#!/usr/bin/env bash
# The resident size of the running display, full screen on a real X server (Xvfb) in a private
# network namespace: idle, and after one round of every entry effect with plain, formatted and
# picture captions (bench/memory_effects.py says how).
# Usage: bench/memory_effects.sh BUILD_DIR [--4k]   (1920x1080, and with --4k 3840x2160 too)
set -euo pipefail
build=$(realpath "${1:-build}")
shift || true
arguments=("$@")
bench="$(dirname "$(realpath "$0")")"
tests="$bench/../tests/e2e"
source "$tests/e2e_support.sh"
enter_private_namespace "$build" "${arguments[@]}"
sizes=(1920x1080)
[ "${arguments[0]:-}" = --4k ] && sizes+=(3840x2160)
display="${VELTRINOX_LCD:-$build/src/app/veltrinox-lcd}"

for size in "${sizes[@]}"; do
    (
        make_work_folder
        mkdir -p "$(dirname "$store")"
        printf '[General]\nForm%%20Full%%20Screen=TRUE\n' >"$store"
        start_x_server "$size"
        start_display
        python3 "$bench/memory_effects.py" "$pid" "$feed" "$control" "${size%x*}" "${size#*x}" ||
            { tail -n 20 "$work/display.log"; exit 1; }
        stop_display
    )
done
