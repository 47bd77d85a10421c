#!/usr/bin/python3
# Writes the panels' button glyphs as 24-bit BMP files (run from this folder).
import struct


def write_bmp(name, pixels):
    h, w = len(pixels), len(pixels[0])
    stride = (w * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray()
        for (r, g, b) in row:
            line += bytes((b, g, r))
        body += line + bytes(stride - len(line))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(body), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(name, 'wb') as f:
        f.write(header + info + body)


def rgb(v):
    return ((v >> 16) & 255, (v >> 8) & 255, v & 255)


def box(plus):
    # A grey frame around a fill that darkens downward, a minus bar, and for the plus a vertical bar.
    px = [[rgb(0x919191)] * 9 for _ in range(9)]
    for y in range(1, 8):
        level = 0xFC - (0xFC - 0xE3) * (y - 1) // 6
        for x in range(1, 8):
            px[y][x] = (level, level, level)
    for x in range(2, 7):
        px[4][x] = rgb(0x4B63A7)
    if plus:
        for y in range(2, 7):
            px[y][4] = rgb(0x294272)
    return px


def chevrons(left):
    # Two chevrons in dark grey on the lime key colour.
    px = [[rgb(0x00FF00)] * 8 for _ in range(7)]
    for y in range(7):
        d = abs(y - 3)
        for x in (d + 1, d + 4):
            px[y][x if left else 7 - x] = rgb(0x313431)
    return px


write_bmp('kwflipplus.bmp', box(True))
write_bmp('kwcollapse.bmp', box(False))
write_bmp('headercollapse.bmp', chevrons(True))
write_bmp('headerexpand.bmp', chevrons(False))
