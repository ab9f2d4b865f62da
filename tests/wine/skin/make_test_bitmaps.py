#!/usr/bin/env python3
"""Writes the skin test program's bitmaps into data/ (run again to reproduce them).

Each is a solid 20 x 12 block of one colour so that a test can read the drawn pixels:
  TGREY  8-bit, biClrUsed 0 (a full 256-entry table), colour index 7 = (128, 128, 128)
  TGREEN 8-bit, biClrUsed 0, index 200 = (0, 200, 0): the pixels start 40 + 1024 bytes in
  TRED   4-bit, biClrUsed 16, index 9 = (255, 0, 0)
  TBLUE  8-bit, biClrUsed 3, index 2 = (0, 0, 255)
"""
import struct
from pathlib import Path

W, H = 20, 12


def bmp(bits, used, table, index):
    colours = used or (1 << bits)
    entries = [(0, 0, 0)] * colours
    for i, rgb in table.items():
        entries[i] = rgb
    stride = ((W * bits + 31) // 32) * 4
    if bits == 8:
        row = bytes([index] * W)
    else:
        row = bytes([(index << 4) | index] * (W // 2))
    row += bytes(stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, bits, 0, stride * H, 2835, 2835, used, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in entries)
    pixels = row * H
    offset = 14 + len(info) + len(palette)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + palette + pixels


def main():
    out = Path(__file__).resolve().parent / "data"
    out.mkdir(exist_ok=True)
    (out / "TGREY.bmp").write_bytes(bmp(8, 0, {7: (128, 128, 128)}, 7))
    (out / "TGREEN.bmp").write_bytes(bmp(8, 0, {200: (0, 200, 0)}, 200))
    (out / "TRED.bmp").write_bytes(bmp(4, 16, {9: (255, 0, 0)}, 9))
    (out / "TBLUE.bmp").write_bytes(bmp(8, 3, {2: (0, 0, 255)}, 2))


if __name__ == "__main__":
    main()
