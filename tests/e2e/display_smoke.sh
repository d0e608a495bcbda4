#!/usr/bin/env bash
# End to end: the real display in a private network namespace of its own (nothing it listens on or
# announces can reach beyond it), with a fresh settings directory, under a real X server ("xcb") or
# headless ("offscreen"). Checks the greeting of both ports, "OK" once per read for a document split
# over reads and for two documents in one read, the seven-line status reply (after a resize, on X),
# a second copy refused on the same feed port and on the same control port with the first copy
# undisturbed, and a clean end on SIGTERM. Exit 77 skips where no namespace can be made.
set -euo pipefail
display="$1"
platform="$2"

source "$(dirname "$0")/e2e_support.sh"
enter_private_namespace "$@"
make_work_folder
if [ "$platform" = xcb ]; then start_x_server; else export QT_QPA_PLATFORM=offscreen; fi

start_display

utf16() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -d ' \n' | sed 's/../\\x&/g'; }
document() {
    printf '<Surtitles><Cue><Captions Stream0="%s" StrName0="English"/><Language Name="English"/>' "$1"
    printf '<Font BackColour="%s"/><Effects InEffect="Instant"/></Cue></Surtitles>' "$2"
}
# Nothing more arrives on descriptor $1 within half a second.
quiet() { ! IFS= read -r -t 0.5 -n 1 _ <&"$1"; }

# Caption feed: the greeting, then one "OK" for a document that arrives in two reads.
exec 3<>"/dev/tcp/127.0.0.1/$feed"
IFS= read -r -t 5 greeting <&3 || fail "no feed greeting"
[ "$greeting" = $'Welcome to OverByte ICS TcpSrv\r' ] || fail "feed greeting: $greeting"
bytes=$(utf16 "$(document Hello Black)")
printf "${bytes:0:200}" >&3
quiet 3 || fail "an acknowledgement before the document was complete"
printf "${bytes:200}" >&3
ok=$(timeout 5 head -c 2 <&3) || fail "no OK"
[ "$ok" = OK ] || fail "acknowledgement: $ok"

# Two documents in one read: one "OK".
printf "$(utf16 "$(document First Red)$(document Second Blue)")" >&3
ok=$(timeout 5 head -c 2 <&3) || fail "no OK for two documents"
[ "$ok" = OK ] || fail "acknowledgement: $ok"
quiet 3 || fail "more than one acknowledgement for one read"

# Control port: the greeting and the seven-line status reply. Under X the window is resized first;
# the display image is twice the window.
width=352 height=64
if [ "$platform" = xcb ]; then
    width=500 height=300
    await_presentation_window
    xdotool windowsize "$(presentation_window)" "$width" "$height"
    sleep 0.5
fi
exec 4<>"/dev/tcp/127.0.0.1/$control"
IFS= read -r -t 5 greeting <&4 || fail "no control greeting"
[ "$greeting" = $'LCD Captioning Telnet Interface\r' ] || fail "control greeting: $greeting"
printf '\x0b?0' >&4
reply=""
for _ in 1 2 3 4 5 6 7; do
    IFS= read -r -t 5 line <&4 || fail "status reply cut short: $reply"
    reply+="$line"$'\n'
done
quiet 4 || fail "status reply longer than seven lines"
expected="DisplayWidth=$((2 * width))
DisplayHeight=$((2 * height))
DisplayFontName=Arial
DisplayFontColor=clYellow
DisplayBrushColor=clBlue
DisplayFontSize=
DisplayLines=3"
diff <(printf "%s" "$reply" | tr -d "\r" | sed 's/^DisplayFontSize=.*/DisplayFontSize=/') <(echo "$expected") ||
    fail "status reply: $reply"
grep -Eq $'^DisplayFontSize=[0-9]+\r$' <<<"$reply" || fail "font size: $reply"

# A second copy on the same feed port, then one on a free feed port but the same control port: each
# is refused with its message and a failure status, and the first copy goes on serving.
# Under X each shows its message for ten seconds: the two run side by side.
second() {
    local status=0
    timeout 30 "$display" /port "$1" /capport "$2" >"$work/second-$1.log" 2>&1 || status=$?
    [ "$status" -eq 1 ] || fail "second copy on $1/$2 ended with $status: $(cat "$work/second-$1.log")"
    grep -qF "$3" "$work/second-$1.log" || fail "second copy on $1/$2: $(cat "$work/second-$1.log")"
}
second "$feed" 30002 "Another instance has the network port open, terminating this instance." &
feedCopy=$!
second 30003 "$control" "Unable to open network port ($control) - application closing." &
controlCopy=$!
wait "$feedCopy" || exit 1
wait "$controlCopy" || exit 1
printf '\x0b?0' >&4
IFS= read -r -t 5 line <&4 || fail "the first copy stopped answering"
exec 5<>"/dev/tcp/127.0.0.1/$feed" || fail "the first copy stopped listening"

stop_display
[ ! -e "$store" ] || fail "settings were saved without the question"
echo "display smoke test ($platform) passed"
