#!/usr/bin/env python3
"""Writes the small pictures the framework tests draw and decode.

Every pixel is a function of its position, so a test can tell exactly which
source pixel landed where. Run from this folder; the output is committed.
"""
import struct
import zlib


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def rows_to_idat(width, height, pixel):
    raw = bytearray()
    for y in range(height):
        raw.append(0)  # filter: none
        for x in range(width):
            raw.extend(pixel(x, y))
    return zlib.compress(bytes(raw), 9)


def ihdr(width, height):
    return chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))


def write_png(name, width, height, pixel):
    data = b"\x89PNG\r\n\x1a\n" + ihdr(width, height)
    data += chunk(b"IDAT", rows_to_idat(width, height, pixel)) + chunk(b"IEND", b"")
    open(name, "wb").write(data)


def write_apng(name, width, height, frames):
    """frames: (w, h, x, y, delay_num, delay_den, dispose, blend, pixel)"""
    data = b"\x89PNG\r\n\x1a\n" + ihdr(width, height)
    data += chunk(b"acTL", struct.pack(">II", len(frames), 0))
    sequence = 0
    for index, (w, h, x, y, num, den, dispose, blend, pixel) in enumerate(frames):
        data += chunk(b"fcTL", struct.pack(">IIIIIHHBB", sequence, w, h, x, y, num, den, dispose, blend))
        sequence += 1
        compressed = rows_to_idat(w, h, pixel)
        if index == 0:
            data += chunk(b"IDAT", compressed)
        else:
            data += chunk(b"fdAT", struct.pack(">I", sequence) + compressed)
            sequence += 1
    data += chunk(b"IEND", b"")
    open(name, "wb").write(data)


def lzw_uncompressed(indices, min_code_size=2):
    """GIF LZW data that never uses a table entry: a clear code before every
    two pixels keeps the code width at min_code_size + 1."""
    width = min_code_size + 1
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    codes = []
    for i in range(0, len(indices), 2):
        codes.append(clear)
        codes.extend(indices[i:i + 2])
    codes.append(end)
    bits, count, out = 0, 0, bytearray()
    for code in codes:
        bits |= code << count
        count += width
        while count >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        out.append(bits & 0xFF)
    blocks = bytearray([min_code_size])
    for i in range(0, len(out), 255):
        piece = out[i:i + 255]
        blocks.append(len(piece))
        blocks.extend(piece)
    blocks.append(0)
    return bytes(blocks)


def write_gif(name, width, height, palette, frames):
    """frames: (delay in 1/100 s, palette index of every pixel)"""
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", width, height, 0x80 | 0x01, 0, 0)  # 4-colour global table
    for colour in palette:
        data += bytes(colour)
    data += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop for ever
    for delay, index in frames:
        data += b"\x21\xF9\x04" + struct.pack("<BHBB", 0x04, delay, 0, 0)  # keep the frame
        data += b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0)
        data += lzw_uncompressed([index] * (width * height))
    data += b"\x3B"
    open(name, "wb").write(bytes(data))


# 128 x 8, four 32-pixel frames: red rises with x, green names the frame.
write_png("strip4.png", 128, 8, lambda x, y: (x * 2, (x // 32) * 60, 200, 255))
# 20 x 10: every pixel different.
write_png("small.png", 20, 10, lambda x, y: (x * 10, y * 20, 128, 255))


def nine(x, y):
    if x < 20:
        return (50 + x * 10, y * 40, 0, 255)
    if x < 30:
        return (0, 200, 40, 255)
    return (0, y * 40, 50 + (x - 30) * 10, 255)


# 50 x 3 nine-grid: 20-pixel ends with their own ramps, a flat green middle.
write_png("nine.png", 50, 3, nine)


def tile(x, y):
    if x < 2:
        return (255 - x * 5, 0, 0, 255)
    if x >= 48:
        return (0, 0, 255 - (x - 48) * 5, 255)
    return (0, 10 + (x - 2) * 5, 100, 255)


# 50 x 3 tile: 2-pixel caps and a 46-pixel middle ramp.
write_png("tile.png", 50, 3, tile)

# Three frames of 16 x 16: red; an 8 x 8 green square laid over it at 4,4;
# blue. Delays 100, 200 and 300 ms.
write_apng("anim.png", 16, 16, [
    (16, 16, 0, 0, 1, 10, 0, 0, lambda x, y: (255, 0, 0, 255)),
    (8, 8, 4, 4, 2, 10, 0, 1, lambda x, y: (0, 255, 0, 255)),
    (16, 16, 0, 0, 3, 10, 0, 0, lambda x, y: (0, 0, 255, 255)),
])

# The same three colours as a GIF, delays 10, 20 and 30 hundredths.
write_gif("anim.gif", 16, 16, [(255, 0, 0), (0, 255, 0), (0, 0, 255), (0, 0, 0)],
          [(10, 0), (20, 1), (30, 2)])

# Bytes that are no picture at all.
open("broken.png", "wb").write(b"\x89PNG\r\n\x1a\nthis is not a picture")


def write_bmp(name, width, height, pixel):
    """A bottom-up 24-bit BMP."""
    row_bytes = (width * 3 + 3) & ~3
    rows = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        rows += row + b"\0" * (row_bytes - len(row))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    data = b"BM" + struct.pack("<IHHI", 14 + len(header) + len(rows), 0, 0, 14 + len(header)) + header + rows
    open(name, "wb").write(data)


# 8 x 4 GDI bitmap resource.
write_bmp("small.bmp", 8, 4, lambda x, y: (x * 30, y * 60, 90))

# Four frames of 16 x 16 that use the frame operations: red; a green square
# at 0,0 that is cleared after it is shown; a half-transparent blue square
# laid over the red at 8,8 that is taken back after it is shown; a yellow
# pixel at 15,15.
write_apng("dispose.png", 16, 16, [
    (16, 16, 0, 0, 1, 10, 0, 0, lambda x, y: (255, 0, 0, 255)),
    (8, 8, 0, 0, 1, 10, 1, 0, lambda x, y: (0, 255, 0, 255)),
    (8, 8, 8, 8, 1, 10, 2, 1, lambda x, y: (0, 0, 255, 128)),
    (1, 1, 15, 15, 0, 0, 0, 0, lambda x, y: (255, 255, 0, 255)),
])
