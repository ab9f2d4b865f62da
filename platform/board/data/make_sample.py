#!/usr/bin/env python3
"""Writes sample.y4m, the board's sample clip: 160 x 120, 12 frames a second, 2 seconds,
8-bit 4:2:0. Four solid quadrants of known colours (studio-range BT.601 of pure RGB) and a
yellow 16 x 8 box that moves 6 pixels right per frame along rows 56-63, so that the quadrant
centres (40,30), (120,30), (40,90), (120,90) never change. Every edge lies on even pixels, so no
4:2:0 chroma sample straddles two colours.

    python3 make_sample.py [output]   (default: sample.y4m beside this script)
"""
import os
import sys

W, H, FPS, FRAMES = 160, 120, 12, 24
RED = (82, 90, 240)        # R 255, G 0, B 0   top left
GREEN = (144, 54, 34)      # R 0, G 255, B 0   top right
BLUE = (41, 240, 110)      # R 0, G 0, B 255   bottom left
WHITE = (235, 128, 128)    # R 255, G 255, B 255  bottom right
YELLOW = (210, 16, 146)    # R 255, G 255, B 0  the moving box
BOX_W, BOX_H, BOX_TOP, BOX_STEP = 16, 8, 56, 6


def colour(x, y, frame):
    left = BOX_STEP * frame
    if BOX_TOP <= y < BOX_TOP + BOX_H and left <= x < left + BOX_W:
        return YELLOW
    if y < H // 2:
        return RED if x < W // 2 else GREEN
    return BLUE if x < W // 2 else WHITE


def frame_bytes(frame):
    luma = bytes(colour(x, y, frame)[0] for y in range(H) for x in range(W))
    # Each chroma sample covers a 2 x 2 block of one colour: its top-left pixel gives it.
    u = bytes(colour(2 * x, 2 * y, frame)[1] for y in range(H // 2) for x in range(W // 2))
    v = bytes(colour(2 * x, 2 * y, frame)[2] for y in range(H // 2) for x in range(W // 2))
    return luma + u + v


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "sample.y4m")
    with open(out, "wb") as f:
        f.write(b"YUV4MPEG2 W%d H%d F%d:1 Ip A1:1 C420jpeg\n" % (W, H, FPS))
        for n in range(FRAMES):
            f.write(b"FRAME\n")
            f.write(frame_bytes(n))


if __name__ == "__main__":
    main()
