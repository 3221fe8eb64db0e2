#!/bin/sh
# End to end under Xvfb, on real windows, one case per run:
#   hello       the hello program shows "Console 1.11"; Edit > Select All and
#               Edit > Copy put its lines on the clipboard; a program returning
#               1961 ends at once with status 0.
#   name_input  a program asks "Name? " (gets), then scanf("%d %d"), then
#               getchar; typed keys answer them; Copy shows the dialogue.
# Either way File > Exit ends the program with status 0.
# Usage: e2e_console.sh <build directory> hello|name_input
set -u
BUILD=${1:?build directory}
CASE=${2:?case}
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi
unset QT_QPA_PLATFORM   # real windows, whatever platform the test run chose
cd "$(mktemp -d)"
fail() { echo "$*"; kill $PID 2>/dev/null; exit 1; }
if [ "$CASE" = hello ]; then
    "$BUILD/bin/hello" & PID=$!
    EXPECTED=$(printf "alpha\nbeta 42")
else
    OSTREL_SCENARIO=name_input "$BUILD/tests/console_child" 2>/dev/null & PID=$!
    EXPECTED=$(printf "Name? Bob\n3 4\nk\nname=Bob n=2 sum=7 key=k")
fi
WIN=$(timeout 45 xdotool search --sync --name "^Console 1.11$" | head -1)
[ -n "$WIN" ] || fail "no console window"
sleep 0.5
xdotool windowactivate --sync "$WIN" 2>/dev/null || xdotool windowfocus "$WIN"
sleep 0.3
if [ "$CASE" = name_input ]; then
    xdotool type --delay 60 "Bob"; xdotool key Return; sleep 0.3
    xdotool type --delay 60 "3 4"; xdotool key Return; sleep 0.3
    xdotool type --delay 60 "k"; sleep 0.5
fi
# Edit menu: Alt+E, then the mnemonics of Select All and Copy
xdotool key --window "$WIN" alt+e; sleep 0.4; xdotool key a; sleep 0.4
xdotool key --window "$WIN" alt+e; sleep 0.4; xdotool key c; sleep 0.4
CLIP=$(timeout 5 xclip -o -selection clipboard 2>/dev/null)
[ "$CLIP" = "$EXPECTED" ] || fail "clipboard: [$CLIP]"
xdotool key --window "$WIN" alt+f; sleep 0.4; xdotool key x
for i in $(seq 1 50); do kill -0 $PID 2>/dev/null || break; sleep 0.1; done
kill -0 $PID 2>/dev/null && fail "still running after Exit"
wait $PID || fail "exit status $?"
if [ "$CASE" = hello ]; then
    START=$(date +%s%N)
    OSTREL_SCENARIO=return1961 timeout 10 "$BUILD/tests/console_child" 2>/dev/null || fail "1961 program status $?"
    [ $(( ($(date +%s%N) - START) / 1000000 )) -lt 5000 ] || fail "1961 program too slow"
fi
echo ok
