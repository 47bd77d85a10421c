#!/usr/bin/env python3
"""Writes the resource fixtures of the kernel32 and vcl tests (tiny files whose exact bytes matter)."""
import struct
import zlib


def dib(width, height, bpp, pixel, mask=lambda x, y: 0):
    """A bottom-up icon DIB: header (height doubled), XOR bits, AND mask. pixel(x, y) -> (b, g, r, a)."""
    stride = (width * bpp // 8 + 3) & ~3
    mstride = ((width + 31) // 32) * 4
    rows = b''
    for y in reversed(range(height)):
        row = b''.join(bytes(pixel(x, y)[:bpp // 8]) for x in range(width))
        rows += row + b'\0' * (stride - len(row))
    masks = b''
    for y in reversed(range(height)):
        bits = bytearray(mstride)
        for x in range(width):
            if mask(x, y):
                bits[x // 8] |= 0x80 >> (x % 8)
        masks += bytes(bits)
    header = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, bpp, 0, len(rows) + len(masks), 0, 0, 0, 0)
    return header + rows + masks


def png(width, height, rgba):
    raw = b''.join(b'\0' + b''.join(bytes(rgba(x, y)) for x in range(width)) for y in range(height))
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b''))


def icon_file(kind, entries):
    """entries: (width, height, planes_or_hotx, bpp_or_hoty, image bytes)."""
    out = struct.pack('<HHH', 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    body = b''
    for w, h, a, b, image in entries:
        out += struct.pack('<BBBBHHII', w % 256, h % 256, 0, 0, a, b, len(image), offset + len(body))
        body += image
    return out + body


# Three pictures, one colour each, so a test sees which one was picked: 16 red (32-bit), 32 blue
# (24-bit with a mask that clears the top-left corner), 48 green (PNG).
red16 = dib(16, 16, 32, lambda x, y: (0, 0, 255, 255))
blue32 = dib(32, 32, 24, lambda x, y: (255, 0, 0, 0), mask=lambda x, y: x < 4 and y < 4)
green48 = png(48, 48, lambda x, y: (0, 255, 0, 255))
open('three.ico', 'wb').write(icon_file(1, [(16, 16, 1, 32, red16), (32, 32, 1, 24, blue32), (48, 48, 0, 32, green48)]))

# A 32 x 32 cursor with its hot spot at (5, 7): black, with a white pixel at the hot spot.
cursor = dib(32, 32, 32, lambda x, y: (255, 255, 255, 255) if (x, y) == (5, 7) else (0, 0, 0, 255))
open('pointer.cur', 'wb').write(icon_file(2, [(32, 32, 5, 7, cursor)]))

# An 8 x 7 24-bit bitmap on lime, as the tree glyphs are: a black minus sign in row 3, columns 1..5,
# and a red pixel at the top-left.
def glyph(x, y):
    if (x, y) == (0, 0):
        return (0, 0, 255)
    return (0, 0, 0) if y == 3 and 1 <= x <= 5 else (0, 255, 0)
stride = (8 * 3 + 3) & ~3
bits = b''
for y in reversed(range(7)):
    row = b''.join(bytes(glyph(x, y)) for x in range(8))
    bits += row + b'\0' * (stride - len(row))
info = struct.pack('<IiiHHIIiiII', 40, 8, 7, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
open('glyph.bmp', 'wb').write(b'BM' + struct.pack('<IHHI', 14 + len(info) + len(bits), 0, 0, 14 + len(info)) + info + bits)

# A 3 x 2 PNG: opaque red, green, blue on top, then half-transparent white, black, clear.
pixels = [[(255, 0, 0, 255), (0, 255, 0, 255), (0, 0, 255, 255)], [(255, 255, 255, 128), (0, 0, 0, 255), (0, 0, 0, 0)]]
open('dot.png', 'wb').write(png(3, 2, lambda x, y: pixels[y][x]))

open('skin.txt', 'wb').write(b'[main]\r\nColor=$00FF8000\r\n\x00\xffbinary tail')
