#!/usr/bin/env python3
# Draws Needlecast's icon (32x32, 16 colours) and writes it as src/needlecast.ico.
"""Usage: make-icon.py [OUTPUT]   (default: src/needlecast.ico beside this script's folder)

The picture: a black square ruled with pale lines, with three coloured needles
dropped on it, one of them lying across a line.
"""

import os
import struct
import sys

SIZE = 32

# The standard 16-colour VGA palette, in Windows' order, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, LIGHT_GREY, RED, YELLOW, CYAN, WHITE = 0, 7, 9, 11, 14, 15

# Ruled lines (rows, top down) and needles: (x0, y0, x1, y1, colour).
RULED_ROWS = (8, 16, 24)
NEEDLES = (
    (6, 19, 13, 12, YELLOW),   # lies across the line at row 16
    (18, 10, 26, 13, RED),     # between the first two lines
    (17, 21, 24, 19, CYAN),    # between the last two lines
)


def line_points(x0, y0, x1, y1):
    """The pixels of a straight line, end points included (Bresenham)."""
    points = []
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx = 1 if x0 < x1 else -1
    sy = 1 if y0 < y1 else -1
    error = dx + dy
    while True:
        points.append((x0, y0))
        if x0 == x1 and y0 == y1:
            return points
        twice = 2 * error
        if twice >= dy:
            error += dy
            x0 += sx
        if twice <= dx:
            error += dx
            y0 += sy


def draw():
    """The picture as rows of palette indices, top row first."""
    pixels = [[BLACK] * SIZE for _ in range(SIZE)]
    for row in RULED_ROWS:
        for x in range(2, SIZE - 2):
            pixels[row][x] = LIGHT_GREY
    for x0, y0, x1, y1, colour in NEEDLES:
        # Two pixels thick: the line and its neighbour below.
        for x, y in line_points(x0, y0, x1, y1):
            pixels[y][x] = colour
            pixels[y + 1][x] = colour
        # A white eye at the blunt end.
        pixels[y0][x0] = WHITE
    return pixels


def icon_bytes(pixels):
    """An .ico file holding one 32x32 4-bit image with an all-opaque mask."""
    xor_rows = []
    for row in reversed(pixels):  # DIB rows run bottom up
        packed = bytes((row[x] << 4) | row[x + 1] for x in range(0, SIZE, 2))
        xor_rows.append(packed + b"\0" * (-len(packed) % 4))
    and_row = b"\0" * (SIZE // 8)
    and_rows = [and_row + b"\0" * (-len(and_row) % 4)] * SIZE
    bits = b"".join(xor_rows) + b"".join(and_rows)

    # BITMAPINFOHEADER: the height counts the XOR and AND halves together.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, len(bits), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    image = header + palette + bits

    # ICONDIR, then one ICONDIRENTRY pointing just past the two.
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    if len(sys.argv) > 2:
        sys.exit(__doc__)
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    output = sys.argv[1] if len(sys.argv) == 2 else os.path.join(root, "src", "needlecast.ico")
    with open(output, "wb") as file:
        file.write(icon_bytes(draw()))


if __name__ == "__main__":
    main()
