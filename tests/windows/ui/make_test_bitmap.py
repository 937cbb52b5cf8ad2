#!/usr/bin/env python3
"""Writes the small 24-bit BMP the test program carries as a built-in picture."""
import struct
import sys

width, height = 8, 4
stride = (width * 3 + 3) & ~3
pixels = bytearray()
for _ in range(height):
    row = bytes((40, 40, 200)) * width  # blue, green, red
    pixels += row + b"\0" * (stride - len(row))
header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
with open(sys.argv[1], "wb") as f:
    f.write(header + info + pixels)
