#!/usr/bin/env python3
"""Draws every bitmap resource of the viewer and writes them as palettised DIB files.

Writes viewer/res/bitmaps/NAME.bmp for each bitmap below and viewer/res/bitmaps.rc, which names
them for the resource compiler. Running it again gives the same bytes. To change a bitmap, edit
its drawing function (they are listed in BITMAPS at the end), run this script, look at the contact
sheet (tools/make_sheet.py) and check in the .bmp files with the script.

    python3 viewer/res/tools/make_bitmaps.py          # write
    python3 viewer/res/tools/make_bitmaps.py --check  # exit 1 when a file is missing or stale
"""
import sys
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))

from canvas import Canvas, Rng, dib_file, mix, shade  # noqa: E402
import pixfont  # noqa: E402

RES = Path(__file__).resolve().parent.parent

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)        # the stock grey brush of the frames and tabs
LIGHT_GREY = (192, 192, 192)  # the viewer's background and pressed-look brush

# Button styles: face gradient, bevel light and dark, outline.
SILVER = dict(top=(238, 239, 242), bottom=(178, 180, 186), hi=(255, 255, 255), sh=(112, 114, 120),
              outline=(20, 20, 22))
LATCHED = dict(top=(150, 152, 158), bottom=(204, 206, 212), hi=(92, 94, 100), sh=(236, 237, 240),
               outline=(20, 20, 22))
DARK = dict(top=(100, 104, 114), bottom=(54, 57, 64), hi=(150, 154, 164), sh=(28, 30, 34),
            outline=(4, 4, 6))
SLATE = dict(top=(86, 96, 120), bottom=(40, 45, 60), hi=(136, 146, 172), sh=(20, 22, 30),
             outline=(0, 0, 0))
GHOST = dict(top=(112, 114, 119), bottom=(100, 102, 107), hi=(132, 134, 139), sh=(74, 76, 81),
             outline=(42, 43, 46))

INK = (28, 28, 32)                 # symbols and labels on silver
GHOST_INK = (80, 82, 87)           # greyed symbols, with GHOST_EMBOSS below-right
GHOST_EMBOSS = (138, 140, 145)
ENGRAVED = (206, 208, 214)         # labels on the dark deck panel
ENGRAVED_SHADOW = (18, 19, 22)
PANEL = (62, 65, 71)               # the deck's brushed panel
SLOT = (14, 16, 22)                # the press-mark windows of the text buttons
LED_GREEN = (60, 240, 90)


def as_bg(bg):
    return bg if callable(bg) else (lambda x, y: bg)


def button(c, x, y, w, h, style, bg=None):
    """A bevelled button face filling (x, y, w, h); with bg its corners are rounded off."""
    s = style
    c.frame(x, y, x + w, y + h, s["outline"])
    c.vgradient(x + 1, y + 1, x + w - 1, y + h - 1, s["top"], s["bottom"])
    c.hline(x + 1, x + w - 1, y + 1, s["hi"])
    c.vline(x + 1, y + 1, y + h - 1, s["hi"])
    c.hline(x + 2, x + w - 1, y + h - 2, s["sh"])
    c.vline(x + w - 2, y + 2, y + h - 1, s["sh"])
    if bg is not None:
        f = as_bg(bg)
        for cx, cy in ((x, y), (x + w - 1, y), (x, y + h - 1), (x + w - 1, y + h - 1)):
            c.set(cx, cy, mix(f(cx, cy), s["outline"], 0.35))


def brushed(c, x0, y0, x1, y1, base, seed, step=3):
    """Horizontal streaks of a few close greys: brushed metal."""
    rng = Rng(seed)
    for y in range(y0, y1):
        row = rng.randint(-1, 1)
        x = x0
        while x < x1:
            n = rng.randint(4, 30)
            level = max(-3, min(3, row + rng.randint(-1, 1)))
            c.rect(x, y, min(x + n, x1), y + 1, shade(base, level * step))
            x += n


def sunken(c, x0, y0, x1, y1, fill, dark=(20, 21, 24), light=(104, 107, 113)):
    """A recessed window: dark edge top/left, light edge bottom/right, inside (x0, y0)-(x1, y1)."""
    c.hline(x0 - 1, x1 + 1, y0 - 1, dark)
    c.vline(x0 - 1, y0 - 1, y1 + 1, dark)
    c.hline(x0, x1 + 1, y1, light)
    c.vline(x1, y0, y1 + 1, light)
    if fill is not None:
        c.rect(x0, y0, x1, y1, fill)


def sampled(src, x0, y0, w, h):
    """A canvas holding the part of src at (x0, y0): backgrounds of bitmaps that sit on a panel."""
    return src.crop(x0, y0, w, h)


def embossed(draw, ink, emboss):
    """Draws a greyed symbol: its light copy one pixel below-right, then the symbol."""
    draw(1, 1, emboss)
    draw(0, 0, ink)


