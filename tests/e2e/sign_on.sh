#!/usr/bin/env bash
# End to end: the display's sign-on, received by a peer network namespace over a veth pair. The
# display runs in a namespace of its own whose only adapters are loopback and the veth end, so its
# broadcast can reach nothing else. Needs root for the namespaces: skipped (77) otherwise.
set -euo pipefail
display="$1"
tool="$2"

if [ "$(id -u)" -ne 0 ] || ! command -v ip >/dev/null; then
    echo "network namespaces need root: skipped"
    exit 77
fi

suffix=$$
host="veltrinox-host-$suffix"
peer="veltrinox-peer-$suffix"
work=$(mktemp -d)
cleanup() {
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true
    ip netns del "$host" 2>/dev/null || true
    ip netns del "$peer" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*"; cat "$work/display.log" 2>/dev/null || true; exit 1; }

ip netns add "$host"
ip netns add "$peer"
ip link add "vh$suffix" type veth peer name "vp$suffix"
ip link set "vh$suffix" netns "$host"
ip link set "vp$suffix" netns "$peer"
ip -n "$host" addr add 10.77.0.1/24 dev "vh$suffix"
ip -n "$peer" addr add 10.77.0.2/24 dev "vp$suffix"
for namespace in "$host" "$peer"; do
    ip -n "$namespace" link set lo up
done
ip -n "$host" link set "vh$suffix" up
ip -n "$peer" link set "vp$suffix" up

ip netns exec "$peer" env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work" \
    "$tool" listen --port 9999 --count 1 --timeout 20 --json >"$work/sign-on" 2>&1 &
listener=$!
sleep 1

ip netns exec "$host" env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" \
    "$display" /port 41000 /capport 41001 >"$work/display.log" 2>&1 &
pid=$!

wait "$listener" || fail "no sign-on arrived: $(cat "$work/sign-on")"
signOn=$(cat "$work/sign-on")
grep -q '"IP_Address":"10.77.0.1"' <<<"$signOn" || fail "address: $signOn"
grep -q '"Port":"41000"' <<<"$signOn" || fail "feed port: $signOn"
grep -q '"Type":"PC Display"' <<<"$signOn" || fail "type: $signOn"
grep -Eq '"Width":"[0-9]+"' <<<"$signOn" || fail "width: $signOn"
grep -Eq '"Height":"[0-9]+"' <<<"$signOn" || fail "height: $signOn"
if [ -s /etc/machine-id ]; then
    grep -Eq '"PC_ID":"\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}"' <<<"$signOn" ||
        fail "machine identifier: $signOn"
fi
echo "sign-on test passed: $signOn"
