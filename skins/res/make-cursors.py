#!/usr/bin/env python3
# Writes czmove.cur and czcancel.cur, the pointers of toolbar customizing: an arrow carrying a button
# (move) and an arrow with a cross beside it (cancel), 32x32 in two colours, the hot spot at the tip.
import os
import struct

ARROW = [
    "B...........", "BB..........", "BWB.........", "BWWB........", "BWWWB.......", "BWWWWB......",
    "BWWWWWB.....", "BWWWWWWB....", "BWWWWWWWB...", "BWWWWWWWWB..", "BWWWWWWWWWB.", "BWWWWWWBBBBB",
    "BWWWBWWB....", "BWWBBWWB....", "BWB..BWWB...", "BB...BWWB...", "B.....BWWB..", "......BWWB..",
    ".......BB...",
]
BUTTON = ["BBBBBBBBBB", "BWWWWWWWWB", "BWWWWWWWWB", "BWWWWWWWWB", "BWWWWWWWWB", "BBBBBBBBBB"]
CROSS = ["BB....BB", "BBB..BBB", ".BBBBBB.", "..BBBB..", "..BBBB..", ".BBBBBB.", "BBB..BBB", "BB....BB"]


def picture(extra, left, top):
    rows = [["."] * 32 for _ in range(32)]
    for pattern, x0, y0 in ((ARROW, 0, 0), (extra, left, top)):
        for y, line in enumerate(pattern):
            for x, c in enumerate(line):
                if c != ".":
                    rows[y0 + y][x0 + x] = c
    return rows


def cursor(rows):
    def plane(bit):
        return b"".join(struct.pack(">I", int("".join(bit(c) for c in row), 2)) for row in reversed(rows))
    image = (struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, 0, 0, 0, 2, 0) + struct.pack("<II", 0, 0xFFFFFF) +
             plane(lambda c: "1" if c == "W" else "0") + plane(lambda c: "1" if c == "." else "0"))
    return struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", 32, 32, 0, 0, 0, 0, len(image), 22) + image


here = os.path.dirname(os.path.abspath(__file__))
for name, extra, left, top in (("czmove.cur", BUTTON, 12, 20), ("czcancel.cur", CROSS, 14, 20)):
    with open(os.path.join(here, name), "wb") as f:
        f.write(cursor(picture(extra, left, top)))
