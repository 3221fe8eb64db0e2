#!/usr/bin/env python3
"""Writes targets.bmp: a 320 x 240 24-bit picture to measure with Marcot.

A pale background with a grid line every 20 pixels (darker every 100), and
four coloured discs whose centres lie on grid crossings: (60, 60), (260, 60),
(260, 180) and (60, 180), so that a measured point can be checked by eye.

    python3 make_sample.py [output]   (default: targets.bmp beside this script)
"""
import os
import struct
import sys

W, H = 320, 240
DISCS = [((60, 60), (220, 40, 40)), ((260, 60), (40, 160, 40)),
         ((260, 180), (40, 60, 220)), ((60, 180), (230, 170, 20))]


def colour(x, y):
    for (cx, cy), rgb in DISCS:
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        if d2 <= 14 ** 2:
            return (255, 255, 255) if d2 <= 2 else rgb
    if x % 100 == 0 or y % 100 == 0:
        return (120, 120, 140)
    if x % 20 == 0 or y % 20 == 0:
        return (200, 200, 215)
    return (246, 244, 236)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "targets.bmp")
    stride = (W * 3 + 3) & ~3
    rows = []
    for y in range(H - 1, -1, -1):          # bottom-up rows
        row = bytearray()
        for x in range(W):
            r, g, b = colour(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - W * 3)
        rows.append(bytes(row))
    pixels = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(out, "wb") as f:
        f.write(header + info + pixels)


if __name__ == "__main__":
    main()
