#!/usr/bin/env bash
# A systemd user unit of the display (the unnamed display's, or the template of named ones) passes
# systemd-analyze verify. Given the display just built, the
# unit's ExecStart is pointed at it (the unit names the display without a folder, which systemd finds
# only once the package is installed); without it, the unit is verified as it stands, its manual page
# included, as scripts/test does for the installed unit. Exit 77 skips where systemd-analyze is
# missing or cannot verify even a unit that is plainly right.
set -euo pipefail
unit="$1"
display="${2:-}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work"
verify() { systemd-analyze --user "$@"; }

command -v systemd-analyze >/dev/null || { echo "no systemd-analyze: skipped"; exit 77; }
printf '[Service]\nType=oneshot\nExecStart=/bin/true\n' >"$work/plain.service"
verify --man=no verify "$work/plain.service" >"$work/plain.log" 2>&1 || {
    echo "systemd-analyze cannot verify here: skipped"
    cat "$work/plain.log"
    exit 77
}

if [ -n "$display" ]; then
    copy="$work/$(basename "$unit")"
    sed -E "s|^ExecStart=veltrinox-lcd( .*)?\$|ExecStart=$display\1|" "$unit" >"$copy"
    grep -q "^ExecStart=$display" "$copy" || { echo "FAILED: no ExecStart=veltrinox-lcd"; exit 1; }
    output=$(verify --man=no verify "$copy" 2>&1) || { echo "FAILED: $output"; exit 1; }
else
    output=$(verify verify "$unit" 2>&1) || { echo "FAILED: $output"; exit 1; }
fi
# verify lets some findings pass with status 0: any message is a finding.
[ -z "$output" ] || { echo "FAILED: $output"; exit 1; }
echo "service unit verified"
