#!/usr/bin/env bash
# End to end: a display bound to one address and serving one controller, in a network namespace of
# its own joined by two veth pairs to two peer namespaces (no other adapter but loopback, so nothing
# it does reaches beyond the test). On the bound link the allowed controller is greeted, answered
# and shown; a controller from another address of the same peer reads nothing at all (no greeting,
# no "OK") and its caption never shows, and however often it knocks the log names it once; a flood
# of refused connections from many addresses keeps neither the status nor a caption waiting. The other
# link reaches no port and hears no sign-on. Bad switches end the start with one line (status 2),
# an address the computer does not have with status 1. Needs root for the namespaces: skipped (77)
# otherwise.
set -euo pipefail
display="$1"
tool="$2"

source "$(dirname "$0")/e2e_support.sh"
require_namespace_root
make_work_folder
suffix=$$
host="veltrinox-host-$suffix"
bound="veltrinox-bound-$suffix"
other="veltrinox-other-$suffix"

# host 10.77.0.1 <-> bound link: 10.77.0.2 (allowed), 10.77.0.3 (not allowed)
# host 10.78.0.1 <-> other link: 10.78.0.2
add_namespaces "$host" "$bound" "$other"
add_veth_pair "$host" "ah$suffix" 10.77.0.1 "$bound" "ap$suffix" 10.77.0.2 10.77.0.3
add_veth_pair "$host" "bh$suffix" 10.78.0.1 "$other" "bp$suffix" 10.78.0.2
for link in "$host ah$suffix" "$host bh$suffix" "$bound ap$suffix" "$other bp$suffix"; do
    set -- $link
    ip -n "$1" link set "$2" up
done

in_host() { ip netns exec "$host" env QT_QPA_PLATFORM=offscreen "$@"; }

# Switches the display refuses before it starts: one line naming what is wrong.
refused_start() { # expected status, text the line must hold, switches...
    local expected="$1" text="$2" status=0
    shift 2
    in_host timeout 20 "$display" /port "$feed" /capport "$control" "$@" >"$work/refused" 2>&1 || status=$?
    [ "$status" -eq "$expected" ] || fail "$* ended with $status, not $expected: $(cat "$work/refused")"
    grep -qF -- "$text" "$work/refused" || fail "$* did not say \"$text\": $(cat "$work/refused")"
}
refused_start 2 '"frontdesk" is not an address' /allow "10.77.0.2,frontdesk"
[ "$(wc -l <"$work/refused")" -eq 1 ] || fail "a bad list takes more than one line: $(cat "$work/refused")"
refused_start 2 '/instance "left side"' /instance "left side"
refused_start 2 '/bind "10.77.0"' /bind 10.77.0
refused_start 1 'The listen address 10.99.0.1 is not an address of this computer' /bind 10.99.0.1

ip netns exec "$bound" env QT_QPA_PLATFORM=offscreen \
    "$tool" listen --port 9999 --count 1 --timeout 20 --json >"$work/sign-on-bound" 2>&1 &
boundListener=$!
ip netns exec "$other" env QT_QPA_PLATFORM=offscreen \
    "$tool" listen --port 9999 --timeout 8 --json >"$work/sign-on-other" 2>&1 &
otherListener=$!
keep_process "$boundListener" "$otherListener"
sleep 1

ip netns exec "$host" env QT_QPA_PLATFORM=offscreen "$display" /port "$feed" /capport "$control" /bind 10.77.0.1 \
    /allow 10.77.0.2 >"$work/display.log" 2>&1 &
pid=$!
for _ in $(seq 100); do
    grep -q ' running: ' "$work/display.log" && break
    sleep 0.1
done
grep -q "running: feed port $feed, control port $control on 10.77.0.1, allowed controllers: 10.77.0.2/32, no instance name;" \
    "$work/display.log" || fail "the start-up line does not say where the display listens and whom it serves"

