#!/usr/bin/env python3
"""Draws the window's bundled 16x16 command icons (data/icons/*.png) and the program icon.

The icons are pixel drawings made of a few shapes (page, book, folder, chart, tag) and a
badge in the lower right corner (plus, cross, arrow, magnifier, pencil, disk, ...), so that
every command gets its own picture; undo and redo are one hooked arrow and its mirror image. Run it again after changing a drawing; it needs nothing
but the Python standard library.
"""
import os
import struct
import sys
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "icons")

INK = (60, 60, 60, 255)
GREY = (150, 150, 150, 255)
LIGHT = (215, 215, 215, 255)
WHITE = (255, 255, 255, 255)
BLUE = (40, 100, 200, 255)
DBLUE = (20, 60, 140, 255)
GREEN = (40, 150, 60, 255)
DGREEN = (20, 100, 40, 255)
RED = (205, 40, 40, 255)
ORANGE = (235, 140, 20, 255)
YELLOW = (245, 200, 60, 255)
DYELLOW = (190, 140, 20, 255)
PURPLE = (130, 60, 170, 255)
PINK = (240, 150, 170, 255)
CLEAR = (0, 0, 0, 0)


class Canvas:
    def __init__(self, size=16):
        self.size = size
        self.px = [[CLEAR] * size for _ in range(size)]

    def dot(self, x, y, c):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.dot(x, y0, c)
            self.dot(x, y1, c)
        for y in range(y0, y1 + 1):
            self.dot(x0, y, c)
            self.dot(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.dot(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def disc(self, cx, cy, r, c):
        for y in range(self.size):
            for x in range(self.size):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.dot(x, y, c)

    def ring(self, cx, cy, r, c, width=1.0):
        for y in range(self.size):
            for x in range(self.size):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if r - width < d <= r + 0.35:
                    self.dot(x, y, c)

    def png(self):
        raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in self.px)
        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
        head = struct.pack(">IIBBBBB", self.size, self.size, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))

    def mirrored(self):
        out = Canvas(self.size)
        out.px = [list(reversed(row)) for row in self.px]
        return out

    def scaled(self, factor):
        big = Canvas(self.size * factor)
        for y in range(self.size):
            for x in range(self.size):
                big.fill(x * factor, y * factor, x * factor + factor - 1, y * factor + factor - 1,
                         self.px[y][x])
        return big


# ---- base shapes ----------------------------------------------------------------------

def page(c, x0=2, y0=1, x1=12, y1=14, lines=True):
    c.fill(x0, y0, x1, y1, WHITE)
    c.frame(x0, y0, x1, y1, INK)
    # folded corner
    for i in range(3):
        c.dot(x1 - i, y0, CLEAR)
        c.dot(x1, y0 + i, CLEAR)
    c.line(x1 - 3, y0, x1, y0 + 3, INK)
    c.fill(x1 - 3, y0 + 1, x1 - 3, y0 + 3, INK)
    c.fill(x1 - 2, y0 + 3, x1 - 1, y0 + 3, INK)
    if lines:
        for y in range(y0 + 3, y1 - 1, 2):
            c.line(x0 + 2, y, x1 - 2 - (2 if y == y0 + 3 else 0), y, GREY)


def stack(c):
    page(c, 4, 0, 14, 11, lines=False)
    page(c, 1, 3, 11, 15)


def index_card(c):
    page(c, 2, 1, 11, 14)
    for y, col in ((3, RED), (6, BLUE), (9, GREEN)):
        c.fill(12, y, 13, y + 1, col)


