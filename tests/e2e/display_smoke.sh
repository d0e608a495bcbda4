#!/usr/bin/env bash
# End to end: the real display, headless, in a private network namespace of its own (nothing it
# listens on or announces can reach beyond it), with a fresh settings directory. Checks the greeting
# of both ports, "OK" for a document sent in two reads, the status reply, a second copy refused on
# the same feed port, and a clean end on SIGTERM. Exit 77 skips where no namespace can be made.
set -euo pipefail
display="$1"

source "$(dirname "$0")/private_namespace.sh"
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen
feed=41000
control=41001

"$display" /port "$feed" /capport "$control" >"$work/display.log" 2>&1 &
pid=$!
for _ in $(seq 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$control") 2>/dev/null && break
    sleep 0.1
done

fail() { echo "FAILED: $*"; cat "$work/display.log"; exit 1; }

# Caption feed: greeting, then one "OK" for a document that arrives in two reads.
exec 3<>"/dev/tcp/127.0.0.1/$feed"
IFS= read -r -t 5 greeting <&3 || fail "no feed greeting"
[ "$greeting" = $'Welcome to OverByte ICS TcpSrv\r' ] || fail "feed greeting: $greeting"
document='<Surtitles><Cue><Captions Stream0="Hello"/><Effects InEffect="Instant"/></Cue></Surtitles>'
utf16=$(printf '%s' "$document" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -d ' \n' | sed 's/../\\x&/g')
printf "${utf16:0:200}" >&3
sleep 0.2
printf "${utf16:200}" >&3
ok=$(timeout 5 head -c 2 <&3) || fail "no OK"
[ "$ok" = OK ] || fail "acknowledgement: $ok"

# Control port: greeting and the status reply of the default 352 x 64 window (image twice that).
exec 4<>"/dev/tcp/127.0.0.1/$control"
IFS= read -r -t 5 greeting <&4 || fail "no control greeting"
[ "$greeting" = $'LCD Captioning Telnet Interface\r' ] || fail "control greeting: $greeting"
printf '\x0b?0' >&4
reply=""
for _ in 1 2 3 4 5 6 7; do
    IFS= read -r -t 5 line <&4 || fail "status reply cut short: $reply"
    reply+="$line"$'\n'
done
grep -q $'^DisplayWidth=704\r$' <<<"$reply" || fail "status reply: $reply"
grep -q $'^DisplayHeight=128\r$' <<<"$reply" || fail "status reply: $reply"
grep -q $'^DisplayLines=3\r$' <<<"$reply" || fail "status reply: $reply"

# A second copy on the same feed port is refused and ends with a failure status.
set +e
second=$(timeout 30 "$display" /port "$feed" /capport 41002 2>&1)
status=$?
set -e
[ "$status" -eq 1 ] || fail "second copy ended with $status"
grep -q "Another instance has the network port open, terminating this instance." <<<"$second" || fail "$second"
(exec 5<>"/dev/tcp/127.0.0.1/$control") || fail "the first copy stopped listening"

kill -TERM "$pid"
wait "$pid" || fail "the display ended with $? on SIGTERM"

# Started again from a stored settings store: the stored size sets the display image.
mkdir -p "$XDG_CONFIG_HOME/Quillmarch"
printf '[General]\nForm%%20Width=640\nForm%%20Height=200\nForm%%20Left=10\nForm%%20Top=20\n' \
    >"$XDG_CONFIG_HOME/Quillmarch/Brindlecast LCD.conf"
"$display" /port "$feed" /capport "$control" >"$work/display.log" 2>&1 &
pid=$!
for _ in $(seq 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$control") 2>/dev/null && break
    sleep 0.1
done
exec 4<>"/dev/tcp/127.0.0.1/$control"
IFS= read -r -t 5 greeting <&4 || fail "no control greeting after the restart"
printf '\x0b?0' >&4
IFS= read -r -t 5 width <&4 || fail "no status after the restart"
IFS= read -r -t 5 height <&4 || fail "no status after the restart"
[ "$width" = $'DisplayWidth=1280\r' ] || fail "stored width: $width"
[ "$height" = $'DisplayHeight=400\r' ] || fail "stored height: $height"
kill -TERM "$pid"
wait "$pid" || fail "the display ended with $? on SIGTERM"
echo "display smoke test passed"