# Transport symbols, centred in the box (x, y, w, h).

def sym_play(c, x, y, w, h, col, dx=0, dy=0):
    cx, cy = x + w / 2 + dx, y + h / 2 + dy
    c.polygon([(cx - 4, cy - 6), (cx + 6, cy), (cx - 4, cy + 6)], col)


def sym_stop(c, x, y, w, h, col, dx=0, dy=0):
    cx, cy = x + w // 2 + dx, y + h // 2 + dy
    c.rect(cx - 4, cy - 4, cx + 5, cy + 5, col)


def sym_pause(c, x, y, w, h, col, dx=0, dy=0):
    cx, cy = x + w // 2 + dx, y + h // 2 + dy
    c.rect(cx - 5, cy - 5, cx - 1, cy + 6, col)
    c.rect(cx + 2, cy - 5, cx + 6, cy + 6, col)


def sym_rewind(c, x, y, w, h, col, dx=0, dy=0):
    cx, cy = x + w / 2 + dx, y + h / 2 + dy
    c.rect(int(cx - 7), int(cy - 5), int(cx - 5), int(cy + 5), col)
    c.polygon([(cx - 5, cy), (cx + 1, cy - 5.5), (cx + 1, cy + 5.5)], col)
    c.polygon([(cx + 1, cy), (cx + 7, cy - 5.5), (cx + 7, cy + 5.5)], col)


def sym_record(c, x, y, w, h, col, dx=0, dy=0, r=5.0):
    c.ellipse(x + w / 2 + dx, y + h / 2 + dy, r, r, col)


def transport(size, sym, style, col, bg):
    w, h = size
    c = bg.copy() if isinstance(bg, Canvas) else Canvas(w, h, bg)
    button(c, 0, 0, w, h, style, c.get(0, 0))
    sym(c, 0, 0, w, h, col)
    return c


def ghost_transport(c, x, y, w, h, sym):
    button(c, x, y, w, h, GHOST, c.get(x, y))
    embossed(lambda dx, dy, col: sym(c, x, y, w, h, col, dx, dy), GHOST_INK, GHOST_EMBOSS)


# The video deck: one brushed panel under every deck bitmap, so that their edges match.

DECK_W, DECK_H = 354, 119


def deck_plain():
    c = Canvas(DECK_W, DECK_H, BLACK)
    c.rect(1, 1, DECK_W - 1, 13, GREY)               # continues the main window's bottom strip
    brushed(c, 1, 13, DECK_W - 1, 105, PANEL, 0x4B1D)
    c.hline(1, DECK_W - 1, 13, shade(PANEL, 44))
    c.hline(1, DECK_W - 1, 104, shade(PANEL, -36))
    c.vline(1, 13, 105, shade(PANEL, 30))
    c.vline(DECK_W - 2, 13, 105, shade(PANEL, -30))
    c.rect(1, 105, DECK_W - 1, 118, GREY)            # the close strip
    return c


_PLAIN = None


def plain():
    global _PLAIN
    if _PLAIN is None:
        _PLAIN = deck_plain()
    return _PLAIN


def deck_at(x, y, w, h):
    return sampled(plain(), x, y, w, h)


