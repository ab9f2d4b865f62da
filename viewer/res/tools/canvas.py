"""An RGB drawing surface with the few primitives the skin bitmaps need, and DIB writing."""
import struct

import pixfont


def mix(a, b, t):
    """Colour between a (t = 0) and b (t = 1)."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def shade(c, d):
    return tuple(max(0, min(255, v + d)) for v in c)


class Rng:
    """A small linear congruential generator, so that every run draws the same texture."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF

    def next(self):
        self.state = (self.state * 1664525 + 1013904223) & 0xFFFFFFFF
        return self.state >> 8

    def randint(self, lo, hi):
        return lo + self.next() % (hi - lo + 1)


class Canvas:
    def __init__(self, w, h, fill=(0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[tuple(fill)] * w for _ in range(h)]

    def get(self, x, y):
        return self.px[y][x]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = tuple(c)

    def blend(self, x, y, c, a):
        if a <= 0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        self.px[y][x] = tuple(c) if a >= 1 else mix(self.px[y][x], c, a)

    def copy(self):
        other = Canvas(self.w, self.h)
        other.px = [row[:] for row in self.px]
        return other

    def crop(self, x, y, w, h):
        other = Canvas(w, h)
        other.px = [self.px[y + j][x:x + w] for j in range(h)]
        return other

    def blit(self, src, x, y):
        for j in range(src.h):
            for i in range(src.w):
                self.set(x + i, y + j, src.px[j][i])

    # Rectangles take the left/top inclusive and right/bottom exclusive.
    def rect(self, x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(self.h, y1)):
            row = self.px[y]
            for x in range(max(0, x0), min(self.w, x1)):
                row[x] = tuple(c)

    def frame(self, x0, y0, x1, y1, c):
        self.rect(x0, y0, x1, y0 + 1, c)
        self.rect(x0, y1 - 1, x1, y1, c)
        self.rect(x0, y0, x0 + 1, y1, c)
        self.rect(x1 - 1, y0, x1, y1, c)

    def hline(self, x0, x1, y, c):
        self.rect(x0, y, x1, y + 1, c)

    def vline(self, x, y0, y1, c):
        self.rect(x, y0, x + 1, y1, c)

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        n = max(1, y1 - y0 - 1)
        for y in range(y0, y1):
            self.rect(x0, y, x1, y + 1, mix(top, bottom, (y - y0) / n))

    def hgradient(self, x0, y0, x1, y1, left, right):
        n = max(1, x1 - x0 - 1)
        for x in range(x0, x1):
            self.rect(x, y0, x + 1, y1, mix(left, right, (x - x0) / n))

    def shape(self, inside, x0, y0, x1, y1, c, aa=True):
        """Fills the pixels of the box whose centres (or, with aa, 4 x 4 samples) satisfy inside(x, y)."""
        samples = [(i + 0.5) / 4 for i in range(4)] if aa else [0.5]
        total = len(samples) ** 2
        for y in range(max(0, int(y0)), min(self.h, int(y1) + 1)):
            for x in range(max(0, int(x0)), min(self.w, int(x1) + 1)):
                hits = sum(1 for sy in samples for sx in samples if inside(x + sx, y + sy))
                if hits:
                    self.blend(x, y, c, hits / total)

    def polygon(self, pts, c, aa=True):
        def inside(px, py):
            odd = False
            n = len(pts)
            for i in range(n):
                xa, ya = pts[i]
                xb, yb = pts[(i + 1) % n]
                if (ya > py) != (yb > py) and px < xa + (py - ya) * (xb - xa) / (yb - ya):
                    odd = not odd
            return odd
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        self.shape(inside, min(xs), min(ys), max(xs), max(ys), c, aa)

    def ellipse(self, cx, cy, rx, ry, c, aa=True):
        self.shape(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0,
                   cx - rx, cy - ry, cx + rx, cy + ry, c, aa)

    def ring(self, cx, cy, r_out, r_in, c, aa=True):
        self.shape(lambda x, y: r_in ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r_out ** 2,
                   cx - r_out, cy - r_out, cx + r_out, cy + r_out, c, aa)

    def rrect(self, x0, y0, x1, y1, r, c, aa=True):
        """Rounded rectangle over the real box (x0, y0)-(x1, y1)."""
        def inside(x, y):
            if not (x0 <= x <= x1 and y0 <= y <= y1):
                return False
            dx = max(x0 + r - x, 0, x - (x1 - r))
            dy = max(y0 + r - y, 0, y - (y1 - r))
            return dx * dx + dy * dy <= r * r
        self.shape(inside, x0, y0, x1, y1, c, aa)

    def line(self, xa, ya, xb, yb, c):
        """A 1-pixel line between pixel centres (Bresenham)."""
        dx, dy = abs(xb - xa), -abs(yb - ya)
        sx = 1 if xa < xb else -1
        sy = 1 if ya < yb else -1
        err = dx + dy
        while True:
            self.set(xa, ya, c)
            if xa == xb and ya == yb:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                xa += sx
            if e2 <= dx:
                err += dx
                ya += sy

    def text(self, x, y, s, c, size=7, bold=False, scale=1, shadow=None, shadow_offset=(1, 1)):
        if shadow is not None:
            for cx, cy in pixfont.text_cells(s, size, bold, scale):
                self.set(x + cx + shadow_offset[0], y + cy + shadow_offset[1], shadow)
        for cx, cy in pixfont.text_cells(s, size, bold, scale):
            self.set(x + cx, y + cy, c)

    def text_centred(self, x0, x1, y, s, c, size=7, bold=False, scale=1, shadow=None):
        w = pixfont.text_width(s, size, bold, scale)
        self.text(x0 + (x1 - x0 - w) // 2, y, s, c, size, bold, scale, shadow)

    def text_right(self, x1, y, s, c, size=7, bold=False, scale=1, shadow=None):
        self.text(x1 - pixfont.text_width(s, size, bold, scale), y, s, c, size, bold, scale, shadow)

    def colours(self):
        return {c for row in self.px for c in row}


# Palettes and DIB files.

def _median_cut(colours, count):
    """Reduces a colour set to at most count representative colours (deterministic)."""
    boxes = [sorted(colours)]
    while len(boxes) < count:
        best = None
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            spans = [max(c[k] for c in box) - min(c[k] for c in box) for k in range(3)]
            span = max(spans)
            if best is None or span > best[0]:
                best = (span, i, spans.index(span))
        if best is None or best[0] == 0:
            break
        _, i, k = best
        box = sorted(boxes.pop(i), key=lambda c: (c[k], c))
        half = len(box) // 2
        boxes[i:i] = [box[:half], box[half:]]
    return sorted(tuple(sum(c[k] for c in box) // len(box) for k in range(3)) for box in boxes)


def palettise(canvas, max_colours):
    """Returns (palette, rows of indices). Exact when the picture has few enough colours."""
    used = canvas.colours()
    if len(used) <= max_colours:
        palette = sorted(used)
        lookup = {c: i for i, c in enumerate(palette)}
    else:
        palette = _median_cut(used, max_colours)
        lookup = {}
        for c in used:
            lookup[c] = min(range(len(palette)),
                            key=lambda i: (sum((palette[i][k] - c[k]) ** 2 for k in range(3)), i))
    rows = [[lookup[c] for c in row] for row in canvas.px]
    return palette, rows


def dib_file(canvas, bits):
    """A palettised BMP file: 4-bit with as many colour-table entries as it uses (biClrUsed),
    8-bit with biClrUsed 0 and the full 256-entry table."""
    if bits == 4:
        if len(canvas.colours()) > 16:
            raise ValueError("a 4-bit bitmap may use 16 colours at most")
        palette, rows = palettise(canvas, 16)
        table = len(palette)
        clr_used = 0 if table == 16 else table
    elif bits == 8:
        palette, rows = palettise(canvas, 256)
        table, clr_used = 256, 0
    else:
        raise ValueError("4 or 8 bits only")
    w, h = canvas.w, canvas.h
    stride = (w * bits + 31) // 32 * 4
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        if bits == 8:
            line = bytearray(row)
        else:
            line = bytearray((row[i] << 4) | (row[i + 1] if i + 1 < w else 0) for i in range(0, w, 2))
        line.extend(b"\0" * (stride - len(line)))
        pixels.extend(line)
    colours = bytearray()
    for i in range(table):
        r, g, b = palette[i] if i < len(palette) else (0, 0, 0)
        colours.extend(struct.pack("<BBBB", b, g, r, 0))
    off = 14 + 40 + len(colours)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, len(pixels), 0, 0, clr_used, 0)
    head = struct.pack("<2sIHHI", b"BM", off + len(pixels), 0, 0, off)
    return bytes(head + info + colours + pixels)


def read_dib(data):
    """Decodes a palettised BMP file (as written above) into a Canvas."""
    _, _, _, _, off = struct.unpack_from("<2sIHHI", data, 0)
    size, w, h, _, bits, _, _, _, _, clr_used, _ = struct.unpack_from("<IiiHHIIiiII", data, 14)
    count = clr_used or (1 << bits)
    table = [struct.unpack_from("<BBBB", data, 14 + size + 4 * i) for i in range(count)]
    stride = (w * bits + 31) // 32 * 4
    canvas = Canvas(w, h)
    for j in range(h):
        line = data[off + (h - 1 - j) * stride:]
        for i in range(w):
            idx = line[i] if bits == 8 else (line[i // 2] >> (0 if i % 2 else 4)) & 15
            b, g, r, _ = table[idx]
            canvas.px[j][i] = (r, g, b)
    return canvas
