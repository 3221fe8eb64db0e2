#!/bin/sh
# Under a real X server: _newpage(1, "geometry", 300, 200, -640, -480, 0, 0)
# gives a window at (300, 200) whose client area is 640 x 480 below its menu
# bar; closing it ends the program with status 0.
# Usage: e2e_geometry.sh <pages_child>
set -eu
child="$1"
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi
unset QT_QPA_PLATFORM
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
"$child" geometry >"$out" 2>"$err" &
pid=$!
win=""
# A loaded machine starts a Qt program slowly: wait up to 45 s for the window.
for _ in $(seq 1 450); do
    kill -0 "$pid" 2>/dev/null || break
    win=$(xdotool search --name '^geometry$' 2>/dev/null | head -n 1 || true)
    [ -n "$win" ] && break
    sleep 0.1
done
fail() { echo "FAIL: $*"; cat "$out"; tail -20 "$err"; kill "$pid" 2>/dev/null || true; exit 1; }
[ -n "$win" ] || fail "no window titled geometry"
sleep 0.5
grep -q '^client 640 480$' "$out" || fail "client area is not 640 x 480"
info=$(xwininfo -id "$win")
x=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
y=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')
w=$(echo "$info" | sed -n 's/.*Width: *//p')
h=$(echo "$info" | sed -n 's/.*Height: *//p')
echo "window at $x,$y size ${w}x$h"
[ "$x" -eq 300 ] || fail "x is $x"
[ "$y" -eq 200 ] || fail "y is $y"
[ "$w" -eq 640 ] || fail "width is $w"
# Without a window manager the X window holds the menu bar and the client area.
[ "$h" -gt 480 ] || fail "height $h leaves no room for the menu bar"
python3 "$(dirname "$0")/wm_close.py" "$win" || fail "could not ask the window to close"
for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then fail "program still running after its page closed"; fi
wait "$pid" || fail "exit status $?"
grep -q '^ended$' "$out" || fail "the program did not end through exit"
echo PASS