# Connects from an address of a peer namespace, COUNT times one after the other, sends the text each
# time, and says how many bytes came back in all before the display closed the connections, or
# "unreachable" when nothing listens there.
knock() { # namespace, source address, display address, port, text to send, count
    ip netns exec "$1" python3 - "$2" "$3" "$4" "$5" "${6:-1}" <<'PYTHON'
import socket, sys
source, address, port, text, count = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4], int(sys.argv[5])
received = 0
for _ in range(count):
    connection = socket.socket()
    connection.bind((source, 0))
    connection.settimeout(3)
    try:
        connection.connect((address, port))
    except ConnectionResetError:
        continue  # reset as soon as the system had accepted it for the display: nothing was read
    except OSError as error:
        print("unreachable:", error)
        sys.exit()
    try:
        connection.sendall(text.encode("utf-16-le"))
        while chunk := connection.recv(4096):
            received += len(chunk)
    except (ConnectionResetError, BrokenPipeError):
        pass
    except socket.timeout:
        print("still open after %d bytes" % received)
        sys.exit()
    connection.close()
print(received)
PYTHON
}

refusedCaption='<Surtitles><Cue><Captions Stream0="Refused caption" StrName0="English"/><Language Name="English"/></Cue></Surtitles>'
answer=$(knock "$bound" 10.77.0.3 10.77.0.1 "$feed" "$refusedCaption" 200)
[ "$answer" = 0 ] || fail "a controller outside the list read something from the feed port: $answer"
[ "$(knock "$bound" 10.77.0.3 10.77.0.1 "$control" $'\x0b?0')" = 0 ] ||
    fail "a controller outside the list read something from the control port"

# The allowed controller is served on both ports.
caption_document "Allowed caption" Yellow Black Fade Fast >"$work/allowed.xml"
ip netns exec "$bound" env QT_QPA_PLATFORM=offscreen "$tool" send --host 10.77.0.1 --port "$feed" --no-wait \
    "$work/allowed.xml" || fail "the allowed controller's caption was not acknowledged"
ip netns exec "$bound" env QT_QPA_PLATFORM=offscreen "$tool" status --host 10.77.0.1 --port "$control" \
    >"$work/status" || fail "the allowed controller got no status"
grep -q '^DisplayWidth=' "$work/status" || fail "status: $(cat "$work/status")"
for _ in $(seq 50); do
    grep -q 'text "Allowed caption"' "$work/display.log" && break
    sleep 0.1
done
grep -q 'text "Allowed caption"' "$work/display.log" || fail "the allowed caption was not shown"
! grep -q 'Refused caption' "$work/display.log" || fail "the refused controller's caption reached the display"
[ "$(grep -c 'connection from 10.77.0.3 refused' "$work/display.log")" = 1 ] ||
    fail "the refused address was not named exactly once"

# A flood of refused connections from ten more addresses, thousands a second, while the allowed
# controller asks for the status and sends captions: each answer and "OK" comes in time, and the log
# names each address once (10.77.0.3, already named this minute, not again).
flooders=()
for n in $(seq 10 19); do
    ip -n "$bound" addr add "10.77.0.$n/24" dev "ap$suffix"
    flooders+=("10.77.0.$n")
done
ip netns exec "$bound" python3 "$(dirname "$0")/refused_flood.py" 10.77.0.1 "$feed" "$control" 10.77.0.2 3 \
    10.77.0.3 "${flooders[@]}" >"$work/flood" 2>&1 || fail "under the flood: $(cat "$work/flood")"
echo "flood: $(cat "$work/flood")"
for source in 10.77.0.3 "${flooders[@]}"; do
    [ "$(grep -c "connection from $source refused" "$work/display.log")" = 1 ] ||
        fail "$source was not named exactly once under the flood"
done

# Bound to the one address, the ports are not reachable through the other link, nor on loopback.
[[ "$(knock "$other" 10.78.0.2 10.78.0.1 "$feed" x)" = unreachable* ]] || fail "the feed port answered on the other link"
[[ "$(knock "$other" 10.78.0.2 10.78.0.1 "$control" x)" = unreachable* ]] || fail "the control port answered on the other link"
[[ "$(knock "$host" 127.0.0.1 127.0.0.1 "$feed" x)" = unreachable* ]] || fail "the feed port answered on loopback"

# The sign-on went out through the bound adapter only.
wait "$boundListener" || fail "no sign-on on the bound link: $(cat "$work/sign-on-bound")"
grep -q '"IP_Address":"10.77.0.1"' "$work/sign-on-bound" || fail "sign-on: $(cat "$work/sign-on-bound")"
wait "$otherListener"
[ ! -s "$work/sign-on-other" ] || fail "a sign-on went out on the other link: $(cat "$work/sign-on-other")"

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "the display ended with $status on SIGTERM"
echo "allowed controllers test passed"
