#!/usr/bin/env python3
"""Writes walk.txt: a stick figure walking from left to right, 72 frames.

One frame per line (Kinoa's default BLOCK_LINE 1); each line is one polyline
of whole x,y pairs in page pixels (short enough for the 254-character line limit) (y downwards, the default mapping), going
foot - knee - hip - knee - foot, back up to the neck, out along each arm and
back, and round the head.

    python3 make_walk.py [output]   (default: walk.txt beside this script)
"""
import math
import os
import sys

FRAMES = 72
THIGH, SHIN, TORSO, UPPER_ARM, FOREARM, HEAD = 55.0, 55.0, 80.0, 42.0, 38.0, 16.0
GROUND = 400.0


def point(origin, length, angle):
    """The end of a limb hanging from origin, angle in radians from straight down."""
    return (origin[0] + length * math.sin(angle), origin[1] + length * math.cos(angle))


def frame(i):
    phase = 2 * math.pi * i / 24.0          # one stride every 24 frames
    x = 90.0 + 540.0 * i / (FRAMES - 1)     # across the 720-pixel page
    hip = (x, GROUND - THIGH - SHIN + 4.0 * abs(math.sin(phase)))
    legs = []
    for side in (0, math.pi):
        swing = 0.45 * math.sin(phase + side)
        bend = 0.55 * max(0.0, math.sin(phase + side + math.pi / 2))
        knee = point(hip, THIGH, swing)
        legs.append((knee, point(knee, SHIN, swing - bend)))
    neck = (hip[0] + 6.0, hip[1] - TORSO)
    arms = []
    for side in (math.pi, 0):
        swing = 0.5 * math.sin(phase + side)
        elbow = point(neck, UPPER_ARM, swing)
        arms.append((elbow, point(elbow, FOREARM, swing + 0.6)))
    centre = (neck[0] + 3.0, neck[1] - HEAD - 4.0)
    head = [(centre[0] + HEAD * math.sin(a), centre[1] + HEAD * math.cos(a))
            for a in (2 * math.pi * k / 8 for k in range(9))]
    path = [legs[0][1], legs[0][0], hip, legs[1][0], legs[1][1], legs[1][0], hip, neck,
            arms[0][0], arms[0][1], arms[0][0], neck, arms[1][0], arms[1][1], arms[1][0], neck] + head
    return " ".join("%d,%d" % (round(p[0]), round(p[1])) for p in path)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "walk.txt")
    with open(out, "w", newline="\n") as f:
        for i in range(FRAMES):
            f.write(frame(i) + "\n")


if __name__ == "__main__":
    main()
