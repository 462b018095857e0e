#!/usr/bin/env python3
"""Draws the program's 32x32 icon (a feed sign on an orange tile) as lumora.png."""
import math
import struct
import sys
import zlib

SIZE = 32
SAMPLES = 4  # per axis, for smooth edges


def inside_tile(x, y):
    r = 6.5
    cx = min(max(x, r), SIZE - r)
    cy = min(max(y, r), SIZE - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def in_sign(x, y):
    ox, oy = 9.0, 23.0  # centre of the dot and the arcs
    d = math.hypot(x - ox, y - oy)
    if d <= 3.2:
        return True
    if x < ox - 1.6 or y > oy + 1.6:
        return False
    return 8.0 <= d <= 11.0 or 14.5 <= d <= 17.5


def pixel(px, py):
    tile = sign = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x = px + (sx + 0.5) / SAMPLES
            y = py + (sy + 0.5) / SAMPLES
            if inside_tile(x, y):
                tile += 1
                if in_sign(x, y):
                    sign += 1
    n = SAMPLES * SAMPLES
    if tile == 0:
        return (0, 0, 0, 0)
    t = py / (SIZE - 1)
    base = (int(246 - 28 * t), int(104 - 50 * t), int(44 - 16 * t))
    w = sign / tile
    rgb = tuple(int(round(c * (1 - w) + 255 * w)) for c in base)
    return rgb + (int(round(255 * tile / n)),)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def main(path):
    rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(SIZE)) for y in range(SIZE))
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(rows, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "lumora.png")
