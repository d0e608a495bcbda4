#!/usr/bin/env bash
# End to end: the display's sign-on, received by a peer network namespace over a veth pair. The
# display runs in a namespace of its own whose only adapters are loopback and the veth end, so its
# broadcast can reach nothing else. A second veth pair whose display end is down must receive
# nothing, and nothing may be announced from loopback. Needs root for the namespaces: skipped (77)
# otherwise.
set -euo pipefail
display="$1"
tool="$2"

source "$(dirname "$0")/e2e_support.sh"
require_namespace_root
make_work_folder
suffix=$$
host="veltrinox-host-$suffix"
peer="veltrinox-peer-$suffix"
downPeer="veltrinox-down-$suffix"

add_namespaces "$host" "$peer" "$downPeer"
add_veth_pair "$host" "vh$suffix" 10.77.0.1 "$peer" "vp$suffix" 10.77.0.2
add_veth_pair "$host" "dh$suffix" 10.78.0.1 "$downPeer" "dp$suffix" 10.78.0.2
ip -n "$host" link set "vh$suffix" up
ip -n "$peer" link set "vp$suffix" up
ip -n "$downPeer" link set "dp$suffix" up # its display end stays down

ip netns exec "$peer" env QT_QPA_PLATFORM=offscreen \
    "$tool" listen --port 9999 --count 1 --timeout 20 --json >"$work/sign-on" 2>&1 &
listener=$!
ip netns exec "$downPeer" env QT_QPA_PLATFORM=offscreen \
    "$tool" listen --port 9999 --timeout 6 --json >"$work/down-link" 2>&1 &
downListener=$!
keep_process "$listener" "$downListener"
# In the display's own namespace every broadcast it sends is also delivered locally: each must come
# from the up adapter's address.
ip netns exec "$host" env QT_QPA_PLATFORM=offscreen \
    "$tool" listen --port 9999 --timeout 6 --json >"$work/local" 2>&1 &
localListener=$!
keep_process "$localListener"
sleep 1

ip netns exec "$host" env QT_QPA_PLATFORM=offscreen \
    "$display" /port "$feed" /capport "$control" >"$work/display.log" 2>&1 &
pid=$!

wait "$listener" || fail "no sign-on arrived: $(cat "$work/sign-on")"
signOn=$(cat "$work/sign-on")
grep -q '"IP_Address":"10.77.0.1"' <<<"$signOn" || fail "address: $signOn"
grep -q "\"Port\":\"$feed\"" <<<"$signOn" || fail "feed port: $signOn"
grep -q '"Type":"PC Display"' <<<"$signOn" || fail "type: $signOn"
grep -Eq '"Width":"[0-9]+"' <<<"$signOn" || fail "width: $signOn"
grep -Eq '"Height":"[0-9]+"' <<<"$signOn" || fail "height: $signOn"
if [ -s /etc/machine-id ]; then
    grep -Eq '"PC_ID":"\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}"' <<<"$signOn" ||
        fail "machine identifier: $signOn"
fi

wait "$downListener" "$localListener"
[ ! -s "$work/down-link" ] || fail "a sign-on went out on a down link: $(cat "$work/down-link")"
[ -s "$work/local" ] || fail "the display's own namespace saw no sign-on"
! grep -v '"IP_Address":"10.77.0.1"' "$work/local" || fail "a sign-on from another adapter"
echo "sign-on test passed: $signOn"
