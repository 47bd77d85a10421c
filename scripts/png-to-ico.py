#!/usr/bin/env python3
"""Wraps PNG pictures into one icon file (one entry per picture, each kept as PNG): png-to-ico.py OUT IN..."""
import struct
import sys


def main(out, pictures):
    blobs = [open(p, "rb").read() for p in pictures]
    offset = 6 + 16 * len(blobs)
    head = struct.pack("<HHH", 0, 1, len(blobs))
    entries = b""
    for blob in blobs:
        if blob[:8] != b"\x89PNG\r\n\x1a\n":
            sys.exit(f"png-to-ico: not a PNG picture")
        width, height = struct.unpack(">II", blob[16:24])
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(out, "wb") as f:
        f.write(head + entries + b"".join(blobs))


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit("usage: png-to-ico.py OUT IN...")
    main(sys.argv[1], sys.argv[2:])
