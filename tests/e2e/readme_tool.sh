#!/usr/bin/env bash
# End to end: the README's veltrinox-caption commands, run as they are written (the test caption, the
# column-rule example saved as cue12.xml, and every command of the tool's section) against the real
# display under Xvfb in a private network namespace. Only the ports differ: a stand-in at the
# README's tool path adds free ones. Each command must succeed with nothing on standard error; the
# test caption must show, and "send cue12.xml cue13.xml" must show both documents in order, the
# second staying. Exit 77 skips where no namespace can be made.
set -euo pipefail
display="$1"
tool="$2"
probe="$3"
readme="$4"

source "$(dirname "$0")/e2e_support.sh"
enter_private_namespace "$@"
make_work_folder
start_x_server 1280x720
signon=30002

start_display /width 640 /height 360

# The README's tool path, relative to a folder of its own, adding this test's ports.
mkdir -p "$work/readme/build/tools/veltrinox-caption"
cat >"$work/readme/build/tools/veltrinox-caption/veltrinox-caption" <<STANDIN
#!/usr/bin/env bash
command=\$1; shift
case \$command in
    send) exec "$tool" send --port $feed "\$@" ;;
    stagetext|status) exec "$tool" "\$command" --port $control "\$@" ;;
    listen) exec "$tool" listen --port $signon "\$@" ;;
    *) exec "$tool" "\$command" "\$@" ;;
esac
STANDIN
chmod +x "$work/readme/build/tools/veltrinox-caption/veltrinox-caption"
cd "$work/readme"

# The sections the commands come from, and their fenced blocks.
section() { awk -v title="$1" '/^## /{on = ($0 == "## " title)} on' "$readme"; }
blocks() { awk -v kind="$1" '/^ *```/{ if (inside) {inside = 0; next} if ($0 ~ "```" kind "$") {inside = 1; next} } inside' | sed 's/^  //'; }
section "Operating the display" | blocks xml >cue12.xml
[ "$(wc -l <cue12.xml)" = 1 ] || fail "the README has no one-line example document: $(cat cue12.xml)"
sed -e 's/Language Name="English"/Language Name="French"/' -e 's/BackColour="Blue"/BackColour="Red"/' \
    -e 's/InEffect="[^"]*"/InEffect="Scroll Up"/' -e 's/Speed="[^"]*"/Speed="5%"/' cue12.xml >cue13.xml
cat cue12.xml cue13.xml >cues.txt
{ section "Operating the display"; section "veltrinox-caption"; } | blocks sh |
    grep 'build/tools/veltrinox-caption/veltrinox-caption ' >"$work/commands"
[ "$(wc -l <"$work/commands")" -ge 8 ] || fail "the README's commands were not found: $(cat "$work/commands")"

count() { "$probe" "$1" | awk '{print $2}'; }
await() { # colour, least pixels
    for _ in $(seq 40); do
        [ "$(count "$1")" -ge "$2" ] && return 0
        sleep 0.25
    done
    return 1
}

while IFS= read -r command; do
    echo "README: $command"
    case $command in
    *" send cue12.xml cue13.xml"*)
        # The screen through the sending: the first document's blue must come, then the second's red
        # (a slow scroll, so that both show for seconds).
        (while :; do "$probe" 0000ff ff0000 | awk '{printf "%s ", $2} END {print ""}'; done) >"$work/screen" &
        watcher=$!
        keep_process "$watcher"
        ;;
    *" listen "*)
        (for _ in $(seq 100); do
            echo -n '<Signon Name="README"/>' >/dev/udp/127.0.0.1/$signon 2>/dev/null || true
            sleep 0.1
        done) &
        announcer=$!
        keep_process "$announcer"
        ;;
    esac
    status=0
    timeout 60 bash -c "$command" >"$work/out" 2>"$work/err" || status=$?
    [ "$status" = 0 ] || fail "status $status from: $command: $(cat "$work/err")"
    [ ! -s "$work/err" ] || fail "standard error from: $command: $(cat "$work/err")"
    case $command in
    echo*"| build/tools/veltrinox-caption/veltrinox-caption send")
        await ffff00 200 || fail "the test caption is not shown: $(count ffff00) yellow pixels"
        ;;
    *" send cue12.xml cue13.xml"*)
        sleep 1
        kill "$watcher"
        wait "$watcher" 2>/dev/null || true
        firstBlue=$(awk '$1 > 50000 {print NR; exit}' "$work/screen")
        firstRed=$(awk '$2 > 50000 {print NR; exit}' "$work/screen")
        [ -n "$firstBlue" ] || fail "cue12.xml (blue) was never shown"
        [ -n "$firstRed" ] && [ "$firstRed" -ge "$firstBlue" ] || fail "cue13.xml (red) was not shown after cue12.xml (blue, red pixels over time: $(tr "\n" , <"$work/screen"))"
        [ "$(count ff0000)" -gt 200000 ] && [ "$(count 0000ff)" = 0 ] || fail "cue13.xml did not stay"
        ;;
    *" listen "*)
        kill "$announcer" 2>/dev/null || true
        grep -q '"Name":"README"' "$work/out" || fail "listen printed: $(cat "$work/out")"
        ;;
    *" status --json"*)
        python3 -c 'import json, sys; json.load(sys.stdin)' <"$work/out" || fail "status printed: $(cat "$work/out")"
        ;;
    *" inspect "*)
        [ "$(wc -l <"$work/out")" = 2 ] || fail "inspect printed: $(cat "$work/out")"
        ;;
    *" render "*"-o cue12.png"*)
        [ -s cue12.png ] || fail "render wrote no cue12.png"
        ;;
    *" render --frames steps/"*)
        [ -s last.png ] && ls steps/frame-*.png >/dev/null || fail "render wrote no frames"
        ;;
    esac
done <"$work/commands"

# The pitfall the README explains: a document with only Stream0 is named on standard error.
echo '<Surtitles><Cue><Captions Stream0="Hello"/></Cue></Surtitles>' |
    build/tools/veltrinox-caption/veltrinox-caption send --no-wait 2>"$work/err" >/dev/null
grep -q "shows column 9, the last without a language name, which is empty" "$work/err" ||
    fail "no warning for an empty column: $(cat "$work/err")"
stop_display
echo "README tool test passed"
