#!/usr/bin/env python3
"""Writes shadow.png, the drop-shadow picture of the window tests.

24 x 24 pixels cut with margins of 8: the border band is black whose alpha
grows inwards (40 at the outer edge, 20 more per pixel), so a test can tell
which row of the picture landed where; the 8 x 8 centre is opaque red and
must never be drawn (the shadow has no centre piece). Run from this folder;
the output is committed.
"""
import struct
import zlib

SIZE = 24
MARGIN = 8


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def pixel(x, y):
    depth = min(x, y, SIZE - 1 - x, SIZE - 1 - y)
    if depth >= MARGIN:
        return (255, 0, 0, 255)
    return (0, 0, 0, 40 + 20 * depth)


def main():
    raw = bytearray()
    for y in range(SIZE):
        raw.append(0)
        for x in range(SIZE):
            raw.extend(pixel(x, y))
    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    open("shadow.png", "wb").write(data)


if __name__ == "__main__":
    main()
