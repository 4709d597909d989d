#!/usr/bin/env python3
"""Writes the six button skins: 64 x 25 pixel, 24-bit uncompressed BMP files.

Each skin carries the button's frame in its outer 4 pixels: four rings, lit on the top and
left sides and shaded on the bottom and right (the other way round when pressed). The
corners are rounded, so every 4 x 4 corner block differs from the edge pixels beside it;
outside the rounding the corners show a fixed grey. The middle, which the button's gradient
covers, gets a neutral fill.

Usage: make_skins.py [output folder]   (default: the folder of this script)
"""

import math
import os
import struct
import sys

WIDTH = 64
HEIGHT = 25
FRAME = 4

OUTSIDE = (0xA4, 0xA4, 0xB8)  # shows beyond the rounded corners
MIDDLE = (0xE4, 0xE4, 0xEC)  # covered by the gradient on a button

# Per skin: ring colours from the outermost inwards, for the lit and the shaded sides.
SKINS = {
    "normal": {
        "lit": [(0x5C, 0x60, 0x74), (0xFF, 0xFF, 0xFF), (0xF0, 0xF0, 0xF6), (0xE2, 0xE2, 0xEA)],
        "shaded": [(0x5C, 0x60, 0x74), (0x8C, 0x8C, 0x9C), (0xB4, 0xB4, 0xC2), (0xD2, 0xD2, 0xDC)],
    },
    "highlight": {  # pointer over the button: blue glow
        "lit": [(0x2A, 0x62, 0xC8), (0x8C, 0xC0, 0xFF), (0xBE, 0xDC, 0xFF), (0xE0, 0xEE, 0xFF)],
        "shaded": [(0x2A, 0x62, 0xC8), (0x5A, 0x96, 0xE6), (0x96, 0xC2, 0xF4), (0xC8, 0xE0, 0xFA)],
    },
    "highlightselect": {  # pointer over a focused button: blue glow inside a dark focus ring
        "lit": [(0x18, 0x30, 0x78), (0x6E, 0xB4, 0xFF), (0xFF, 0xC8, 0x50), (0xDC, 0xEC, 0xFF)],
        "shaded": [(0x18, 0x30, 0x78), (0x46, 0x8A, 0xE0), (0xE6, 0xA0, 0x28), (0xBE, 0xD8, 0xF6)],
    },
    "selected": {  # focused: navy outline and a pale blue focus ring
        "lit": [(0x22, 0x36, 0x82), (0xFF, 0xFF, 0xFF), (0x78, 0x96, 0xD8), (0xE6, 0xEA, 0xF6)],
        "shaded": [(0x22, 0x36, 0x82), (0x9C, 0xA4, 0xC0), (0x5A, 0x78, 0xC0), (0xCE, 0xD4, 0xE8)],
    },
    "pressed": {  # pushed in: dark outline, shadow on the top and left
        "lit": [(0x2C, 0x2C, 0x3A), (0x60, 0x60, 0x72), (0x8C, 0x8C, 0x9E), (0xB8, 0xB8, 0xC6)],
        "shaded": [(0x2C, 0x2C, 0x3A), (0xF4, 0xF4, 0xFA), (0xDC, 0xDC, 0xE6), (0xC8, 0xC8, 0xD4)],
    },
    "disable": {  # greyed: flat and pale
        "lit": [(0x9E, 0x9E, 0x9E), (0xF2, 0xF2, 0xF2), (0xE4, 0xE4, 0xE4), (0xDA, 0xDA, 0xDA)],
        "shaded": [(0x9E, 0x9E, 0x9E), (0xC4, 0xC4, 0xC4), (0xCE, 0xCE, 0xCE), (0xD6, 0xD6, 0xD6)],
    },
}


def corner_centre(x, y):
    """The centre of the rounding for a pixel in one of the 4 x 4 corners, else None."""
    if FRAME <= x < WIDTH - FRAME or FRAME <= y < HEIGHT - FRAME:
        return None
    cx = FRAME if x < FRAME else WIDTH - FRAME
    cy = FRAME if y < FRAME else HEIGHT - FRAME
    return cx, cy


def pixel(skin, x, y):
    distances = (x, y, WIDTH - 1 - x, HEIGHT - 1 - y)
    ring = min(distances)
    if ring >= FRAME:
        return MIDDLE
    # Lit when the nearest side is the top or the left one.
    lit = min(x, y) <= min(WIDTH - 1 - x, HEIGHT - 1 - y)
    centre = corner_centre(x, y)
    if centre is not None:
        d = math.hypot(x + 0.5 - centre[0], y + 0.5 - centre[1])
        if d > FRAME:
            return OUTSIDE
        ring = min(FRAME - 1, int(FRAME - d))
    return skin["lit" if lit else "shaded"][ring]


def bmp_bytes(skin):
    row_size = (WIDTH * 3 + 3) & ~3
    rows = []
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(WIDTH):
            r, g, b = pixel(skin, x, y)
            row += bytes((b, g, r))
        row += bytes(row_size - len(row))
        rows.append(bytes(row))
    image = b"".join(rows)
    header_size = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(image), 0, 0, header_size)
    # 2835 pixels per metre is 72 dots per inch.
    info_header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(image),
                              2835, 2835, 0, 0)
    return file_header + info_header + image


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(folder, exist_ok=True)
    for name, skin in SKINS.items():
        path = os.path.join(folder, "skin_%s.bmp" % name)
        with open(path, "wb") as out:
            out.write(bmp_bytes(skin))
        print(path)


if __name__ == "__main__":
    main()
