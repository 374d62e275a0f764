#!/usr/bin/env python3
"""Writes the 13 lamp icons (16 x 16, 16 colours) as lamp_00.ico .. lamp_12.ico.

A round lamp: black outer ring, grey inner ring, a coloured face with a small
white highlight at the upper left. Index 12 has no face: only the rings show
and the background shows through.

    python3 tools/make_lamp_icons.py widgets/icons
"""
import os
import struct
import sys

# The 16 standard colours (R, G, B); the icon's palette.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# Face colour of each look, index 0 to 11; 12 has none.
FACES = [
    (255, 255, 255), (0, 0, 0), (128, 128, 128), (255, 0, 0),
    (0, 255, 0), (0, 0, 255), (255, 255, 0), (128, 128, 0),
    (0, 128, 128), (0, 0, 128), (128, 0, 0), (128, 0, 128),
]

SIZE = 16
BLACK, GREY, WHITE = 0, 8, 15
HIGHLIGHT = {(5, 4), (4, 5), (5, 5), (6, 4), (4, 6)}


def pixels(face):
    """Rows top to bottom of palette indexes, None for transparent."""
    rows = []
    c = (SIZE - 1) / 2.0
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            d2 = (x - c) ** 2 + (y - c) ** 2
            if d2 > 7.4 ** 2:
                row.append(None)
            elif d2 > 6.3 ** 2:
                row.append(BLACK)
            elif d2 > 5.2 ** 2:
                row.append(GREY)
            elif face is None:
                row.append(None)
            elif (x, y) in HIGHLIGHT:
                row.append(WHITE)
            else:
                row.append(PALETTE.index(face))
        rows.append(row)
    return rows


def ico(face):
    rows = pixels(face)
    xor = b""
    mask = b""
    for row in reversed(rows):  # bitmaps are stored bottom-up
        line = bytearray(SIZE // 2)
        bits = 0
        for x, v in enumerate(row):
            if v is not None:
                line[x // 2] |= v << (4 if x % 2 == 0 else 0)
            else:
                bits |= 1 << (SIZE - 1 - x)
        xor += bytes(line)
        mask += struct.pack(">H", bits) + b"\0\0"  # rows padded to 4 bytes
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    for i, face in enumerate(FACES + [None]):
        with open(os.path.join(out, "lamp_%02d.ico" % i), "wb") as f:
            f.write(ico(face))


if __name__ == "__main__":
    main()
