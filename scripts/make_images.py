#!/usr/bin/env python3
"""Draws the main window's pictures into res/:

  toolbar.bmp     bitmap 134, seven 40 x 36 toolbar images side by side:
                  add page, add folder, edit title, delete, always on top,
                  text colour, font
  page*.ico, folder*.ico
                  the sixteen page-list icons (resources 130-133, 136, 137,
                  148-153), each 16 x 16, 24 x 24 and 32 x 32 (for 96, 144
                  and 192 dots per inch): grey/blue sheets,
                  yellow/blue folders, red bookmarked variants, and the same
                  with a key for secure pages

Only the standard library is used; run it again after changing a drawing.
"""
import os
import struct

RES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")


class Canvas:
    """An RGBA picture; None is a transparent pixel."""

    def __init__(self, width, height, background=None):
        self.w, self.h = width, height
        self.px = [[background] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the rectangle with corners (x0, y0) and (x1, y1), both included."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        self.rect(x0, y0, x1, y0, colour)
        self.rect(x0, y1, x1, y1, colour)
        self.rect(x0, y0, x0, y1, colour)
        self.rect(x1, y0, x1, y1, colour)

    def line(self, x0, y0, x1, y1, colour, width=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = round(x0 + (x1 - x0) * i / steps)
            y = round(y0 + (y1 - y0) * i / steps)
            self.rect(x, y, x + width - 1, y + width - 1, colour)

    def glyph(self, rows, x0, y0, colour, scale=1):
        """Draws a picture given as strings, '#' for a set pixel."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch == "#":
                    self.rect(x0 + dx * scale, y0 + dy * scale,
                              x0 + dx * scale + scale - 1, y0 + dy * scale + scale - 1, colour)


# ---- page-list icons, drawn on a 16-unit grid and scaled

SCHEMES = {
    "grey":   {"fill": (232, 232, 232), "line": (150, 150, 150), "edge": (90, 90, 90)},
    "blue":   {"fill": (176, 204, 255), "line": (70, 110, 210), "edge": (30, 60, 160)},
    "red":    {"fill": (255, 176, 176), "line": (210, 70, 70), "edge": (160, 20, 20)},
    "yellow": {"fill": (250, 212, 84), "line": (210, 160, 30), "edge": (140, 100, 0)},
}
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
KEY_GOLD = (226, 176, 20)


class Grid:
    """Draws in 16-unit coordinates onto a canvas of 16 * scale pixels; a unit
    of a scale of 1.5 is one or two pixels wide, alternately."""

    def __init__(self, canvas, scale):
        self.c, self.s = canvas, scale

    def rect(self, x0, y0, x1, y1, colour):
        s = self.s
        self.c.rect(int(x0 * s), int(y0 * s), int((x1 + 1) * s) - 1, int((y1 + 1) * s) - 1, colour)

    def frame(self, x0, y0, x1, y1, colour):
        self.rect(x0, y0, x1, y0, colour)
        self.rect(x0, y1, x1, y1, colour)
        self.rect(x0, y0, x0, y1, colour)
        self.rect(x1, y0, x1, y1, colour)


def draw_sheet(g, scheme):
    g.rect(3, 1, 12, 14, scheme["fill"])
    g.frame(3, 1, 12, 14, scheme["edge"])
    # folded top-right corner
    g.rect(10, 1, 12, 3, None)
    g.rect(9, 1, 9, 4, scheme["edge"])
    g.rect(9, 4, 12, 4, scheme["edge"])
    g.rect(10, 2, 10, 3, scheme["edge"])
    g.rect(11, 3, 11, 3, scheme["edge"])
    for y in (6, 8, 10, 12):
        g.rect(5, y, 10, y, scheme["line"])


def draw_folder(g, scheme):
    g.rect(1, 3, 6, 4, scheme["fill"])
    g.frame(1, 3, 6, 5, scheme["edge"])
    g.rect(1, 5, 14, 13, scheme["fill"])
    g.frame(1, 5, 14, 13, scheme["edge"])
    g.rect(2, 6, 13, 6, scheme["line"])


def draw_key(g):
    # ring at the lower right, shaft to the left with two teeth
    g.rect(10, 8, 14, 13, KEY_GOLD)
    g.frame(10, 8, 14, 13, BLACK)
    g.rect(12, 10, 12, 11, WHITE)
    g.frame(3, 9, 10, 11, BLACK)
    g.rect(4, 10, 10, 10, KEY_GOLD)
    g.rect(4, 12, 4, 13, BLACK)
    g.rect(6, 12, 6, 13, BLACK)


ICONS = [
    # (resource, file, kind, scheme, key)
    (130, "page.ico", "sheet", "grey", False),
    (131, "page_sel.ico", "sheet", "blue", False),
    (132, "folder.ico", "folder", "yellow", False),
    (133, "folder_sel.ico", "folder", "blue", False),
    (136, "folder_mark.ico", "folder", "red", False),
    (137, "page_mark.ico", "sheet", "red", False),
    (148, "spage_mark.ico", "sheet", "red", True),
    (149, "spage.ico", "sheet", "grey", True),
    (150, "spage_sel.ico", "sheet", "blue", True),
    (151, "sfolder_mark.ico", "folder", "red", True),
    (152, "sfolder.ico", "folder", "yellow", True),
    (153, "sfolder_sel.ico", "folder", "blue", True),
]


def icon_canvas(kind, scheme, key, scale):
    c = Canvas(int(16 * scale), int(16 * scale))
    g = Grid(c, scale)
    (draw_sheet if kind == "sheet" else draw_folder)(g, SCHEMES[scheme])
    if key:
        draw_key(g)
    return c


def ico_image(c):
    """One 32-bit icon image: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask."""
    xor = bytearray()
    mask_stride = ((c.w + 31) // 32) * 4
    mask = bytearray(mask_stride * c.h)
    for row, y in enumerate(range(c.h - 1, -1, -1)):
        for x in range(c.w):
            p = c.px[y][x]
            if p is None:
                xor += b"\0\0\0\0"
                mask[row * mask_stride + x // 8] |= 0x80 >> (x % 8)
            else:
                xor += bytes((p[2], p[1], p[0], 255))
    header = struct.pack("<IiiHHIIiiII", 40, c.w, c.h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def ico_file(canvases):
    images = [ico_image(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, img in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.w % 256, c.h % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    return out + b"".join(images)


# ---- toolbar: seven 40 x 36 images on the button-face grey, which the
# toolbar treats as transparent

FACE = (192, 192, 192)
TB_W, TB_H = 40, 36
GREEN = (20, 150, 40)
RED = (200, 30, 30)
DARK = (40, 40, 40)

FONT = {  # 5 x 7 letters
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
}


def letter_a(c, x0, y0, height, colour, width=3):
    """A capital A with its apex at (x0, y0)."""
    half = height * 2 // 5
    c.line(x0, y0, x0 - half, y0 + height, colour, width)
    c.line(x0, y0, x0 + half, y0 + height, colour, width)
    c.rect(x0 - half // 2, y0 + height * 3 // 5, x0 + half // 2 + 1, y0 + height * 3 // 5 + width - 2, colour)


def plus(c, x, y):
    """A green plus sign centred at (x, y)."""
    c.rect(x - 6, y - 2, x + 6, y + 2, WHITE)
    c.rect(x - 2, y - 6, x + 2, y + 6, WHITE)
    c.rect(x - 5, y - 1, x + 5, y + 1, GREEN)
    c.rect(x - 1, y - 5, x + 1, y + 5, GREEN)


def tb_sheet(c, x0, scheme="grey"):
    s = SCHEMES[scheme]
    c.rect(x0 + 10, 4, x0 + 27, 31, WHITE)
    c.frame(x0 + 10, 4, x0 + 27, 31, s["edge"])
    for y in range(10, 29, 4):
        c.rect(x0 + 13, y, x0 + 24, y, s["line"])


def tb_folder(c, x0):
    s = SCHEMES["yellow"]
    c.rect(x0 + 5, 8, x0 + 15, 11, s["fill"])
    c.frame(x0 + 5, 8, x0 + 15, 12, s["edge"])
    c.rect(x0 + 5, 12, x0 + 31, 29, s["fill"])
    c.frame(x0 + 5, 12, x0 + 31, 29, s["edge"])


def draw_toolbar():
    c = Canvas(TB_W * 7, TB_H, FACE)
    # 0 add page
    x = 0
    tb_sheet(c, x)
    plus(c, x + 29, 26)
    # 1 add folder
    x = TB_W
    tb_folder(c, x)
    plus(c, x + 30, 27)
    # 2 edit title: a sheet with a "T" and a pencil
    x = 2 * TB_W
    tb_sheet(c, x)
    c.rect(x + 12, 6, x + 25, 17, WHITE)
    c.glyph(FONT["T"], x + 14, 7, DARK, scale=2)
    c.line(x + 32, 12, x + 20, 28, (230, 170, 40), width=3)
    c.line(x + 33, 11, x + 31, 13, (230, 120, 120), width=3)
    c.line(x + 20, 28, x + 19, 30, DARK, width=2)
    # 3 delete: a sheet crossed out in red
    x = 3 * TB_W
    tb_sheet(c, x)
    c.line(x + 9, 7, x + 28, 28, RED, width=4)
    c.line(x + 28, 7, x + 9, 28, RED, width=4)
    # 4 always on top: two windows, the front one raised, with an up arrow
    x = 4 * TB_W
    c.rect(x + 6, 14, x + 24, 30, (230, 230, 230))
    c.frame(x + 6, 14, x + 24, 30, (110, 110, 110))
    c.rect(x + 14, 5, x + 33, 22, WHITE)
    c.frame(x + 14, 5, x + 33, 22, (30, 60, 160))
    c.rect(x + 15, 6, x + 32, 9, (60, 100, 210))
    c.rect(x + 22, 13, x + 25, 20, GREEN)
    c.line(x + 19, 14, x + 23, 10, GREEN, width=2)
    c.line(x + 28, 14, x + 24, 10, GREEN, width=2)
    # 5 text colour: an "A" over a red bar
    x = 5 * TB_W
    letter_a(c, x + 18, 3, 20, DARK)
    c.rect(x + 8, 27, x + 31, 32, RED)
    # 6 font: "Aa"
    x = 6 * TB_W
    letter_a(c, x + 12, 6, 20, DARK)
    c.glyph(FONT["a"], x + 26, 14, (30, 60, 160), scale=2)
    c.rect(x + 4, 30, x + 35, 30, (110, 110, 110))
    return c


def bmp_file(c):
    """An 8-bit palette BMP, bottom-up. A palette lets the toolbar map the
    button-face grey to the system's button colour and treat it as transparent;
    it does that only for palette bitmaps."""
    pixels = [[c.px[y][x] or FACE for x in range(c.w)] for y in range(c.h)]
    palette = sorted({p for row in pixels for p in row})
    assert len(palette) <= 256, "too many colours for an 8-bit bitmap"
    index = {p: i for i, p in enumerate(palette)}
    stride = (c.w + 3) // 4 * 4
    rows = bytearray()
    for y in range(c.h - 1, -1, -1):
        row = bytes(index[p] for p in pixels[y])
        rows += row + b"\0" * (stride - len(row))
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    info = struct.pack("<IiiHHIIiiII", 40, c.w, c.h, 1, 8, 0, len(rows), 2835, 2835, len(palette), 0)
    offset = 14 + len(info) + len(table)
    head = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    return head + info + table + bytes(rows)


def main():
    with open(os.path.join(RES, "toolbar.bmp"), "wb") as f:
        f.write(bmp_file(draw_toolbar()))
    for _, name, kind, scheme, key in ICONS:
        with open(os.path.join(RES, name), "wb") as f:
            f.write(ico_file([icon_canvas(kind, scheme, key, s) for s in (1, 1.5, 2)]))


if __name__ == "__main__":
    main()
