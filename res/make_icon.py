#!/usr/bin/env python3
"""Draws Codeloom's icon, a small weave of three warp and three weft threads,
and writes res/codeloom.ico with 16, 32, 48 and 256 px images.

    python3 res/make_icon.py [ICO [PREVIEW_PNG]]

The small images are 32-bit DIBs, which every Windows version reads; the
256 px one is PNG, as Windows Vista and later expect. Only the standard
library is used, and the output is the same on every run.
"""
import os
import struct
import sys
import zlib

SIZES = (16, 32, 48, 256)
BACK_TOP, BACK_BOTTOM = (0x2E, 0x3F, 0x73), (0x1C, 0x26, 0x4A)
WARP = (0xF2, 0xB1, 0x34)   # gold, vertical
WEFT = (0x5C, 0xC8, 0xC0)   # teal, horizontal
CENTRES = (0.27, 0.5, 0.73)
HALF = 0.085                # half a thread's width
ENDS = (0.12, 0.88)         # where the threads start and stop
SHADOW = 0.035              # the shade a top thread casts beside itself


def in_rounded_square(x, y, lo=0.03, hi=0.97, radius=0.2):
    cx = min(max(x, lo + radius), hi - radius)
    cy = min(max(y, lo + radius), hi - radius)
    return lo <= x <= hi and lo <= y <= hi and (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def thread_colour(colour, offset):
    """Lighter along the middle of a thread, darker at its edges."""
    t = 1.0 - (offset / HALF) ** 2
    return tuple(min(255, int(c * (0.72 + 0.38 * t))) for c in colour)


def shade(colour, factor):
    return tuple(int(c * factor) for c in colour)


def sample(x, y):
    """The colour at one point of the unit square, or None outside the icon."""
    if not in_rounded_square(x, y):
        return None
    warp = next((i for i, c in enumerate(CENTRES) if abs(x - c) < HALF), None)
    weft = next((j for j, c in enumerate(CENTRES) if abs(y - c) < HALF), None)
    inside = ENDS[0] <= x <= ENDS[1] and ENDS[0] <= y <= ENDS[1]
    if inside and warp is not None and weft is not None:
        warp_on_top = (warp + weft) % 2 == 0
        if warp_on_top:
            return thread_colour(WARP, abs(x - CENTRES[warp]))
        return thread_colour(WEFT, abs(y - CENTRES[weft]))
    if inside and warp is not None and ENDS[0] <= y <= ENDS[1]:
        colour = thread_colour(WARP, abs(x - CENTRES[warp]))
        # Shaded where it dives under a weft thread.
        for j, c in enumerate(CENTRES):
            if (warp + j) % 2 == 1 and HALF <= abs(y - c) < HALF + SHADOW:
                return shade(colour, 0.55)
        return colour
    if inside and weft is not None and ENDS[0] <= x <= ENDS[1]:
        colour = thread_colour(WEFT, abs(y - CENTRES[weft]))
        for i, c in enumerate(CENTRES):
            if (i + weft) % 2 == 0 and HALF <= abs(x - c) < HALF + SHADOW:
                return shade(colour, 0.55)
        return colour
    t = y
    return tuple(int(a + (b - a) * t) for a, b in zip(BACK_TOP, BACK_BOTTOM))


def render(size):
    """Rows of RGBA pixels, top row first, anti-aliased by supersampling."""
    grid = 4 if size <= 48 else 3
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            total, alpha = [0, 0, 0], 0
            for sy in range(grid):
                for sx in range(grid):
                    colour = sample((px + (sx + 0.5) / grid) / size, (py + (sy + 0.5) / grid) / size)
                    if colour is not None:
                        alpha += 1
                        for k in range(3):
                            total[k] += colour[k]
            if alpha:
                row.append((*(t // alpha for t in total), 255 * alpha // (grid * grid)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def png(rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    size = len(rows)
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def dib(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    # The AND mask marks the transparent pixels for readers that ignore alpha.
    stride = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "codeloom.ico")
    images = {size: render(size) for size in SIZES}
    blobs = [png(images[s]) if s == 256 else dib(images[s]) for s in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(SIZES))
    offset = 6 + 16 * len(SIZES)
    for size, blob in zip(SIZES, blobs):
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(out, "wb") as f:
        f.write(directory + b"".join(blobs))
    if len(sys.argv) > 2:
        with open(sys.argv[2], "wb") as f:
            f.write(png(images[256]))


if __name__ == "__main__":
    main()
