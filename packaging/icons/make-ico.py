#!/usr/bin/env python3
"""Writes the Windows icon file from the rendered PNG sizes: an ICO whose
entries are the PNGs themselves, as Windows reads them since Vista."""
import os
import struct
import sys

here = os.path.dirname(os.path.abspath(__file__))
out = sys.argv[1]
sizes = [16, 24, 32, 48, 64, 128, 256]
images = [open(os.path.join(here, f"{s}x{s}", "korvane.png"), "rb").read() for s in sizes]
header = struct.pack("<HHH", 0, 1, len(images))
offset = 6 + 16 * len(images)
entries = b""
for size, data in zip(sizes, images):
    dim = 0 if size >= 256 else size
    entries += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
with open(out, "wb") as f:
    f.write(header + entries + b"".join(images))
