#!/bin/sh
# Under a real X server: _newpage(1, "geometry", 300, 200, -640, -480, 0, 0)
# gives a window at (300, 200) whose client area is 640 x 480 below its menu
# bar. (That closing a page ends the program: page_process_test.)
# Usage: e2e_geometry.sh <pages_child>
set -eu
child="$1"
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi
unset QT_QPA_PLATFORM
out=$(mktemp)
err=$(mktemp)
trap 'kill "$pid" 2>/dev/null; rm -f "$out" "$err"' EXIT
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
echo PASS
