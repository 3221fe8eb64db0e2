#!/bin/sh
# End to end under Xvfb: the hello program shows "Console 1.11"; Edit > Select All
# and Edit > Copy put its lines on the clipboard; File > Exit ends it with status 0.
# A program returning 1961 ends at once with status 0.
set -u
BUILD=${1:?build directory}
# Real windows on the Xvfb display, whatever platform the test run chose.
unset QT_QPA_PLATFORM
exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" sh -c '
set -u
BUILD=$1
cd "$(mktemp -d)"
"$BUILD/bin/hello" & PID=$!
WIN=$(timeout 45 xdotool search --sync --name "^Console 1.11$" | head -1)
[ -n "$WIN" ] || { echo "no console window"; kill $PID; exit 1; }
sleep 0.5
xdotool windowactivate --sync "$WIN" 2>/dev/null || xdotool windowfocus "$WIN"
sleep 0.3
# Edit menu: Alt+E, then the mnemonics of Select All and Copy
xdotool key --window "$WIN" alt+e; sleep 0.4; xdotool key a; sleep 0.4
xdotool key --window "$WIN" alt+e; sleep 0.4; xdotool key c; sleep 0.4
CLIP=$(timeout 5 xclip -o -selection clipboard 2>/dev/null)
EXPECTED=$(printf "alpha\nbeta 42")
if [ "$CLIP" != "$EXPECTED" ]; then echo "clipboard: [$CLIP]"; kill $PID; exit 1; fi
xdotool key --window "$WIN" alt+f; sleep 0.4; xdotool key x
for i in $(seq 1 50); do kill -0 $PID 2>/dev/null || break; sleep 0.1; done
if kill -0 $PID 2>/dev/null; then echo "still running after Exit"; kill $PID; exit 1; fi
wait $PID; RC=$?
[ $RC -eq 0 ] || { echo "exit status $RC"; exit 1; }
# 1961 ends at once
START=$(date +%s%N)
OSTREL_SCENARIO=return1961 timeout 10 "$BUILD/tests/console_child" 2>/dev/null; RC=$?
END=$(date +%s%N)
[ $RC -eq 0 ] || { echo "1961 program status $RC"; exit 1; }
[ $(( (END - START) / 1000000 )) -lt 5000 ] || { echo "1961 program too slow"; exit 1; }
echo ok
' sh "$BUILD"
