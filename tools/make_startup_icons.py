#!/usr/bin/env python3
"""Writes the two 32 x 32 icons of the welcome dialog's large buttons:
an envelope (newsletter) and an open book (tutorials). Plain 32-bit ICO
files, no imaging library needed. Usage: make_startup_icons.py OUTDIR"""
import struct
import sys

SIZE = 32


def envelope(x, y):
    if 4 <= x <= 27 and 8 <= y <= 23:
        edge = x in (4, 27) or y in (8, 23)
        flap = abs(y - 8 - (15.5 - abs(x - 15.5)) * 0.62) < 0.8
        if edge or flap:
            return (40, 40, 120, 255)
        return (255, 250, 220, 255)
    return None


def book(x, y):
    if 3 <= x <= 28 and 7 <= y <= 25:
        if x in (15, 16):
            return (90, 40, 20, 255)
        if x in (3, 28) or y in (7, 25):
            return (150, 30, 30, 255)
        if y % 3 == 0 and 6 <= x <= 13 or y % 3 == 0 and 18 <= x <= 25:
            return (90, 90, 90, 255)
        return (255, 255, 255, 255)
    return None


def ico(pixel):
    rows = []
    mask_rows = []
    for y in reversed(range(SIZE)):  # bottom-up
        row = b""
        bits = 0
        mask = b""
        for x in range(SIZE):
            p = pixel(x, y)
            if p is None:
                row += bytes((0, 0, 0, 0))
                bits = (bits << 1) | 1
            else:
                r, g, b, a = p
                row += bytes((b, g, r, a))
                bits <<= 1
            if x % 8 == 7:
                mask += bytes((bits,))
                bits = 0
        rows.append(row)
        mask_rows.append(mask)
    image = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    image += b"".join(rows) + b"".join(mask_rows)
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return header + entry + image


def main():
    out = sys.argv[1]
    with open(out + "/newsletter.ico", "wb") as f:
        f.write(ico(envelope))
    with open(out + "/tutorials.ico", "wb") as f:
        f.write(ico(book))


if __name__ == "__main__":
    main()
