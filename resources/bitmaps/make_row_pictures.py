#!/usr/bin/env python3
"""Draws the small pictures beside the main tab's settings (16 x 16, 24 bits; magenta is
see-through): a sheet of paper (5135), a stack of copies (5136) and the colour toners (5137).
Run it again after changing a drawing; the .bmp files it writes are kept in the repository."""
import os
import struct

SIZE = 16
KEY, WHITE, EDGE = (255, 0, 255), (255, 255, 255), (64, 64, 64)


def blank():
    return [[KEY] * SIZE for _ in range(SIZE)]


def rect(px, x0, y0, x1, y1, fill, edge=EDGE):
    for y in range(y0, y1):
        for x in range(x0, x1):
            px[y][x] = edge if x in (x0, x1 - 1) or y in (y0, y1 - 1) else fill


def paper():
    px = blank()
    rect(px, 3, 0, 14, 16, WHITE)
    for x, y in ((10, 1), (11, 2), (12, 3)):  # folded corner
        for k in range(x, 14):
            px[y - 1 if y > 0 else 0][k] = KEY if k > x else EDGE
    for y in range(4, 14, 3):
        for x in range(5, 12):
            px[y][x] = (120, 150, 200)
    return px


def copies():
    px = blank()
    rect(px, 6, 0, 16, 11, WHITE)
    rect(px, 3, 2, 13, 13, WHITE)
    rect(px, 0, 4, 10, 16, WHITE)
    for y in range(7, 15, 3):
        for x in range(2, 8):
            px[y][x] = (120, 150, 200)
    return px


def toners():
    px = blank()
    for (cx, cy), colour in (((5, 5), (0, 170, 230)), ((10, 5), (230, 0, 140)), ((8, 10), (250, 220, 0))):
        for y in range(SIZE):
            for x in range(SIZE):
                if (x - cx) ** 2 + (y - cy) ** 2 <= 12:
                    px[y][x] = colour
    return px


def save(px, path):
    rows = b"".join(bytes(v for p in px[y] for v in (p[2], p[1], p[0])) for y in reversed(range(SIZE)))
    dib = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(rows), 2835, 2835, 0, 0) + rows
    with open(path, "wb") as out:
        out.write(b"BM" + struct.pack("<IHHI", 14 + len(dib), 0, 0, 54) + dib)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for number, px in ((5135, paper()), (5136, copies()), (5137, toners())):
        save(px, os.path.join(here, f"row_{number}.bmp"))


if __name__ == "__main__":
    main()
