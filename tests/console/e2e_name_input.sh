#!/bin/sh
# End to end under Xvfb: a program asks "Name? " (gets), then scanf("%d %d"),
# then getchar; typed keys answer them; the console's own Copy shows the dialogue.
set -u
BUILD=${1:?build directory}
# Real windows on the Xvfb display, whatever platform the test run chose.
unset QT_QPA_PLATFORM
exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" sh -c '
set -u
BUILD=$1
cd "$(mktemp -d)"
OSTREL_SCENARIO=name_input "$BUILD/tests/console_child" 2>/dev/null & PID=$!
WIN=$(timeout 45 xdotool search --sync --name "^Console 1.11$" | head -1)
[ -n "$WIN" ] || { echo "no console window"; kill $PID; exit 1; }
sleep 0.5
xdotool windowactivate --sync "$WIN" 2>/dev/null || xdotool windowfocus "$WIN"
sleep 0.3
xdotool type --delay 60 "Bob"; xdotool key Return; sleep 0.3
xdotool type --delay 60 "3 4"; xdotool key Return; sleep 0.3
xdotool type --delay 60 "k"; sleep 0.5
xdotool key --window "$WIN" alt+e; sleep 0.4; xdotool key a; sleep 0.4
xdotool key --window "$WIN" alt+e; sleep 0.4; xdotool key c; sleep 0.4
CLIP=$(timeout 5 xclip -o -selection clipboard 2>/dev/null)
EXPECTED=$(printf "Name? Bob\n3 4\nk\nname=Bob n=2 sum=7 key=k")
xdotool key --window "$WIN" alt+f; sleep 0.4; xdotool key x
for i in $(seq 1 50); do kill -0 $PID 2>/dev/null || break; sleep 0.1; done
kill $PID 2>/dev/null
if [ "$CLIP" != "$EXPECTED" ]; then echo "clipboard: [$CLIP]"; exit 1; fi
echo ok
' sh "$BUILD"