def folder(c, open_=False):
    c.fill(1, 3, 6, 4, DYELLOW)
    c.fill(1, 4, 14, 13, YELLOW)
    c.frame(1, 4, 14, 13, DYELLOW)
    if open_:
        page(c, 4, 1, 12, 9, lines=False)
        for y in range(7, 14):
            c.line(1 + (13 - y) // 3, y, 14, y, YELLOW)
        c.line(3, 7, 15, 7, DYELLOW)
        c.line(1, 13, 14, 13, DYELLOW)


def book(c, col, dark):
    c.fill(3, 1, 12, 14, col)
    c.fill(3, 1, 4, 14, dark)
    c.fill(5, 13, 12, 13, WHITE)
    c.frame(3, 1, 12, 14, dark)
    c.fill(6, 4, 10, 5, WHITE)


def bars(c, col, dark):
    c.line(1, 14, 14, 14, INK)
    c.line(1, 1, 1, 14, INK)
    for x, h in ((3, 5), (7, 10), (11, 7)):
        c.fill(x, 14 - h, x + 2, 13, col)
        c.frame(x, 14 - h, x + 2, 13, dark)


def tag(c, x0=1, y0=3, x1=14, y1=12, col=ORANGE):
    mid = (y0 + y1) // 2
    for y in range(y0, y1 + 1):
        reach = x1 - abs(y - mid)
        c.line(x0, y, reach, y, col)
    c.disc(x1 - 4, mid, 1.2, WHITE)


def log_pane(c):
    c.fill(1, 2, 14, 14, WHITE)
    c.frame(1, 2, 14, 14, INK)
    c.fill(1, 2, 14, 4, BLUE)
    for y in (6, 8, 10, 12):
        c.dot(3, y, RED)
        c.line(5, y, 12, y, GREY)


def gear(c):
    c.disc(7.5, 7.5, 5.2, GREY)
    for dx, dy in ((0, -7), (0, 7), (-7, 0), (7, 0), (-5, -5), (5, 5), (-5, 5), (5, -5)):
        c.disc(7.5 + dx * 0.95, 7.5 + dy * 0.95, 1.5, GREY)
    c.ring(7.5, 7.5, 5.2, INK)
    c.disc(7.5, 7.5, 2.2, WHITE)
    c.ring(7.5, 7.5, 2.3, INK)


def info(c):
    c.disc(7.5, 7.5, 7.2, BLUE)
    c.fill(7, 3, 8, 4, WHITE)
    c.fill(7, 6, 8, 12, WHITE)
    c.fill(6, 6, 6, 6, WHITE)
    c.fill(6, 12, 9, 12, WHITE)


def play(c, x0=3, y0=2, size=12, col=GREEN):
    for i in range(size):
        reach = int(min(i, size - 1 - i) * 1.7)
        c.line(x0, y0 + i, x0 + reach, y0 + i, col)


def magnifier(c, cx=6, cy=6, r=4.5, col=INK):
    c.disc(cx, cy, r - 1, (220, 235, 255, 255))
    c.ring(cx, cy, r, col, 1.6)
    for i in range(4):
        c.fill(int(cx + r - 1) + i, int(cy + r - 1) + i, int(cx + r) + i, int(cy + r) + i, col)


def undo_arrow(c, col=DBLUE):
    """A hook turning back to the left: the arc over the top, the head at its left end."""
    for y in range(c.size):
        for x in range(c.size):
            d = ((x - 8.5) ** 2 + (y - 8.5) ** 2) ** 0.5
            if 3.4 < d <= 5.5 and y <= 8:
                c.dot(x, y, col)
    c.fill(12, 8, 13, 13, col)  # the tail, down the right side
    for i in range(4):          # the head, pointing down at the left
        c.line(i, 8 + i, 6 - i, 8 + i, col)


# ---- badges (lower right) -------------------------------------------------------------

def clear_corner(c):
    c.fill(8, 8, 15, 15, CLEAR)


def b_plus(c, col=GREEN):
    clear_corner(c)
    c.fill(9, 11, 15, 12, col)
    c.fill(11, 9, 12, 15, col)


def b_cross(c, col=RED):
    clear_corner(c)
    for i in range(6):
        c.fill(9 + i, 9 + i, 10 + i, 9 + i, col)
        c.fill(14 - i, 9 + i, 15 - i, 9 + i, col)


def b_arrow(c, col=BLUE):
    clear_corner(c)
    c.fill(8, 11, 12, 12, col)
    for i in range(4):
        c.line(12 + i, 8 + i, 12 + i, 15 - i, col)


def b_merge(c, col=GREEN):
    clear_corner(c)
    c.line(8, 8, 11, 11, col)
    c.line(9, 8, 12, 11, col)
    c.line(15, 8, 12, 11, col)
    c.line(14, 8, 11, 11, col)
    c.fill(11, 11, 12, 13, col)
    c.fill(9, 13, 14, 13, col)
    c.fill(10, 14, 13, 14, col)
    c.fill(11, 15, 12, 15, col)


def b_magnifier(c, col=INK):
    clear_corner(c)
    c.ring(11, 11, 2.6, col, 1.3)
    c.fill(13, 13, 14, 14, col)
    c.fill(14, 14, 15, 15, col)


def b_pencil(c, col=ORANGE):
    clear_corner(c)
    for i in range(6):
        c.fill(10 + i - 1, 14 - i, 10 + i, 14 - i, col)
        c.dot(10 + i, 15 - i, INK)
    c.dot(8, 15, INK)
    c.dot(15, 9, RED)


def b_disk(c, col=BLUE):
    clear_corner(c)
    c.fill(8, 8, 15, 15, col)
    c.fill(10, 8, 13, 10, WHITE)
    c.fill(10, 13, 13, 15, LIGHT)


def b_eraser(c):
    clear_corner(c)
    for i in range(5):
        c.line(9 + i, 14 - i, 11 + i, 14 - i, PINK)
    c.line(8, 13, 10, 15, RED)
    c.line(8, 15, 14, 15, INK)


def b_play(c):
    clear_corner(c)
    play(c, 9, 8, 8, GREEN)


def b_warning(c):
    clear_corner(c)
    for i in range(7):
        c.line(12 - i // 2, 9 + i, 12 + (i + 1) // 2 - (0 if i % 2 else 0), 9 + i, YELLOW)
    c.line(8, 15, 15, 15, DYELLOW)
    c.fill(12, 11, 12, 13, INK)
    c.dot(12, 15, INK)


def b_check(c, col=GREEN):
    clear_corner(c)
    c.line(8, 12, 10, 14, col)
    c.line(8, 11, 10, 13, col)
    c.line(10, 14, 15, 9, col)
    c.line(10, 13, 15, 8, col)


def b_tag(c):
    clear_corner(c)
    tag(c, 8, 9, 15, 14, ORANGE)


def b_bars(c):
    clear_corner(c)
    for x, h in ((8, 3), (11, 6), (14, 4)):
        c.fill(x, 15 - h, x + 1, 15, PURPLE)


def b_folder(c):
    clear_corner(c)
    c.fill(8, 9, 11, 9, DYELLOW)
    c.fill(8, 10, 15, 15, YELLOW)
    c.frame(8, 10, 15, 15, DYELLOW)


def b_list(c):
    clear_corner(c)
    c.fill(8, 8, 15, 15, WHITE)
    c.frame(8, 8, 15, 15, DBLUE)
    for y in (10, 12):
        c.line(10, y, 13, y, DBLUE)


# ---- the icons ------------------------------------------------------------------------

def icon(*steps):
    c = Canvas()
    for s in steps:
        s(c)
    return c


ICONS = {
    "manage-documents": icon(folder, b_list),
    "build-document": icon(page, b_plus),
    "open-document": icon(lambda c: folder(c, True)),
    "close-document": icon(page, b_cross),
    "modify-documents": icon(stack, b_pencil),
    "merge-documents": icon(stack, b_merge),
    "auto-correct": icon(page, b_arrow),
    "homonym-correct": icon(lambda c: book(c, BLUE, DBLUE), b_pencil),
    "start-analysis": icon(lambda c: play(c, 3, 1, 14)),
    "search": icon(lambda c: magnifier(c)),
    "build-reference": icon(index_card, b_plus),
    "build-statistics": icon(page, b_bars),
    "work-error-check": icon(page, b_warning),
    "homonym-review": icon(lambda c: book(c, BLUE, DBLUE), b_magnifier),
    "review-in-document": icon(page, b_magnifier),
    "compare-with-reference": icon(index_card, b_check),
    "run-statistics": icon(lambda c: bars(c, PURPLE, INK), b_play),
    "build-homonym-dictionary": icon(lambda c: book(c, BLUE, DBLUE), b_plus),
    "merge-homonym-dictionaries": icon(lambda c: book(c, BLUE, DBLUE), b_merge),
    "save-homonym-text": icon(lambda c: book(c, BLUE, DBLUE), b_disk),
    "merge-unregistered": icon(lambda c: book(c, GREEN, DGREEN), lambda c: b_merge(c, BLUE)),
    "save-unregistered-text": icon(lambda c: book(c, GREEN, DGREEN), b_disk),
    "clear-error-log": icon(log_pane, b_eraser),
    "save-error-log": icon(log_pane, b_disk),
    "merge-references": icon(index_card, b_merge),
    "save-reference-text": icon(index_card, b_disk),
    "settings": icon(gear),
    "about": icon(info),
    "user-guide": icon(lambda c: book(c, ORANGE, DYELLOW), b_magnifier),
    "stats-vocabulary": icon(lambda c: bars(c, BLUE, DBLUE)),
    "stats-vocabulary-tags": icon(lambda c: bars(c, BLUE, DBLUE), b_tag),
    "stats-content-vocabulary": icon(lambda c: bars(c, GREEN, DGREEN)),
    "stats-content-vocabulary-tags": icon(lambda c: bars(c, GREEN, DGREEN), b_tag),
    "stats-tags": icon(lambda c: tag(c)),
    "undo": icon(undo_arrow),
    "redo": icon(undo_arrow).mirrored(),
}


# The application icon: a page of analysed text (one morpheme marked) under a magnifier,
# on a blue tile. One list of shapes on a 256-unit square gives both the SVG and the PNGs,
# so every size shows the same drawing. Shapes are painted in order.
APP_SHAPES = [
    ("rrect", (16, 16, 240, 240, 44), "#2a5db0"),
    ("rrect", (56, 40, 176, 208, 10), "#ffffff"),
    ("rrect", (76, 68, 156, 80, 6), "#9aa5b1"),
    ("rrect", (76, 96, 156, 108, 6), "#9aa5b1"),
    ("rrect", (76, 124, 108, 136, 6), "#e8891a"),
    ("rrect", (116, 124, 156, 136, 6), "#9aa5b1"),
    ("rrect", (76, 152, 132, 164, 6), "#9aa5b1"),
    ("capsule", (196, 194, 226, 224, 13), "#f2b134"),
    ("circle", (164, 162, 46), "#f2b134"),
    ("circle", (164, 162, 32), "#dcebfc"),
    ("rrect", (146, 156, 182, 168, 6), "#e8891a"),
]


def _hex(colour):
    return tuple(int(colour[i:i + 2], 16) for i in (1, 3, 5))


def _inside(kind, g, x, y):
    if kind == "circle":
        cx, cy, r = g
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    if kind == "capsule":
        x0, y0, x1, y1, r = g
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        px, py = x0 + t * dx, y0 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= r * r
    x0, y0, x1, y1, r = g
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def app_icon_svg():
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">']
    for kind, g, colour in APP_SHAPES:
        if kind == "circle":
            parts.append(f'  <circle cx="{g[0]}" cy="{g[1]}" r="{g[2]}" fill="{colour}"/>')
        elif kind == "capsule":
            parts.append(f'  <line x1="{g[0]}" y1="{g[1]}" x2="{g[2]}" y2="{g[3]}" stroke="{colour}" '
                         f'stroke-width="{2 * g[4]}" stroke-linecap="round"/>')
        else:
            x0, y0, x1, y1, r = g
            parts.append(f'  <rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" rx="{r}" fill="{colour}"/>')
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def app_icon(size, samples=4):
    """The application icon at size x size pixels, anti-aliased by samples x samples."""
    c = Canvas(size)
    scale = 256.0 / size
    step = 1.0 / samples
    shapes = [(kind, g, _hex(colour)) for kind, g, colour in APP_SHAPES]
    for py in range(size):
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) * step) * scale
                    y = (py + (sy + 0.5) * step) * scale
                    hit = None
                    for kind, g, rgb in shapes:
                        if _inside(kind, g, x, y):
                            hit = rgb
                    if hit:
                        covered += 1
                        for i in range(3):
                            acc[i] += hit[i]
            if covered:
                c.px[py][px] = (round(acc[0] / covered), round(acc[1] / covered),
                                round(acc[2] / covered), round(255 * covered / samples ** 2))
    return c


APP_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, canvas in ICONS.items():
        with open(os.path.join(OUT, name + ".png"), "wb") as f:
            f.write(canvas.png())
    # The window's own icon (bundled in the program) and the installed hicolor icons.
    with open(os.path.join(OUT, "selvanor.png"), "wb") as f:
        f.write(app_icon(48).png())
    app = os.path.join(OUT, "app")
    os.makedirs(app, exist_ok=True)
    with open(os.path.join(app, "selvanor.svg"), "w") as f:
        f.write(app_icon_svg())
    for size in APP_SIZES:
        with open(os.path.join(app, f"selvanor-{size}.png"), "wb") as f:
            f.write(app_icon(size).png())
    print(f"{len(ICONS) + 1} icons written to {os.path.normpath(OUT)}, "
          f"the application icon at {len(APP_SIZES)} sizes and as SVG to {os.path.normpath(app)}",
          file=sys.stderr)


if __name__ == "__main__":
    main()
