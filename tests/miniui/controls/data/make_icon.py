#!/usr/bin/env python3
"""Writes program.ico: one 16 x 16 32-bit picture, the program icon 1001 the
message box shows. Run from this folder; the output is committed."""
import struct

size = 16
pixels = b"".join(struct.pack("<BBBB", 200, 100, 30, 255) for _ in range(size * size))  # BGRA
mask = b"\x00" * (4 * size)  # 1-bit AND mask, rows padded to 32 bits
header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
image = header + pixels + mask
directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 6 + 16)
open("program.ico", "wb").write(directory + image)
