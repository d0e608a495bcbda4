#!/usr/bin/env bash
# End to end: the event log of the real display, headless in a private network namespace of its own,
# on ports the system picks (read back from the log). A caption sent on the feed port shows in the log
# as the connection with its peer's address, the document's summary with the start of its text, and
# the connection closing; a second copy refused on the same port and SIGTERM say why they end. Every
# line is on standard error and, with /log, in the file too. Exit 77 skips where no namespace can be made.
set -euo pipefail
display="$1"

source "$(dirname "$0")/e2e_support.sh"
enter_private_namespace "$@"
make_work_folder
export QT_QPA_PLATFORM=offscreen
# This display's log file is the subject; what it said on standard error goes with a failure.
fail() {
    echo "FAILED: $*"
    cat "$work/stderr"
    exit 1
}
# Waits up to ten seconds for a line of the log file matching the pattern.
await_line() {
    for _ in $(seq 100); do
        grep -Eq -- "$1" "$work/display.log" 2>/dev/null && return 0
        sleep 0.1
    done
    fail "no log line matching: $1"
}
utf16() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE; }

"$display" /port 0 /capport 0 /log "$work/display.log" 2>"$work/stderr" &
pid=$!
await_line ' start    running: feed port [0-9]+, control port [0-9]+'
feed=$(sed -nE 's/.* start    running: feed port ([0-9]+),.*/\1/p' "$work/display.log")

text='Cue forty-seven: the whole company enters, singing the first chorus of the finale again'
exec 3<>"/dev/tcp/127.0.0.1/$feed"
IFS= read -r -t 5 _ <&3 || fail "no feed greeting"
utf16 "<Surtitles><Cue Cue=\"47\"><Captions Stream0=\"Line one&#13;&#10;$text\" StrName0=\"English\"/><Language Name=\"English\"/><Effects InEffect=\"Fade\"/></Cue></Surtitles>" >&3
[ "$(timeout 5 head -c 2 <&3)" = OK ] || fail "no OK"
await_line ' feed     connection from 127\.0\.0\.1:[0-9]+$'
# The caption's line end is written as an escape: one line per event, and only the first 60 characters.
await_line ' caption  document of [0-9]+ characters: cue "47", column 0 "English", effect "Fade", text "Line one\\r\\nCue forty-seven: the whole company enters, singing"\.\.\.$'
exec 3>&-
await_line ' feed     connection from 127\.0\.0\.1:[0-9]+ closed$'

status=0
timeout 30 "$display" /port "$feed" /capport 0 /log "$work/second.log" 2>/dev/null || status=$?
[ "$status" = 1 ] || fail "the second copy ended with $status"
grep -q ' stop     Another instance has the network port open, terminating this instance\.$' "$work/second.log" ||
    fail "the second copy's log: $(cat "$work/second.log")"

stop_display
grep -q ' stop     SIGTERM received' "$work/display.log" || fail "no reason to end in the log"

# The file holds exactly the log's lines on standard error, each with its time and category.
diff <(grep -E '^[0-9]{4}-' "$work/stderr") "$work/display.log" || fail "standard error and the file differ"
grep -vE '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3} [a-z-]{4,8} +[^ ]' "$work/display.log" &&
    fail "a log line out of format"
echo "event log test passed"
