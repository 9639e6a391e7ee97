#!/usr/bin/env python3
"""Draws the value icons of the page lists (16 x 16, 24 bits, with a transparency mask) into
this folder: pages per sheet, page order, two-sided printing and colour mode. Run it again
after changing a drawing; the .ico files it writes are kept in the repository."""
import os
import struct

SIZE = 16
WHITE, EDGE, INK = (255, 255, 255), (64, 64, 64), (40, 90, 170)
# Page-order shades: the first page darkest.
SHADES = [(30, 60, 150), (90, 130, 210), (150, 185, 235), (205, 222, 245)]


class Icon:
    def __init__(self):
        self.px = [[None] * SIZE for _ in range(SIZE)]

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(max(y0, 0), min(y1, SIZE)):
            for x in range(max(x0, 0), min(x1, SIZE)):
                self.px[y][x] = colour

    def frame(self, x0, y0, x1, y1, colour):
        for x in range(x0, x1):
            self.px[y0][x] = self.px[y1 - 1][x] = colour
        for y in range(y0, y1):
            self.px[y][x0] = self.px[y][x1 - 1] = colour

    def save(self, path):
        rows = []
        mask = []
        for y in reversed(range(SIZE)):
            row = b""
            bits = 0
            for x in range(SIZE):
                c = self.px[y][x]
                row += bytes((0, 0, 0)) if c is None else bytes((c[2], c[1], c[0]))
                if c is None:
                    bits |= 1 << (SIZE - 1 - x)
            rows.append(row)
            mask.append(struct.pack(">H", bits) + b"\0\0")
        dib = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 24, 0, 0, 0, 0, 0, 0)
        dib += b"".join(rows) + b"".join(mask)
        head = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 24, len(dib), 22)
        with open(path, "wb") as out:
            out.write(head + dib)


def sheet(landscape):
    """A blank sheet centred in the icon; its inner rectangle."""
    icon = Icon()
    x0, y0, x1, y1 = (0, 2, 16, 14) if landscape else (2, 0, 14, 16)
    icon.fill(x0, y0, x1, y1, WHITE)
    icon.frame(x0, y0, x1, y1, EDGE)
    return icon, (x0 + 1, y0 + 1, x1 - 1, y1 - 1)


def cells(inner, columns, rows):
    x0, y0, x1, y1 = inner
    out = []
    for r in range(rows):
        for c in range(columns):
            out.append((x0 + (x1 - x0) * c // columns, y0 + (y1 - y0) * r // rows,
                        x0 + (x1 - x0) * (c + 1) // columns, y0 + (y1 - y0) * (r + 1) // rows))
    return out


def pages_per_sheet(pages, landscape_document):
    turned = pages not in (1, 4, 16)
    landscape_sheet = landscape_document != turned
    grid = {1: (1, 1), 2: (2, 1), 4: (2, 2), 8: (4, 2), 16: (4, 4), 32: (8, 4)}[pages]
    columns, rows = grid if landscape_sheet else (grid[1], grid[0])
    icon, inner = sheet(landscape_sheet)
    parts = cells(inner, columns, rows)
    roomy = all(x1 - x0 > 3 and y1 - y0 > 3 for x0, y0, x1, y1 in parts)
    for n, (x0, y0, x1, y1) in enumerate(parts):
        if roomy:
            # Room enough: each page framed, with a line of text at its top.
            icon.fill(x0, y0, x1, y1, (170, 195, 235))
            icon.fill(x0 + 1, y0 + 1, x1 - 1, y1 - 1, WHITE)
            icon.fill(x0 + 1, y0 + 1, x1 - 1, y0 + 2, INK)
        elif (n // columns + n % columns) % 2 == 0:
            # Small pages as a chequer board, so that they can still be counted.
            icon.fill(x0, y0, x1, y1, (120, 160, 225))
    return icon


def page_order(order, landscape_document):
    """Orders 1 and 2 put two pages on a sheet, 3 to 6 four; each page is shaded by its turn."""
    if order in (1, 2):
        landscape_sheet = not landscape_document
        icon, inner = sheet(landscape_sheet)
        parts = cells(inner, 2, 1) if landscape_sheet else cells(inner, 1, 2)
        turns = [0, 1] if order == 1 else [1, 0]
    else:
        icon, inner = sheet(False)
        parts = cells(inner, 2, 2)  # top left, top right, bottom left, bottom right
        turns = {3: [0, 1, 2, 3], 4: [0, 2, 1, 3], 5: [1, 0, 3, 2], 6: [2, 0, 3, 1]}[order]
    for (x0, y0, x1, y1), turn in zip(parts, turns):
        icon.fill(x0, y0, x1, y1, SHADES[turn])
    return icon


def duplex(mode, landscape_sheet):
    """One sheet for one-sided printing; two sheets bound on the long or the short edge."""
    icon = Icon()
    if mode != 1:
        back = (3, 4, 16, 15) if landscape_sheet else (4, 3, 15, 16)
        icon.fill(*back, (215, 215, 215))
        icon.frame(*back, EDGE)
    front = (0, 1, 13, 12) if landscape_sheet else (1, 0, 12, 13)
    if mode == 1:
        front = (0, 2, 16, 14) if landscape_sheet else (2, 0, 14, 16)
    icon.fill(*front, WHITE)
    icon.frame(*front, EDGE)
    x0, y0, x1, y1 = front
    long_edge_vertical = not landscape_sheet
    if mode == 2:
        vertical = long_edge_vertical
    elif mode == 3:
        vertical = not long_edge_vertical
    else:
        return icon
    if vertical:
        icon.fill(x0, y0, x0 + 2, y1, INK)
    else:
        icon.fill(x0, y0, x1, y0 + 2, INK)
    return icon


def colour_mode(mode):
    icon, inner = sheet(False)
    x0, y0, x1, y1 = inner
    bands = {0: [(0, 170, 230), (128, 128, 128), (230, 0, 140), (96, 96, 96)],
             1: [(40, 40, 40), (110, 110, 110), (170, 170, 170), (220, 220, 220)],
             2: [(0, 170, 230), (230, 0, 140), (250, 220, 0), (30, 30, 30)]}[mode]
    for n, colour in enumerate(bands):
        icon.fill(x0 + 1, y0 + 1 + n * 3, x1 - 1, y0 + 4 + n * 3, colour)
    return icon


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    icons = {}
    for value, ids in {1: (2354, 2405), 2: (2355, 2406), 3: (2356, 2407)}.items():
        icons[ids[0]] = duplex(value, False)
        icons[ids[1]] = duplex(value, True)
    for value, ids in {1: (2357, 2357), 2: (2358, 2359), 4: (2360, 2361), 8: (2362, 2363),
                       16: (2364, 2365), 32: (2366, 2367)}.items():
        icons[ids[0]] = pages_per_sheet(value, False)
        icons.setdefault(ids[1], pages_per_sheet(value, True))
    for value, ids in {1: (2369, 2371), 2: (2368, 2370), 3: (2375, 2375), 4: (2374, 2374),
                       5: (2373, 2373), 6: (2372, 2372)}.items():
        icons[ids[0]] = page_order(value, False)
        icons.setdefault(ids[1], page_order(value, True))
    for value, icon_id in {0: 2376, 1: 2377, 2: 2378}.items():
        icons[icon_id] = colour_mode(value)
    for icon_id, icon in sorted(icons.items()):
        icon.save(os.path.join(here, f"value_{icon_id}.ico"))


if __name__ == "__main__":
    main()
