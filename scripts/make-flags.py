#!/usr/bin/env python3
"""Draws the flag bitmaps of the shipped languages into Lang/.

Each flag is a 16 x 11 pixel, 24-bit Windows bitmap named after its language
file (German.ini beside German.bmp), the size of the images in the language
box. The flags are drawn from their geometry, each pixel averaged over a grid
of sample points so that diagonals and discs come out smooth.

    python3 scripts/make-flags.py [output folder]
"""

import math
import os
import struct
import sys

WIDTH, HEIGHT = 16, 11
SAMPLES = 6  # per pixel side


def stripes(colours, horizontal=True, weights=None):
    weights = weights or [1] * len(colours)
    total = float(sum(weights))
    bounds = []
    acc = 0.0
    for w in weights:
        acc += w / total
        bounds.append(acc)

    def draw(x, y):
        t = y if horizontal else x
        for colour, bound in zip(colours, bounds):
            if t < bound:
                return colour
        return colours[-1]

    return draw


def union_flag(x, y):
    # In the flag's own 60 x 30 units.
    u, v = x * 60.0, y * 30.0
    blue, white, red = (1, 33, 105), (255, 255, 255), (200, 16, 46)
    if abs(u - 30) < 3 or abs(v - 15) < 3:
        return red
    if abs(u - 30) < 5 or abs(v - 15) < 5:
        return white
    norm = math.hypot(30, 60)
    d1 = (30 * u - 60 * v) / norm  # signed distance to the diagonal from the top left, > 0 above it
    d2 = (30 * u + 60 * v - 1800) / norm  # to the diagonal from the bottom left, > 0 below it
    # The red saltire is counterchanged: in the hoist's upper quarter the broad
    # white lies above the red, and the pattern turns by half a turn.
    for d, red_side in ((d1, (d1 > 0) == (u > 30)), (d2, (d2 > 0) == (u < 30))):
        if abs(d) < 3:
            return red if red_side and abs(d) < 2 else white
    return blue


def brazil(x, y):
    u, v = x * 20.0, y * 14.0
    green, yellow, blue = (0, 156, 59), (255, 223, 0), (0, 39, 118)
    if math.hypot(u - 10, v - 7) < 3.5:
        return blue
    if abs(u - 10) / 8.3 + abs(v - 7) / 5.3 < 1:
        return yellow
    return green


def japan(x, y):
    u, v = x * 3.0, y * 2.0
    if math.hypot(u - 1.5, v - 1.0) < 0.6:
        return (188, 0, 45)
    return (255, 255, 255)


FLAGS = {
    "English": union_flag,
    "German": stripes([(0, 0, 0), (221, 0, 0), (255, 206, 0)]),
    "French": stripes([(0, 35, 149), (255, 255, 255), (237, 41, 57)], horizontal=False),
    "Spanish": stripes([(170, 21, 27), (241, 191, 0), (170, 21, 27)], weights=[1, 2, 1]),
    "Italian": stripes([(0, 146, 70), (255, 255, 255), (206, 43, 55)], horizontal=False),
    "Portuguese (Brazil)": brazil,
    "Polish": stripes([(255, 255, 255), (220, 20, 60)]),
    "Japanese": japan,
}


def render(draw):
    rows = []
    for py in range(HEIGHT):
        row = []
        for px in range(WIDTH):
            total = [0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / WIDTH
                    y = (py + (sy + 0.5) / SAMPLES) / HEIGHT
                    colour = draw(x, y)
                    for i in range(3):
                        total[i] += colour[i]
            n = SAMPLES * SAMPLES
            row.append(tuple(int(round(c / n)) for c in total))
        rows.append(row)
    return rows


def bmp_bytes(rows):
    height = len(rows)
    width = len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixels += line
    header_size = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
    info_header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return file_header + info_header + bytes(pixels)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "Lang")
    for name, draw in FLAGS.items():
        path = os.path.join(folder, name + ".bmp")
        with open(path, "wb") as out:
            out.write(bmp_bytes(render(draw)))
        print(path)


if __name__ == "__main__":
    main()
