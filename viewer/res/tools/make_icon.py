#!/usr/bin/env python3
"""Draws the viewer's icon "TVICON": a television set with a picture on its screen.

Writes TVICON.ico (32 x 32 and 16 x 16, 16 colours each) beside this script's folder.
Edit the drawing below and run it again to change the icon.
"""
import struct
import sys
from pathlib import Path

# The 16 colours of the classic palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREY, GREY, WHITE = 0, 8, 7, 15
BLUE, CYAN, GREEN, YELLOW, RED = 12, 14, 10, 11, 9
TRANSPARENT = None


def draw(size):
    """Returns rows (top first) of palette indices or TRANSPARENT."""
    s = size / 32.0
    px = [[TRANSPARENT] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), max(int(y1 * s), int(y0 * s) + 1)):
            for x in range(int(x0 * s), max(int(x1 * s), int(x0 * s) + 1)):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour

    # Antennas.
    for i in range(6):
        rect(10 + i, 1 + i, 11 + i, 2 + i, BLACK)
        rect(21 - i, 1 + i, 22 - i, 2 + i, BLACK)
    # Cabinet with a dark edge, the screen, the control strip and the feet.
    rect(1, 7, 31, 28, BLACK)
    rect(2, 8, 30, 27, GREY)
    rect(2, 8, 30, 9, WHITE)
    rect(3, 10, 23, 25, BLACK)
    rect(4, 11, 22, 24, BLUE)
    # A picture: sky, a hill and a sun.
    rect(4, 11, 22, 17, CYAN)
    rect(4, 17, 22, 24, GREEN)
    rect(16, 12, 20, 16, YELLOW)
    # Knobs and the power lamp.
    rect(25, 11, 28, 14, DARK_GREY)
    rect(25, 16, 28, 19, DARK_GREY)
    rect(25, 22, 28, 24, RED)
    rect(4, 28, 8, 30, BLACK)
    rect(24, 28, 28, 30, BLACK)
    return px


def dib(size):
    px = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(px):
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, c in enumerate(row):
            index = BLACK if c is TRANSPARENT else c
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if c is TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    return header + colours + bytes(xor) + bytes(mask)


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "TVICON.ico"
    images = [dib(32), dib(16)]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip((32, 16), images):
        data += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    out.write_bytes(data + b"".join(images))


if __name__ == "__main__":
    main()
