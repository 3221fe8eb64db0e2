#!/bin/sh
# Under a real X server: after each of the five clipboard calls another X
# client (xclip) receives the picture. Bitmaps must come out pixel for pixel as
# image/bmp and image/png; a metafile as image/x-wmf that libwmf draws like the
# source file, and as an image of its size on the screen. With a clipboard
# manager running, a picture outlives the program that copied it.
# Usage: e2e_clipboard.sh <pages_child> [<clip_manager>]
set -eu
child="$1"
manager="${2:-}"
for tool in xvfb-run xclip compare identify wmf2gd wmf2svg; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIPPED: $tool is not installed"; exit 77; }
done
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96 -noreset" "$0" "$@"
fi
unset QT_QPA_PLATFORM
work=$(mktemp -d)
pid=""
mpid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    [ -n "$mpid" ] && kill "$mpid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL ($case): $*"; cat "$work/out" 2>/dev/null; tail -20 "$work/err" 2>/dev/null; exit 1; }

# Starts the child for one case and waits (up to 45 s on a loaded machine) until
# its picture is on the clipboard.
start() {
    case=$1
    rm -f "$work"/*
    CLIP_CASE=$case CLIP_DIR="$work" "$child" clip >"$work/out" 2>"$work/err" &
    pid=$!
    for _ in $(seq 1 450); do
        grep -q . "$work/out" 2>/dev/null && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    grep -q '^ready$' "$work/out" || fail "the call did not succeed"
}

stop() {
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=""
}

paste() { timeout 30 xclip -selection clipboard -t "$1" -o >"$2" || fail "xclip got nothing as $1"; }

# Number of pixels that differ between two pictures.
differ() { compare -metric AE "$1" "$2" null: 2>&1 || true; }

for case in page bmap bmpfile copyfile; do
    start "$case"
    timeout 30 xclip -selection clipboard -t TARGETS -o >"$work/targets" || fail "no targets"
    grep -qx 'image/bmp' "$work/targets" || fail "image/bmp is not offered"
    grep -qx 'image/png' "$work/targets" || fail "image/png is not offered"
    paste image/bmp "$work/got.bmp"
    paste image/png "$work/got.png"
    [ "$(differ "$work/got.bmp" "$work/ref.bmp")" = "0" ] || fail "image/bmp differs from the source"
    [ "$(differ "$work/got.png" "$work/ref.bmp")" = "0" ] || fail "image/png differs from the source"
    if [ "$case" = bmpfile ] || [ "$case" = copyfile ]; then
        cmp -s "$work/got.bmp" "$work/ref.bmp" || fail "image/bmp is not the file's bytes"
    fi
    stop
    echo "ok: $case"
done

case=wmffile
start wmffile
paste image/x-wmf "$work/got.wmf"
paste image/png "$work/got.png"
# Both files drawn by libwmf: the same shapes (its SVG writer fills the ellipse,
# its raster writer does not), and the same pixels at one size.
wmf2svg -o "$work/src.svg" "$work/src.wmf" >/dev/null 2>&1 || fail "libwmf cannot read the source"
wmf2svg -o "$work/back.svg" "$work/got.wmf" >/dev/null 2>&1 || fail "libwmf cannot read image/x-wmf"
grep -q '<ellipse' "$work/back.svg" || fail "no ellipse in image/x-wmf"
cmp -s "$work/src.svg" "$work/back.svg" || fail "image/x-wmf draws other shapes than the source"
wmf2gd --maxwidth=200 --maxheight=100 --maxsize -o "$work/src.png" "$work/src.wmf" >/dev/null 2>&1 \
    || fail "libwmf cannot draw the source"
wmf2gd --maxwidth=200 --maxheight=100 --maxsize -o "$work/back.png" "$work/got.wmf" >/dev/null 2>&1 \
    || fail "libwmf cannot draw image/x-wmf"
n=$(compare -metric AE -fuzz 10% "$work/src.png" "$work/back.png" null: 2>&1 || true)
echo "x-wmf drawn by libwmf: $n of 20000 pixels differ"
[ "$n" -le 400 ] 2>/dev/null || fail "image/x-wmf draws differently ($n pixels)"
# 2 x 1 inch at the screen's 96 dots per inch
size=$(identify -format '%w %h' "$work/got.png")
[ "$size" = "192 96" ] || fail "image/png is $size, not 192 x 96"
stop
echo "ok: wmffile"

case=handover
if [ -z "$manager" ]; then
    echo "skipped: no clipboard manager stand-in was built (no xcb)"
else
    "$manager" >"$work.manager" 2>&1 &
    mpid=$!
    for _ in $(seq 1 100); do grep -q '^manager$' "$work.manager" 2>/dev/null && break; sleep 0.1; done
    grep -q "^manager$" "$work.manager" || { cat "$work.manager"; fail "the manager did not start"; }
    rm -f "$work"/*
    CLIP_CASE=bmap CLIP_DIR="$work" CLIP_END=1 timeout 60 "$child" clip >"$work/out" 2>"$work/err" || fail "the program did not end by itself"
    grep -q '^ready$' "$work/out" || fail "the call did not succeed"
    grep -q '^saved [1-9]' "$work.manager" || fail "the manager was not handed the picture"
    paste image/bmp "$work/got.bmp"
    [ "$(differ "$work/got.bmp" "$work/ref.bmp")" = "0" ] || fail "the kept picture differs from the source"
    kill "$mpid" 2>/dev/null || true
    wait "$mpid" 2>/dev/null || true
    mpid=""
    rm -f "$work.manager"
    echo "ok: the picture outlived the program"
fi
echo PASS
