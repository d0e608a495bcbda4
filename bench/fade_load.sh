#!/usr/bin/env bash
# Measures what fading captions cost the running display on a real X server (Xvfb), in a private
# network namespace: the display full screen, a caption every 0.6 s fading out the last and in
# ("Fade", "Medium") for about eight seconds; the CPU share of one core the display takes and,
# separately, the X server; and whether each fade keeps its 64 ticks, read from the screen. Three
# cases: 1920x1080 on black, 1920x1080 on a new colour each caption, 3840x2160 on a new colour.
# Usage: bench/fade_load.sh BUILD_DIR [CASE...]   (cases: 1080-black 1080-colour 2160-colour)
set -euo pipefail
build=$(realpath "${1:-build}")
shift || true
cases=("${@:-1080-black 1080-colour 2160-colour}")
tests="$(dirname "$(realpath "$0")")/../tests/e2e"
source "$tests/e2e_support.sh"
enter_private_namespace "$build" "${cases[@]}"
colours=(Red Blue Green Navy Maroon Purple Teal Gray)

run_case() { # screen size, backgrounds...
    local size=$1
    shift
    (
        make_work_folder
        mkdir -p "$(dirname "$store")"
        printf '[General]\nForm%%20Full%%20Screen=TRUE\n' >"$store"
        start_x_server "$size"
        start_display
        local status=0
        "$build/bench/fade-load" "$feed" "$pid" "$xvfb" 14 600 "$@" || status=$?
        [ "$status" -le 3 ] || exit 1
    )
}
display="$build/src/app/veltrinox-lcd"

for case in ${cases[*]}; do
    echo "$case:"
    case "$case" in
    1080-black) run_case 1920x1080 Black ;;
    1080-colour) run_case 1920x1080 "${colours[@]}" ;;
    2160-colour) run_case 3840x2160 "${colours[@]}" ;;
    *) echo "unknown case $case"; exit 2 ;;
    esac
done
