#!/usr/bin/env python3
# Draws Needlecast's icon and writes it as src/needlecast.ico: the 32x32 16-colour image,
# and the same picture in true colour at 16x16, 48x48 and 256x256 (the last as PNG).
"""Usage: make-icon.py [OUTPUT]   (default: src/needlecast.ico beside this script's folder)
       make-icon.py --web FOLDER  (the page's icons: icon-192.png, icon-512.png and
                                   icon-maskable-512.png, its picture inside the safe zone)

The picture: a black square ruled with pale lines, with three coloured needles
dropped on it, one of them lying across a line.
"""

import os
import struct
import sys
import zlib

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


def four_bit_image(pixels):
    """The 32x32 4-bit image with an all-opaque mask, as it goes in an .ico file."""
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
    return header + palette + bits


def segment_distance(px, py, x0, y0, x1, y1):
    """Distance from a point to a line segment."""
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / (dx * dx + dy * dy)))
    return ((px - x0 - t * dx) ** 2 + (py - y0 - t * dy) ** 2) ** 0.5


def sample(u, v):
    """The picture's colour at (u, v) in units of the 32-pixel design."""
    colour = PALETTE[BLACK]
    for row in RULED_ROWS:
        if row <= v < row + 1 and 2 <= u < SIZE - 2:
            colour = PALETTE[LIGHT_GREY]
    for x0, y0, x1, y1, index in NEEDLES:
        # The same strokes as the 16-colour picture: two pixels thick, a white eye.
        if segment_distance(u, v, x0 + 0.5, y0 + 1.0, x1 + 0.5, y1 + 1.0) < 1.0:
            colour = PALETTE[index]
        if (u - x0 - 0.5) ** 2 + (v - y0 - 0.5) ** 2 < 0.6:
            colour = PALETTE[WHITE]
    return colour


def true_colour(size, fill=1.0):
    """The picture at size x size, 4x4 samples a pixel, as rows of (r, g, b, a), top first;
    with a fill below 1 it takes that share of the width, centred on black."""
    rows = []
    scale = SIZE / (size * fill)
    margin = (1.0 - fill) * size / 2
    for y in range(size):
        row = []
        for x in range(size):
            total = [0, 0, 0]
            for sy in range(4):
                for sx in range(4):
                    r, g, b = sample((x - margin + (sx + 0.5) / 4) * scale, (y - margin + (sy + 0.5) / 4) * scale)
                    total[0] += r
                    total[1] += g
                    total[2] += b
            row.append(tuple(round(c / 16) for c in total) + (255,))
        rows.append(row)
    return rows


def bitmap_image(rows):
    """A 32-bit DIB with an all-opaque mask, as it goes in an .ico file."""
    size = len(rows)
    colours = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    and_row = b"\0" * (size // 8)
    and_rows = (and_row + b"\0" * (-len(and_row) % 4)) * size
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(colours) + len(and_rows), 0, 0, 0, 0)
    return header + colours + and_rows


def png_image(rows):
    """An RGBA PNG of the rows, as Windows takes 256x256 icon images."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    size = len(rows)
    raw = b"".join(b"\0" + b"".join(bytes(pixel) for pixel in row) for row in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def icon_bytes(pixels):
    """An .ico file: the 16-colour 32x32 image first, then 16, 48 and 256 in true colour."""
    images = [(32, 16, 4, four_bit_image(pixels))]
    for size in (16, 48):
        images.append((size, 0, 32, bitmap_image(true_colour(size))))
    images.append((256, 0, 32, png_image(true_colour(256))))

    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, colours, bits, data in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(data for _, _, _, data in images)


# The page's icons: (file, size, fill). A maskable icon may be cut to a circle of 80 % of its
# width, so its picture takes 70 %: the needles' ends stay inside.
WEB_ICONS = (("icon-192.png", 192, 1.0), ("icon-512.png", 512, 1.0), ("icon-maskable-512.png", 512, 0.7))


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--web":
        for name, size, fill in WEB_ICONS:
            with open(os.path.join(sys.argv[2], name), "wb") as file:
                file.write(png_image(true_colour(size, fill)))
        return
    if len(sys.argv) > 2 or (len(sys.argv) == 2 and sys.argv[1].startswith("-")):
        sys.exit(__doc__)
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    output = sys.argv[1] if len(sys.argv) == 2 else os.path.join(root, "src", "needlecast.ico")
    with open(output, "wb") as file:
        file.write(icon_bytes(draw()))


if __name__ == "__main__":
    main()
