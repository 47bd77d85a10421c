#!/usr/bin/env python3
# Writes reversedarrow.cur: the editors' pointer left of their text, an arrow pointing up and to the
# right (the usual arrow mirrored), 32x32 in two colours, the hot spot at its tip.
import os
import struct

ARROW = """
B...........
BB..........
BWB.........
BWWB........
BWWWB.......
BWWWWB......
BWWWWWB.....
BWWWWWWB....
BWWWWWWWB...
BWWWWWWWWB..
BWWWWWWWWWB.
BWWWWWWBBBBB
BWWWBWWB....
BWWBBWWB....
BWB..BWWB...
BB...BWWB...
B.....BWWB..
......BWWB..
.......BB...
""".split()

SIZE, LEFT = 32, 20
rows = [["."] * SIZE for _ in range(SIZE)]
for y, line in enumerate(ARROW):
    for x, c in enumerate(reversed(line)):
        rows[y][LEFT + x] = c
hot_x, hot_y = LEFT + len(ARROW[0]) - 1, 0


def mask(bit_of):
    out = b""
    for y in reversed(range(SIZE)):  # bottom-up rows
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | bit_of(rows[y][x])
        out += struct.pack(">I", bits)
    return out


xor = mask(lambda c: 1 if c == "W" else 0)   # white where drawn white
and_ = mask(lambda c: 1 if c == "." else 0)  # the screen shows through
header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, 0, 0, 0, 2, 0)
palette = struct.pack("<II", 0x000000, 0xFFFFFF)
image = header + palette + xor + and_
cur = struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, hot_x, hot_y, len(image), 22) + image
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "reversedarrow.cur"), "wb") as f:
    f.write(cur)
