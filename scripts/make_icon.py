#!/usr/bin/env python3
"""Writes data/skimby.png, Skimby's icon: a mast sending waves from a round
blue badge, with a red spot at its tip.

128 by 128 pixels, RGBA, drawn with 4 by 4 supersampling for smooth edges.
Only the standard library is used, and the output is the same on every run.
Usage: scripts/make_icon.py [output path]
"""
import math
import os
import struct
import sys
import zlib

SIZE = 128
SUB = 4  # samples per pixel along each axis

BADGE = (0x1f, 0x4e, 0x8c)
WHITE = (0xff, 0xff, 0xff)
RED = (0xe0, 0x20, 0x20)
CENTRE = SIZE / 2
TIP = (CENTRE, 50.0)  # where the waves come from


def colour_at(x, y):
    """The colour (r, g, b) of a point, or None outside the badge."""
    dx, dy = x - CENTRE, y - CENTRE
    if dx * dx + dy * dy > 60.0 ** 2:
        return None
    tx, ty = x - TIP[0], y - TIP[1]
    r = math.hypot(tx, ty)
    if r < 7.0:
        return RED
    # The mast: a tapering line from the tip down to a foot.
    if TIP[1] <= y <= 104 and abs(x - CENTRE) <= 2.0 + (y - TIP[1]) * 0.05:
        return WHITE
    if 100 <= y <= 105 and abs(x - CENTRE) <= 16:
        return WHITE
    # Three arcs on each side of the tip, up to 50 degrees from level.
    angle = math.degrees(math.atan2(-ty, abs(tx)))
    if -50 <= angle <= 50:
        for radius in (16.0, 27.0, 38.0):
            if abs(r - radius) <= 2.6:
                return WHITE
    return BADGE


def pixel(px, py):
    total = [0.0, 0.0, 0.0, 0.0]
    for sy in range(SUB):
        for sx in range(SUB):
            c = colour_at(px + (sx + 0.5) / SUB, py + (sy + 0.5) / SUB)
            if c is None:
                continue
            for i in range(3):
                total[i] += c[i]
            total[3] += 1
    n = SUB * SUB
    if total[3] == 0:
        return (0, 0, 0, 0)
    return (round(total[0] / total[3]), round(total[1] / total[3]),
            round(total[2] / total[3]), round(255 * total[3] / n))


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "skimby.png")
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    with open(out, "wb") as f:
        f.write(png(SIZE, SIZE, rows))


if __name__ == "__main__":
    main()
