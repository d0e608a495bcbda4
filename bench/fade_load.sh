#!/usr/bin/env bash
# Measures what captions as a venue sends them cost the running display on a real X server (Xvfb),
# in a private network namespace: the display full screen, two full-width lines at "Large" (plain,
# formatted or a picture) entering one after another at "Medium" with Fade, Scroll Up or Scroll Left,
# on black or on a new colour each caption. For each case: the share of one core the display takes
# and, separately, the X server; the limit (writing the pixels a step changes once a tick) and each
# share as a ratio to it; and whether the effects kept their time, read from the screen.
# Usage: bench/fade_load.sh BUILD_DIR [--4k] [CASE...]   (VELTRINOX_LCD=PROGRAM runs another build of
# the display with this build's bench/fade-load, to compare two builds in one sitting)
#   CASE: KIND-EFFECT-BACKGROUND-SIZE, as plain-fade-black-1080 (kinds plain formatted picture;
#   effects fade up left; backgrounds black colour; sizes 1080 2160). Without cases every 1080 case
#   runs, and with --4k every 2160 case too.
set -euo pipefail
build=$(realpath "${1:-build}")
shift || true
with4k=0
if [ "${1:-}" = --4k ]; then
    with4k=1
    shift
fi
cases=("$@")
if [ ${#cases[@]} -eq 0 ]; then
    sizes=(1080)
    [ $with4k = 1 ] && sizes+=(2160)
    for size in "${sizes[@]}"; do
        for kind in plain formatted picture; do
            for effect in fade up left; do
                for background in black colour; do
                    cases+=("$kind-$effect-$background-$size")
                done
            done
        done
    done
fi
tests="$(dirname "$(realpath "$0")")/../tests/e2e"
source "$tests/e2e_support.sh"
enter_private_namespace "$build" $([ $with4k = 1 ] && echo --4k) "${cases[@]}"
colours=(Red Blue Green Navy Maroon Purple Teal Gray)

run_case() { # screen size, kind, effect, backgrounds...
    local size=$1 kind=$2 effect=$3
    shift 3
    (
        make_work_folder
        mkdir -p "$(dirname "$store")"
        printf '[General]\nForm%%20Full%%20Screen=TRUE\n' >"$store"
        start_x_server "$size"
        start_display
        local status=0
        "$build/bench/fade-load" "$feed" "$pid" "$xvfb" 14 "$kind" "$effect" "$@" || status=$?
        [ "$status" -le 3 ] || exit 1
    )
}
display="${VELTRINOX_LCD:-$build/src/app/veltrinox-lcd}"

for case in "${cases[@]}"; do
    IFS=- read -r kind effect background size <<<"$case"
    case "$effect" in
    fade) effect=Fade ;;
    up) effect="Scroll Up" ;;
    left) effect="Scroll Left" ;;
    *) echo "unknown effect in $case"; exit 2 ;;
    esac
    case "$size" in
    1080) screen=1920x1080 ;;
    2160) screen=3840x2160 ;;
    *) echo "unknown size in $case"; exit 2 ;;
    esac
    case "$kind" in
    plain | formatted | picture) ;;
    *) echo "unknown kind in $case"; exit 2 ;;
    esac
    echo "$case:"
    case "$background" in
    black) run_case "$screen" "$kind" "$effect" Black ;;
    colour) run_case "$screen" "$kind" "$effect" "${colours[@]}" ;;
    *) echo "unknown background in $case"; exit 2 ;;
    esac
done
