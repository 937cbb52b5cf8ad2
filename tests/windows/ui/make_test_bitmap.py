#!/usr/bin/env python3
"""Writes the small 24-bit BMPs the test program carries as built-in pictures: test_builtin.bmp
(the path given) and, beside it, a strip of two 16 x 16 pictures (red, blue) with its 2x copy in
other shades, so that a test tells which of the two was drawn from."""
import os
import struct
import sys


def write_bmp(path, width, height, colour_at):
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(height):
        row = b"".join(bytes(reversed(colour_at(x, height - 1 - y))) for x in range(width))
        pixels += row + b"\0" * (stride - len(row))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


out = sys.argv[1]
folder = os.path.dirname(out)
write_bmp(out, 8, 4, lambda x, y: (200, 40, 40))  # red, green, blue
write_bmp(os.path.join(folder, "test_strip.bmp"), 32, 16,
          lambda x, y: (200, 0, 0) if x < 16 else (0, 0, 200))
write_bmp(os.path.join(folder, "test_strip_2x.bmp"), 64, 32,
          lambda x, y: (120, 0, 0) if x < 32 else (0, 0, 120))
