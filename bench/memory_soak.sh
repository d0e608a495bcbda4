#!/usr/bin/env bash
# A long show against the running display on a real X server (Xvfb), in a private network namespace:
# tens of thousands of mixed captions (plain, formatted, pictures, Stagetext) at a pace the display
# keeps up with, sampling its resident size; prints the samples and whether it stayed flat after
# warm-up (bench/memory_soak.py says how).
# Usage: bench/memory_soak.sh BUILD_DIR [--quick] [--count N] [--rate PER_SECOND]
#   default 20,000 captions at 4 a second (about 85 minutes); --quick 2,400 (about 10 minutes). The
#   display keeps up with the mix's entry effects at 4 a second; at 8 it falls behind and its queue
#   stays full (the run then says so).
set -euo pipefail
build=$(realpath "${1:-build}")
shift || true
arguments=("$@")
bench="$(dirname "$(realpath "$0")")"
tests="$bench/../tests/e2e"
source "$tests/e2e_support.sh"
enter_private_namespace "$build" "${arguments[@]}"
set -- "$build" "${arguments[@]}"

count=20000 rate=4 samples=40
shift
while [ $# -gt 0 ]; do
    case "$1" in
    --quick) count=2400 samples=24 ;;
    --count) count=$2 && shift ;;
    --rate) rate=$2 && shift ;;
    *) echo "usage: bench/memory_soak.sh BUILD_DIR [--quick] [--count N] [--rate PER_SECOND]" >&2 && exit 2 ;;
    esac
    shift
done

make_work_folder
start_x_server 1920x1080
display="$build/src/app/veltrinox-lcd"
start_display /width 960 /height 540
await_port "$feed" || fail "the display did not listen on its feed port"
echo "$count captions at $rate a second (plain, formatted, pictures, Stagetext)"
python3 "$bench/memory_soak.py" "$pid" "$feed" "$control" "$count" "$rate" "$samples" || { tail -n 20 "$work/display.log"; exit 1; }