def text_button(label, style, ink, bg, size=(46, 15)):
    w, h = size
    c = bg.copy()
    button(c, 0, 0, w, h, style, c.get(0, 0))
    if label:
        c.text_centred(0, w, (h - 7) // 2, label, ink)
    return c


def mode_button(label, lit, bg):
    """BMP/AVI: a dark button with a lamp; lit when its mode is on."""
    c = bg.copy()
    button(c, 0, 0, 46, 15, DARK if not lit else dict(DARK, top=(118, 124, 136), bottom=(70, 74, 84)),
           c.get(0, 0))
    if lit:
        c.ellipse(8, 7.5, 3.6, 3.6, (20, 90, 30))
        c.ellipse(8, 7.5, 2.6, 2.6, LED_GREEN)
        c.set(7, 6, (200, 255, 210))
        c.text(14, 4, label, WHITE)
    else:
        c.ellipse(8, 7.5, 2.6, 2.6, (24, 56, 30))
        c.text(14, 4, label, (150, 153, 160))
    return c


def plus_minus(plus, style, ink, bg):
    c = bg.copy()
    button(c, 0, 0, 14, 20, style, c.get(0, 0))
    c.rect(3, 9, 11, 11, ink)
    if plus:
        c.rect(6, 6, 8, 14, ink)
    return c


def tab(w, h, direction):
    """The tabs of the panel strips: a raised grey tab with three arrows pointing the way the
    panel moves."""
    c = Canvas(w, h, GREY)
    c.rect(0, 0, w, h, (168, 168, 168))
    c.hline(0, w, 0, (232, 232, 232))
    c.vline(0, 0, h, (232, 232, 232))
    c.hline(1, w, h - 1, (72, 72, 72))
    c.vline(w - 1, 1, h, (72, 72, 72))
    vertical = direction in ("left", "right")
    for k in range(3):
        if vertical:
            cx, cy = w // 2, h // 2 + (k - 1) * 11
        else:
            cx, cy = w // 2 + (k - 1) * 11, h // 2
        pts = {
            "left": [(cx + 2, cy - 3), (cx + 2, cy + 3), (cx - 1, cy)],
            "right": [(cx - 1, cy - 3), (cx - 1, cy + 3), (cx + 2, cy)],
            "up": [(cx - 3, cy + 1), (cx + 3, cy + 1), (cx, cy - 2)],
            "down": [(cx - 3, cy - 1), (cx + 3, cy - 1), (cx, cy + 2)],
        }[direction]
        for yy in range(-4, 5):
            for xx in range(-4, 5):
                if _in_triangle(cx + xx, cy + yy, pts):
                    c.set(cx + xx, cy + yy, (24, 24, 24))
    return c


def _in_triangle(x, y, pts):
    (x1, y1), (x2, y2), (x3, y3) = pts

    def side(ax, ay, bx, by):
        return (x - bx) * (ay - by) - (ax - bx) * (y - by)
    d1, d2, d3 = side(x1, y1, x2, y2), side(x2, y2, x3, y3), side(x3, y3, x1, y1)
    return not ((d1 < 0 or d2 < 0 or d3 < 0) and (d1 > 0 or d2 > 0 or d3 > 0))


# Positions on the deck (its elements' places), used to draw each bitmap on the matching panel.
LOAD_AT, SAVE_AT, EDIT_AT = (16, 14), (63, 14), (110, 14)
BMP_AT, AVI_AT = (244, 14), (291, 14)
REWIND_AT, STOP_AT, PLAY_AT, PAUSE_AT, RECORD_AT = (16, 38), (39, 38), (63, 38), (86, 38), (190, 38)
FRAMEM_AT, FRAMEP_AT = (291, 30), (338, 30)
INTERVAL_AT, PANEL_AT, GAGE_AT = (229, 30), (229, 51), (1, 75)
TEXT_BUTTON_ROWS = (0, 18, 36)     # the text buttons inside VIDEOBMP / VIDEOAVI, at x 62, 61 x 17


def at(pos, w, h):
    return deck_at(pos[0], pos[1], w, h)


def draw_video():
    c = plain().copy()
    # The close strip's tab.
    c.blit(tab(43, 13, "up"), 1, 105)
    # Brand plate.
    c.text(162, 17, "KIVO", WHITE, bold=True, shadow=ENGRAVED_SHADOW)
    c.text(192, 19, "VIDEO DECK", (150, 190, 250), size=5, shadow=ENGRAVED_SHADOW)
    c.hline(162, 238, 26, (150, 190, 250))
    # Transport labels.
    for (x, _), w, label in ((REWIND_AT, 22, "REW"), (STOP_AT, 23, "STOP"), (PLAY_AT, 22, "PLAY"),
                             (PAUSE_AT, 23, "PAUSE")):
        c.text_centred(x, x + w, 31, label, ENGRAVED, size=5, shadow=ENGRAVED_SHADOW)
    c.text_centred(RECORD_AT[0], RECORD_AT[0] + 23, 31, "REC", (255, 110, 96), size=5,
                   shadow=ENGRAVED_SHADOW)
    # Greyed buttons under the image buttons: what a disabled button shows.
    for (x, y), label in ((LOAD_AT, "LOAD"), (SAVE_AT, "SAVE"), (EDIT_AT, "")):
        button(c, x, y, 46, 15, GHOST, c.get(x, y))
        if label:
            c.text_centred(x + 1, x + 47, y + 5, label, GHOST_EMBOSS)
            c.text_centred(x, x + 46, y + 4, label, GHOST_INK)
    for (x, y), w, sym in ((REWIND_AT, 22, sym_rewind), (STOP_AT, 23, sym_stop), (PLAY_AT, 22, sym_play),
                           (PAUSE_AT, 23, sym_pause), (RECORD_AT, 23, sym_record)):
        ghost_transport(c, x, y, w, 23, sym)
    for (x, y), plus in ((FRAMEM_AT, False), (FRAMEP_AT, True)):
        c.blit(plus_minus(plus, GHOST, GHOST_INK, c.crop(x, y, 14, 20)), x, y)
    # The mode buttons when off (lit, they are the BMP and AVI bitmaps).
    c.blit(mode_button("STILL", False, c.crop(*BMP_AT, 46, 15)), *BMP_AT)
    c.blit(mode_button("MOVIE", False, c.crop(*AVI_AT, 46, 15)), *AVI_AT)
    # Frame-rate caption (the INTERVAL bitmap covers it in still mode).
    x, y = INTERVAL_AT
    c.text_right(x + 59, y + 4, "FRAME RATE", ENGRAVED, size=5, shadow=ENGRAVED_SHADOW)
    c.text_right(x + 59, y + 11, "PER SEC.", (150, 190, 250), size=5, shadow=ENGRAVED_SHADOW)
    # The number window of the rate / interval label.
    sunken(c, 309, 33, 334, 47, BLACK)
    # Tape window between the transport and the record button.
    sunken(c, 115, 39, 185, 60, (16, 18, 22))
    c.rect(121, 43, 179, 56, (26, 28, 34))
    c.ellipse(134, 49.5, 9.5, 9.5, (70, 52, 40))      # a fuller reel on the left
    c.ellipse(166, 49.5, 6.5, 6.5, (70, 52, 40))
    c.hline(134, 167, 58, (70, 52, 40))
    for cx in (134, 166):
        c.ring(cx, 49.5, 4.5, 2.2, (196, 198, 204))
        for dx, dy in ((0, -3), (2.6, 1.5), (-2.6, 1.5)):
            c.ellipse(cx + dx, 49.5 + dy, 0.9, 0.9, (26, 28, 34))
    c.hline(116, 185, 40, (44, 47, 54))
    # The display of the free space or the clip length.
    sunken(c, 159, 64, 222, 75, (164, 180, 146))
    c.hline(159, 222, 64, (142, 158, 126))
    return c


def draw_load():
    return text_button("LOAD", SILVER, INK, at(LOAD_AT, 46, 15))


def draw_save():
    return text_button("SAVE", SILVER, INK, at(SAVE_AT, 46, 15))


def draw_edit():
    return text_button("EDIT", SILVER, INK, at(EDIT_AT, 46, 15))


def draw_wall():
    return text_button("WALL", SILVER, INK, at(EDIT_AT, 46, 15))


def draw_bmp():
    return mode_button("STILL", True, at(BMP_AT, 46, 15))


def draw_avi():
    return mode_button("MOVIE", True, at(AVI_AT, 46, 15))


def draw_rewind():
    return transport((22, 23), sym_rewind, SILVER, INK, at(REWIND_AT, 22, 23))


def draw_rewindd():
    # One pixel wider than REWIND and one to the left: the panel, then the greyed button.
    c = deck_at(REWIND_AT[0] - 1, REWIND_AT[1], 23, 23)
    ghost_transport(c, 1, 0, 22, 23, sym_rewind)
    return c


def draw_stop():
    return transport((23, 23), sym_stop, SILVER, INK, at(STOP_AT, 23, 23))


def draw_play():
    return transport((22, 23), sym_play, SILVER, INK, at(PLAY_AT, 22, 23))


def draw_playp():
    c = transport((22, 23), lambda *a: None, LATCHED, INK, at(PLAY_AT, 22, 23))
    sym_play(c, 0, 0, 22, 23, (10, 90, 30), 1, 1)
    sym_play(c, 0, 0, 22, 23, (40, 220, 70))
    return c


def draw_pause():
    return transport((23, 23), sym_pause, SILVER, INK, at(PAUSE_AT, 23, 23))


def draw_pausep():
    c = transport((23, 23), lambda *a: None, LATCHED, INK, at(PAUSE_AT, 23, 23))
    sym_pause(c, 0, 0, 23, 23, (120, 80, 0), 1, 1)
    sym_pause(c, 0, 0, 23, 23, (255, 184, 20))
    return c


def draw_paused():
    # Two pixels wider than PAUSE: the greyed button, then the panel.
    c = at(PAUSE_AT, 25, 23)
    ghost_transport(c, 0, 0, 23, 23, sym_pause)
    return c


def draw_record():
    c = transport((23, 23), lambda *a: None, SILVER, INK, at(RECORD_AT, 23, 23))
    sym_record(c, 0, 0, 23, 23, (90, 10, 10), r=5.6)
    sym_record(c, 0, 0, 23, 23, (186, 30, 30), r=4.8)
    return c


def draw_recordp():
    c = transport((23, 23), lambda *a: None, LATCHED, INK, at(RECORD_AT, 23, 23))
    sym_record(c, 0, 0, 23, 23, (255, 150, 140), r=7.0)
    sym_record(c, 0, 0, 23, 23, (255, 40, 30), r=5.4)
    c.ellipse(10.2, 9.7, 1.6, 1.4, (255, 190, 180))
    return c


def draw_framem():
    return plus_minus(False, SILVER, INK, at(FRAMEM_AT, 14, 20))


def draw_framep():
    return plus_minus(True, SILVER, INK, at(FRAMEP_AT, 14, 20))


def draw_interval():
    c = at(INTERVAL_AT, 61, 20)
    c.text_right(59, 4, "INTERVAL", ENGRAVED, size=5, shadow=ENGRAVED_SHADOW)
    c.text_right(59, 11, "MILLISEC.", (150, 190, 250), size=5, shadow=ENGRAVED_SHADOW)
    return c


def text_button_face(c, y):
    """A dark face for the labels the deck writes in white, with the press-mark window."""
    button(c, 62, y, 61, 17, DARK, c.get(62, y))
    c.rect(66, y + 4, 75, y + 13, SLOT)
    c.hline(65, 76, y + 3, (30, 32, 36))
    c.vline(65, y + 3, y + 14, (30, 32, 36))
    c.hline(66, 76, y + 13, (128, 132, 142))
    c.vline(75, y + 4, y + 14, (128, 132, 142))


def draw_videoavi():
    c = at(PANEL_AT, 123, 53)
    for y, label in zip(TEXT_BUTTON_ROWS, ("SOUND RATE", "SOUND BITS", "SOUND MODE")):
        text_button_face(c, y)
        c.text_right(58, y + 6, label, ENGRAVED, size=5, shadow=ENGRAVED_SHADOW)
    return c


def draw_videobmp():
    c = at(PANEL_AT, 123, 53)
    text_button_face(c, TEXT_BUTTON_ROWS[1])
    c.text_right(58, TEXT_BUTTON_ROWS[1] + 6, "FRAMES", ENGRAVED, size=5, shadow=ENGRAVED_SHADOW)
    c.text(3, 5, "STILL CAPTURE", (150, 190, 250), size=5, shadow=ENGRAVED_SHADOW)
    # A little mosaic: the still may be a grid of frames.
    for j in range(3):
        for i in range(3):
            x, y = 6 + i * 6, 22 + j * 5
            c.rect(x, y, x + 5, y + 4, (96, 140, 200) if (i + j) % 2 else (150, 190, 250))
    return c


def draw_gage():
    c = at(GAGE_AT, 227, 24)
    sunken(c, 1, 1, 226, 23, (34, 36, 41))
    for k in range(11):
        x = 13 + 20 * k
        top = 4 if k % 5 == 0 else 5
        c.vline(x, top, 8, (150, 153, 160))
        c.vline(x, 17, 17 + 8 - top, (150, 153, 160))
    c.rect(11, 11, 217, 13, BLACK)
    c.hline(11, 217, 13, (88, 91, 98))
    c.hline(11, 217, 10, (22, 23, 26))
    return c


def draw_vthumb():
    c = Canvas(14, 9, SILVER["outline"])
    c.rect(1, 1, 13, 8, (204, 206, 210))
    c.hline(1, 13, 1, WHITE)
    c.vline(1, 1, 8, WHITE)
    c.hline(2, 13, 7, (112, 114, 120))
    c.vline(12, 2, 8, (112, 114, 120))
    c.vline(6, 2, 7, (60, 62, 66))
    c.vline(7, 2, 7, WHITE)
    return c


def draw_poci():
    c = Canvas(9, 9, SLOT)
    c.ellipse(4.5, 4.5, 4.0, 4.0, (18, 100, 36))
    c.ellipse(4.5, 4.5, 3.0, 3.0, LED_GREEN)
    c.set(3, 3, (210, 255, 220))
    return c


# The tuner panel and the main window.

def draw_channel():
    c = Canvas(30, 14, BLACK)
    button(c, 0, 0, 30, 14, SILVER, BLACK)
    return c


def draw_chan(up):
    c = Canvas(30, 19, BLACK)
    button(c, 0, 0, 30, 19, SILVER, BLACK)
    c.text(5, 7, "CH", INK, size=5)
    if up:
        c.polygon([(14.5, 12.5), (25.5, 12.5), (20, 6.5)], INK)
    else:
        c.polygon([(14.5, 6.5), (25.5, 6.5), (20, 12.5)], INK)
    return c


def option_button(label):
    c = Canvas(46, 15, BLACK)
    button(c, 0, 0, 46, 15, DARK, BLACK)
    c.text_centred(0, 46, 4, label, (228, 230, 236), shadow=(20, 21, 24))
    return c


def draw_mainsub():
    c = Canvas(61, 21, BLACK)
    button(c, 0, 0, 61, 21, SLATE, BLACK)
    c.rect(2, 6, 8, 15, SLOT)                 # POCIS lights up here while pressed
    c.polygon([(3, 8), (3, 13), (6.5, 10.5)], (52, 60, 78))
    return c


def draw_pocis():
    c = Canvas(6, 9, SLOT)
    c.polygon([(0.5, 1.5), (0.5, 8.5), (5.5, 5)], LED_GREEN, aa=False)
    c.set(1, 3, (210, 255, 220))
    return c


def draw_hatch():
    # Perforated metal, as on a speaker grille.
    c = Canvas(8, 8, (66, 68, 73))
    for hx, hy in ((1, 1), (5, 5)):
        c.rect(hx, hy, hx + 2, hy + 2, BLACK)
        c.hline(hx, hx + 2, hy + 2, (112, 115, 121))
        c.vline(hx + 2, hy, hy + 3, (112, 115, 121))
    return c


def draw_grow():
    c = Canvas(15, 15, GREY)
    for y in range(1, 14):
        for x in range(1, 14):
            s = (14 - x) + (14 - y)
            if s in (3, 7, 11):
                c.set(x, y, WHITE)
            elif s in (4, 5, 8, 9, 12, 13):
                c.set(x, y, (56, 56, 56))
    return c


def draw_power():
    c = Canvas(17, 16, BLACK)
    c.rrect(0, 0, 17, 16, 4, (16, 16, 18))
    c.rrect(1, 1, 16, 15, 3, (76, 80, 88))
    c.rrect(2, 2, 15, 14, 2.5, (52, 55, 62))
    red = (255, 84, 60)
    cx, cy = 8.5, 8.5
    c.shape(lambda x, y: 3.1 ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= 4.6 ** 2
            and not (y < cy and abs(x - cx) < 2.2), 3, 3, 14, 14, red)
    c.rect(8, 3, 9, 9, red)
    c.shape(lambda x, y: 7.6 <= x <= 9.4 and 2.8 <= y <= 8.6, 7, 2, 10, 9, red)
    return c


def draw_logo(active):
    c = Canvas(56, 15)
    if active:
        c.hgradient(0, 0, 56, 15, (0, 0, 128), (16, 132, 208))
        text, body, screen = WHITE, (230, 232, 236), (64, 200, 255)
    else:
        c.hgradient(0, 0, 56, 15, GREY, LIGHT_GREY)
        text, body, screen = (212, 208, 200), (200, 200, 200), (150, 150, 150)
    c.hline(0, 56, 0, WHITE)
    c.vline(0, 0, 15, WHITE)
    # A small television: cabinet, screen, feet.
    c.rect(3, 3, 15, 12, body)
    c.rect(4, 4, 12, 11, screen)
    c.vline(13, 5, 6, (200, 40, 40))
    c.vline(13, 8, 10, (90, 90, 96))
    c.set(4, 12, body)
    c.set(13, 12, body)
    c.text(19, 4, "KIVO", text, bold=True, shadow=(0, 0, 64) if active else (118, 118, 118))
    return c


# The remote-control help picture.

REMOTE_KEYS = [
    # (side, row y, key face, key draws, name, what it does)
    ("L", 82, "power", "POWER", "BRING KIVO TO FRONT, OR QUIT"),
    ("R", 82, "guide", "GUIDE", "SHOW OR CLOSE THIS HELP"),
    ("L", 116, "input", "INPUT", "TV, CATV, S-VIDEO, VIDEO"),
    ("R", 116, "chup", "CH UP", "NEXT CHANNEL"),
    ("L", 150, "mainsub", "MAIN/SUB", "SOUND: MAIN, MAIN+SUB, SUB"),
    ("R", 150, "chdown", "CH DOWN", "PREVIOUS CHANNEL"),
    ("L", 184, "size", "SIZE", "FULL-SCREEN TV"),
    ("R", 184, "freeze", "FREEZE", "HOLD THE PICTURE"),
    ("L", 224, "prev", "PREV", "BACK TO THE START OF THE CLIP"),
    ("R", 224, "play", "PLAY", "PLAY THE CLIP OR STILL"),
    ("L", 258, "capture", "CAPTURE", "RECORD A CLIP OR A STILL"),
    ("R", 258, "stop", "STOP", "STOP PLAYBACK OR RECORDING"),
]


def remote_key(c, x0, yc, kind):
    x1 = x0 + 42
    y0, y1 = yc - 9, yc + 9
    colours = {
        "power": (196, 40, 36), "guide": (54, 104, 200), "capture": (150, 40, 40),
        "chup": (170, 172, 180), "chdown": (170, 172, 180),
        "prev": (92, 95, 104), "play": (92, 95, 104), "stop": (92, 95, 104),
    }
    face = colours.get(kind, (126, 132, 148))
    c.rrect(x0 + 1, y0 + 1, x1 + 1, y1 + 1, 5, (10, 10, 12))            # shadow
    c.rrect(x0, y0, x1, y1, 5, shade(face, -40))
    c.rrect(x0 + 0.5, y0 + 0.5, x1 - 1, y1 - 1, 4.5, shade(face, 36))
    c.rrect(x0 + 1.5, y0 + 1.5, x1 - 1, y1 - 1, 4, face)
    cx, cy = (x0 + x1) / 2, yc
    dark_ink = (20, 20, 24)
    light_ink = (246, 246, 250)
    if kind == "power":
        c.shape(lambda x, y: 3.4 ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= 5.2 ** 2
                and not (y < cy and abs(x - cx) < 2.4), cx - 6, cy - 6, cx + 6, cy + 6, light_ink)
        c.shape(lambda x, y: abs(x - cx) <= 1.0 and cy - 6.5 <= y <= cy, cx - 2, cy - 7, cx + 2, cy, light_ink)
    elif kind in ("chup", "chdown"):
        c.text(int(x0) + 8, yc - 3, "CH", dark_ink, size=5)
        if kind == "chup":
            c.polygon([(cx + 1, cy + 4), (cx + 13, cy + 4), (cx + 7, cy - 4)], dark_ink)
        else:
            c.polygon([(cx + 1, cy - 4), (cx + 13, cy - 4), (cx + 7, cy + 4)], dark_ink)
    elif kind == "prev":
        sym_rewind(c, x0, y0, 42, 18, light_ink)
    elif kind == "play":
        sym_play(c, x0, y0, 42, 18, (80, 240, 100))
    elif kind == "stop":
        sym_stop(c, x0, y0, 42, 18, light_ink)
    elif kind == "capture":
        sym_record(c, x0, y0, 42, 18, (255, 60, 50), r=5.5)
    else:
        label = {"guide": "GUIDE", "input": "INPUT", "mainsub": "MAIN/SUB", "size": "SIZE",
                 "freeze": "FREEZE"}[kind]
        c.text_centred(int(x0), int(x1), yc - 2, label, light_ink, size=5)


def draw_tvremo():
    W, H = 577, 378
    c = Canvas(W, H)
    c.vgradient(0, 0, W, H, (36, 44, 64), (8, 10, 18))
    c.frame(0, 0, W, H, BLACK)
    c.hline(1, W - 1, 1, (120, 130, 156))
    c.vline(1, 1, H - 1, (120, 130, 156))
    c.hline(2, W - 1, H - 2, (2, 2, 4))
    c.vline(W - 2, 2, H - 1, (2, 2, 4))
    c.text(18, 13, "KIVO", WHITE, bold=True, scale=2, shadow=BLACK)
    c.text(82, 20, "REMOTE CONTROL GUIDE", (150, 190, 255), shadow=BLACK)
    c.hline(16, W - 16, 38, (66, 78, 110))
    c.hline(16, W - 16, 39, (14, 16, 26))
    # The remote: a long graphite body with an infra-red window at the top.
    rx0, rx1, ry0, ry1 = 224, 352, 50, 350
    c.rrect(rx0 + 5, ry0 + 5, rx1 + 5, ry1 + 5, 16, (4, 5, 9))
    c.rrect(rx0, ry0, rx1, ry1, 16, (16, 17, 20))
    c.rrect(rx0 + 1, ry0 + 1, rx1 - 1, ry1 - 1, 15, (92, 95, 104))
    c.rrect(rx0 + 2, ry0 + 2, rx1 - 1, ry1 - 1, 14, (44, 46, 52))
    c.rrect(rx0 + 3, ry0 + 3, rx1 - 3, ry1 - 3, 13, (62, 65, 72))
    c.rrect(rx0 + 8, ry0 + 18, rx1 - 8, ry1 - 56, 8, (40, 42, 48))
    c.rrect(268, 56, 308, 64, 3, (70, 8, 14))
    c.hline(272, 305, 57, (150, 40, 52))
    for side, yc, kind, name, what in REMOTE_KEYS:
        if side == "L":
            kx = 240
            c.hline(214, kx - 1, yc, (120, 146, 196))
            c.rect(212, yc - 1, 215, yc + 2, (160, 190, 240))
            c.text_right(206, yc - 9, name, WHITE, bold=True, shadow=BLACK)
            c.text_right(206, yc + 2, what, (176, 186, 206), shadow=BLACK)
        else:
            kx = 294
            c.hline(kx + 43, 364, yc, (120, 146, 196))
            c.rect(362, yc - 1, 365, yc + 2, (160, 190, 240))
            c.text(370, yc - 9, name, WHITE, bold=True, shadow=BLACK)
            c.text(370, yc + 2, what, (176, 186, 206), shadow=BLACK)
        remote_key(c, kx, yc, kind)
    # Speaker holes and the maker's name at the foot of the remote.
    for j in range(3):
        for i in range(7):
            c.ellipse(265 + i * 8, 306 + j * 7, 1.6, 1.6, (22, 23, 27))
    c.text_centred(rx0, rx1, 330, "KIVO", (196, 200, 210), bold=True, shadow=(20, 21, 24))
    c.text_centred(0, W, 362, "PRESS GUIDE AGAIN, OR CLICK OUTSIDE THIS WINDOW, TO CLOSE IT.",
                   (140, 152, 178))
    return c


# Every bitmap: name, size, bits per pixel, drawing.
BITMAPS = [
    # Main window
    ("LOGO", (56, 15), 8, lambda: draw_logo(True)),
    ("LOGO2", (56, 15), 8, lambda: draw_logo(False)),
    ("CLTUNER", (13, 43), 4, lambda: tab(13, 43, "right")),
    ("CLDECK", (43, 13), 4, lambda: tab(43, 13, "down")),
    ("GROW", (15, 15), 4, draw_grow),
    # Tuner panel
    ("TUNERRU", (13, 43), 4, lambda: tab(13, 43, "left")),
    ("CHANNEL", (30, 14), 4, draw_channel),
    ("CHANUP", (30, 19), 8, lambda: draw_chan(True)),
    ("CHANDOWN", (30, 19), 8, lambda: draw_chan(False)),
    ("AUTOSTAR", (46, 15), 8, lambda: option_button("AUTO")),
    ("PIN", (46, 15), 8, lambda: option_button("ON TOP")),
    ("MULTI", (46, 15), 8, lambda: option_button("MULTI")),
    ("FREEZE", (46, 15), 8, lambda: option_button("FREEZE")),
    ("SETUP", (46, 15), 8, lambda: option_button("SETUP")),
    ("MAINSUB", (61, 21), 8, draw_mainsub),
    ("POCIS", (6, 9), 4, draw_pocis),
    ("HATCH", (8, 8), 4, draw_hatch),
    ("POWER", (17, 16), 8, draw_power),
    # Video deck
    ("VIDEO", (354, 119), 8, draw_video),
    ("LOAD", (46, 15), 4, draw_load),
    ("SAVE", (46, 15), 4, draw_save),
    ("EDIT", (46, 15), 4, draw_edit),
    ("WALL", (46, 15), 4, draw_wall),
    ("BMP", (46, 15), 8, draw_bmp),
    ("AVI", (46, 15), 8, draw_avi),
    ("REWIND", (22, 23), 8, draw_rewind),
    ("REWINDD", (23, 23), 8, draw_rewindd),
    ("STOP", (23, 23), 8, draw_stop),
    ("PLAY", (22, 23), 8, draw_play),
    ("PLAYP", (22, 23), 8, draw_playp),
    ("PAUSE", (23, 23), 8, draw_pause),
    ("PAUSEP", (23, 23), 8, draw_pausep),
    ("PAUSED", (25, 23), 8, draw_paused),
    ("RECORD", (23, 23), 8, draw_record),
    ("RECORDP", (23, 23), 8, draw_recordp),
    ("FRAMEM", (14, 20), 8, draw_framem),
    ("FRAMEP", (14, 20), 8, draw_framep),
    ("INTERVAL", (61, 20), 4, draw_interval),
    ("VIDEOBMP", (123, 53), 8, draw_videobmp),
    ("VIDEOAVI", (123, 53), 8, draw_videoavi),
    ("GAGE", (227, 24), 4, draw_gage),
    ("VTHUMB", (14, 9), 4, draw_vthumb),
    ("POCI", (9, 9), 4, draw_poci),
    # Remote-control help
    ("TVREMO", (577, 378), 8, draw_tvremo),
]


def render():
    """Returns [(name, bits, file bytes)] for every bitmap."""
    out = []
    for name, (w, h), bits, draw in BITMAPS:
        canvas = draw()
        if (canvas.w, canvas.h) != (w, h):
            raise AssertionError("%s drawn %dx%d, must be %dx%d" % (name, canvas.w, canvas.h, w, h))
        out.append((name, bits, dib_file(canvas, bits)))
    return out


def rc_text(names):
    lines = ["#pragma code_page(65001)",
             "// The skin bitmaps, drawn by tools/make_bitmaps.py (edit the script and run it again)."]
    lines += ['%s BITMAP "bitmaps/%s.bmp"' % (n, n) for n in names]
    return "\n".join(lines) + "\n"


def main(argv):
    check = "--check" in argv
    files = {RES / "bitmaps" / (name + ".bmp"): data for name, _, data in render()}
    files[RES / "bitmaps.rc"] = rc_text([name for name, _, _, _ in BITMAPS]).encode("utf-8")
    stale = [p for p, data in files.items() if not p.exists() or p.read_bytes() != data]
    extra = sorted(set((RES / "bitmaps").glob("*.bmp")) - set(files))
    if check:
        for p in stale + extra:
            print("out of date: %s" % p.relative_to(RES))
        return 1 if stale or extra else 0
    (RES / "bitmaps").mkdir(exist_ok=True)
    for p in stale:
        p.write_bytes(files[p])
    for p in extra:
        p.unlink()
    print("%d bitmaps, %d file(s) written" % (len(BITMAPS), len(stale)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
