#!/usr/bin/env bash
# End to end: "--help", "-h", "--version" and "-V" answer without any window system (no DISPLAY, no
# platform named) and exit 0; an unknown "--option" gets one line on standard error and status 2; the
# display itself started without a display server says so in one line and ends with status 1.
# Run in a private network namespace all the same, in case the display started after all.
# Exit 77 skips where no namespace can be made.
set -euo pipefail
display="$1"
version="$2"
source "$(dirname "$0")/e2e_support.sh"
enter_private_namespace "$@"
make_work_folder
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
# Every case is checked, and the test fails at the end if any did not hold.
failed=0
fail() { echo "FAILED: $*"; failed=1; }

# parameters | exit status | text standard output must hold ("" for none) | lines on standard error
while IFS='|' read -r parameters status holds errors; do
    read -ra words <<<"$parameters"
    actual=0
    timeout 10 "$display" "${words[@]}" >"$work/out" 2>"$work/err" || actual=$?
    [ "$actual" = "$status" ] || fail "$parameters: status $actual, not $status ($(head -3 "$work/err"))"
    if [ -n "$holds" ]; then
        grep -qF -- "$holds" "$work/out" || fail "$parameters: no \"$holds\" in: $(head -3 "$work/out")"
    else
        [ ! -s "$work/out" ] || fail "$parameters: unexpected output: $(head -3 "$work/out")"
    fi
    [ "$(wc -l <"$work/err")" = "$errors" ] || fail "$parameters: $(wc -l <"$work/err") lines on standard error"
done <<EOF_CASES
--help|0|veltrinox-lcd $version: the surtitle display|0
-h|0|/BaseFontHeight N|0
-h|0|/log FILE|0
/log --odd --help|0|/log FILE|0
--help|0|veltrinox-lcd /port 10001 /capport 1025|0
/port 30000 /fontname Arial --help|0|/capport N|0
--version|0|veltrinox-lcd $version|0
-V|0|veltrinox-lcd $version|0
--frobnicate|2||1
/width 640 --verbose|2||1
/port 30000 /capport 30001|1||1
EOF_CASES

[ "$("$display" --version)" = "veltrinox-lcd $version" ] || fail "--version says more than the version"
grep -qF -- '"--frobnicate"' < <("$display" --frobnicate 2>&1) || fail "the error does not name the option"
[ "$failed" = 0 ] && echo "information requests test passed"
exit "$failed"
