#!/usr/bin/env python3
"""Lays out every skin bitmap of the viewer on one contact sheet, docs/bitmaps.png.

Reads the .bmp files as checked in (run make_bitmaps.py first), shows each with its name, size and
depth, and below them the panels put together as the viewer composes them (deck in both modes,
tuner panel at two heights and in panel-only mode, the main window's margins), so that a change
can be judged in place. Texts that the viewer writes with Windows fonts are imitated with the
sheet's own pixel font.

    python3 viewer/res/tools/make_sheet.py [output.png]
"""
import struct
import sys
import zlib
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))

from canvas import Canvas, read_dib  # noqa: E402
import make_bitmaps  # noqa: E402
import pixfont  # noqa: E402

RES = Path(__file__).resolve().parent.parent
ROOT = RES.parent.parent

SHEET_BG = (226, 226, 230)
CAPTION = (24, 24, 28)
NOTE = (90, 90, 100)
GREEN = (0, 255, 0)


def load():
    out = []
    for name, _, bits, _ in make_bitmaps.BITMAPS:
        out.append((name, bits, read_dib((RES / "bitmaps" / (name + ".bmp")).read_bytes())))
    return out


def scaled(src, k):
    if k == 1:
        return src
    c = Canvas(src.w * k, src.h * k)
    for y in range(c.h):
        row = src.px[y // k]
        c.px[y] = [row[x // k] for x in range(c.w)]
    return c


def upper(s):
    return "".join(ch if ch in pixfont.FONT7 else ch.upper() for ch in s)


# Imitations of the viewer's own drawing.

def label(c, x0, y0, x1, y1, s, col):
    s = upper(s)
    w = pixfont.text_width(s)
    c.text(x0 + (x1 - x0 - w) // 2, y0 + (y1 - y0 - 7) // 2, s, col)


def pressed(c, bmp, x, y):
    """The pushed-in look of an image button."""
    c.blit(bmp.crop(0, 0, bmp.w - 1, bmp.h - 1), x + 1, y + 1)
    c.rect(x, y, x + bmp.w, y + 2, (192, 192, 192))
    c.rect(x, y, x + 2, y + bmp.h, (192, 192, 192))


def etched(c, x0, y0, x1, y1, fill=None, pattern=None):
    if x1 <= x0 or y1 <= y0:
        return
    c.frame(x0, y0, x1, y1, (128, 128, 128))
    c.frame(x0, y0, x1 - 1, y1 - 1, (255, 255, 255))
    for y in range(y0 + 1, y1 - 1):
        for x in range(x0 + 1, x1 - 1):
            c.set(x, y, fill if pattern is None else pattern.get(x % 8, y % 8))


def compose_tuner(b, height, pin_on=True, current=2):
    H = height
    c = Canvas(76, H, (0, 0, 0))
    c.rect(62, 1, 75, H - 1, (128, 128, 128))
    c.blit(b["TUNERRU"], 62, 1)
    h = H - 2
    level = (-2 if h >= 233 else -1 if h >= 217 else 0 if h >= 201 else 1 if h >= 185 else
             2 if h >= 169 else 3 if h >= 153 else 4)
    Y = 0 if level == 4 else 90
    oy = 1
    channels = [4, 6, 8, 10, 12, 0, 1, 3, 66, 0, 0, 0]
    if level != 4:
        for i, ch in enumerate(channels):
            x, y = (0 if i < 6 else 31), (i % 6) * 15 + oy
            c.blit(b["CHANNEL"], x, y)
            if ch:
                s = str(ch) if ch < 63 else "C%d" % (ch - 50)
                w = pixfont.text_width(s)
                c.text(x + (30 - w) // 2 + 1, y + 3, s, (255, 255, 255))
                c.text(x + (30 - w) // 2, y + 3, s, (0, 0, 0))
            if i == current:
                c.frame(x, y, x + 30, y + 14, GREEN)
    c.blit(b["CHANUP"], 0, Y + oy)
    pressed(c, b["CHANDOWN"], 31, Y + oy)
    S = h - 43 + (level - 3) * 16 if level < 4 else h - 43
    for y, text, press in ((S, "TV", True), (S + 22, "Main", False)):
        c.blit(b["MAINSUB"], 0, y + oy)
        if press:
            c.blit(b["POCIS"], 2, y + oy + 6)
        label(c, 10, y + oy + 3, 57, y + oy + 18, text, (255, 255, 255))
    etched(c, 0, Y + 20 + oy, 61, S - 1 + oy, fill=(192, 192, 192))
    etched(c, 0, S + 44 + oy, 14, h + oy, pattern=b["HATCH"])
    buttons = [("SETUP", 15, 2), ("FREEZE", 31, 1), ("MULTI", 47, 0), ("AUTOSTAR", 63, -1), ("PIN", 79, -2)]
    for name, up, most in buttons:
        if level <= most:
            y = h - up + oy
            c.blit(b[name], 15, y)
            if name == "PIN" and pin_on:
                c.frame(15, y, 61, y + 15, GREEN)
    return c


def compose_panel_only(b):
    c = Canvas(77, 172, (0, 0, 0))
    c.blit(b["POWER"], 1, 1)
    x0, y0, x1, y1 = 19, 1, 76, 17
    c.frame(x0, y0, x1, y1, (192, 192, 192))
    c.frame(x0, y0, x1 - 1, y1 - 1, (255, 255, 255))
    c.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, (192, 192, 192))
    c.blit(b["LOGO"], x0, y0)
    c.rect(63, 18, 76, 187, (128, 128, 128))
    c.blit(b["TUNERRU"], 63, 18)
    ox, oy = 1, 18
    for i in range(12):
        x, y = (0 if i < 6 else 31) + ox, (i % 6) * 15 + oy
        c.blit(b["CHANNEL"], x, y)
        s = str(i + 1)
        w = pixfont.text_width(s)
        c.text(x + (30 - w) // 2 + 1, y + 3, s, (255, 255, 255))
        c.text(x + (30 - w) // 2, y + 3, s, (0, 0, 0))
    c.blit(b["CHANUP"], ox, 90 + oy)
    c.blit(b["CHANDOWN"], 31 + ox, 90 + oy)
    for y, text in ((110, "S-Video"), (132, "Main/Sub")):
        c.blit(b["MAINSUB"], ox, y + oy)
        label(c, 10 + ox, y + oy + 3, 57 + ox, y + oy + 18, text, (255, 255, 255))
    etched(c, ox, 154 + oy, 14 + ox, 169 + oy, pattern=b["HATCH"])
    c.blit(b["FREEZE"], 15 + ox, 154 + oy)
    return c


def compose_main(b):
    w, h = 255, 195
    c = Canvas(w, h, (0, 0, 0))
    bars = [(192, 192, 192), (192, 192, 0), (0, 192, 192), (0, 192, 0), (192, 0, 192), (192, 0, 0),
            (0, 0, 192)]
    for i, col in enumerate(bars):
        c.rect(i * 240 // 7, 0, (i + 1) * 240 // 7, 140, col)
    c.rect(0, 140, 240, 180, (16, 16, 16))
    c.rect(1, h - 14, w - 15, h - 1, (128, 128, 128))
    c.blit(b["CLDECK"], 1, h - 14)
    c.rect(w - 14, 1, w - 1, h - 15, (128, 128, 128))
    c.blit(b["CLTUNER"], w - 14, 1)
    c.rect(w - 60, h - 13, w - 16, h - 2, (0, 0, 0))
    label(c, w - 60, h - 13, w - 16, h - 2, "240X180", (255, 255, 255))
    c.blit(b["GROW"], w - 15, h - 15)
    return c


def compose_deck(b, movie):
    c = b["VIDEO"].copy()
    c.blit(b["LOAD"], 16, 14)
    c.blit(b["SAVE"], 63, 14)
    c.blit(b["EDIT" if movie else "WALL"], 110, 14)
    if movie:
        label(c, 159, 64, 222, 75, "C: 812 MB", (0, 0, 0))
        c.blit(b["REWIND"], 16, 38)
        c.blit(b["PAUSE"], 86, 38)
    else:
        c.blit(b["REWINDD"], 15, 38)
        c.blit(b["PAUSED"], 86, 38)
    c.blit(b["STOP"], 39, 38)
    c.blit(b["PLAYP" if movie else "PLAY"], 63, 38)
    c.blit(b["RECORD"], 190, 38)
    c.blit(b["AVI" if movie else "BMP"], 291 if movie else 244, 14)
    c.rect(309, 33, 334, 47, (0, 0, 0))
    label(c, 309, 33, 334, 47, "10" if movie else "133", (255, 255, 255))
    c.blit(b["FRAMEM"], 291, 30)
    pressed(c, b["FRAMEP"], 338, 30)
    c.blit(b["VIDEOAVI" if movie else "VIDEOBMP"], 229, 51)
    if movie:
        for y, text in zip((0, 18, 36), ("11KHz", "16 bit", "Mono")):
            label(c, 229 + 62 + 16, 51 + y + 3, 229 + 62 + 58, 51 + y + 14, text, (255, 255, 255))
        c.blit(b["POCI"], 229 + 62 + 4, 51 + 18 + 4)
        c.blit(b["GAGE"], 1, 75)
        c.blit(b["VTHUMB"], 7 + 80, 83)
    else:
        label(c, 229 + 62 + 16, 51 + 18 + 3, 229 + 62 + 58, 51 + 18 + 14, "4", (255, 255, 255))
        c.blit(b["INTERVAL"], 229, 30)
    w = 255
    c.rect(w - 60, 2, w - 16, 13, (0, 0, 0))
    label(c, w - 60, 2, w - 16, 13, "240X180", (255, 255, 255))
    c.blit(b["GROW"], w - 15, 0)
    return c


def sheet():
    items = load()
    b = {name: img for name, _, img in items}
    W = 1240
    c = Canvas(W, 2400, SHEET_BG)
    c.text(16, 14, "ZORTV.EXE  SKIN BITMAPS", CAPTION, bold=True, scale=2)
    c.text(16, 36, "EVERY BITMAP RESOURCE AT 1:1 (SMALL ONES ALSO ENLARGED).  NAME  WIDTH X HEIGHT  BITS",
           NOTE)
    x, y, row_h = 16, 56, 0
    for name, bits, img in items:
        k = 1 if img.w > 100 or img.h > 60 else (4 if max(img.w, img.h) <= 20 else 2)
        big = scaled(img, k)
        cell_w = max(pixfont.text_width(name, bold=True) + 4, img.w + (big.w + 8 if k > 1 else 0),
                     pixfont.text_width("%dX%d %dBIT" % (img.w, img.h, bits), 5)) + 16
        cell_h = 24 + max(img.h, big.h)
        if x + cell_w > W - 8:
            x, y, row_h = 16, y + row_h + 10, 0
        c.text(x, y, name, CAPTION, bold=True)
        c.text(x, y + 10, "%dX%d %dBIT" % (img.w, img.h, bits), NOTE, size=5)
        c.frame(x - 1, y + 19, x + img.w + 1, y + 20 + img.h + 1, (160, 160, 168))
        c.blit(img, x, y + 20)
        if k > 1:
            c.blit(big, x + img.w + 8, y + 20)
        x += cell_w
        row_h = max(row_h, cell_h)
    y += row_h + 24
    c.hline(16, W - 16, y - 10, (160, 160, 168))
    c.text(16, y, "PUT TOGETHER AS THE VIEWER DRAWS THEM (ENLARGED 2X, TEXTS IMITATED)", CAPTION, bold=True)
    y += 16
    panels = [
        ("DECK, STILL MODE", compose_deck(b, False)),
        ("DECK, MOVIE MODE, PLAYING", compose_deck(b, True)),
    ]
    for title, img in panels:
        c.text(16, y, title, NOTE)
        c.blit(scaled(img, 2), 16, y + 10)
        y += img.h * 2 + 22
    row = [
        ("TUNER, HEIGHT 205", compose_tuner(b, 205)),
        ("TUNER, HEIGHT 240", compose_tuner(b, 240)),
        ("PANEL-ONLY MODE", compose_panel_only(b)),
        ("MAIN WINDOW, PANELS CLOSED", compose_main(b)),
    ]
    x, tallest = 16, 0
    for title, img in row:
        c.text(x, y, title, NOTE)
        c.blit(scaled(img, 2), x, y + 10)
        x += img.w * 2 + 24
        tallest = max(tallest, img.h * 2)
    y += tallest + 24
    return c.crop(0, 0, W, y)


def png(canvas):
    raw = bytearray()
    for row in canvas.px:
        raw.append(0)
        for r, g, b in row:
            raw.extend((r, g, b))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    head = struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def main(argv):
    out = Path(argv[0]) if argv else ROOT / "docs" / "bitmaps.png"
    out.parent.mkdir(parents=True, exist_ok=True)
    out.write_bytes(png(sheet()))
    print("wrote %s" % out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
