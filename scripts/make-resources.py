#!/usr/bin/env python3
"""Draws the program's bitmaps, cursors and icon into resources/.

The pictures are small pixel drawings made here so that the repository
holds their source; run this script again after changing one.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources", "images")

MAGENTA = (255, 0, 255)  # the transparent colour of the image strips
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
SILVER = (192, 192, 192)
DARK = (64, 64, 64)
NAVY = (0, 0, 128)
BLUE = (0, 0, 255)
TEAL = (0, 128, 128)
GREEN = (0, 128, 0)
LIME = (0, 192, 0)
RED = (192, 0, 0)
MAROON = (128, 0, 0)
YELLOW = (255, 255, 0)
OLIVE = (128, 128, 0)
ORANGE = (255, 160, 0)
PAPER = (255, 255, 224)
GOLD = (200, 160, 0)

# A 3x5 font for the letters and digits the pictures need.
FONT = {
    "A": ["010", "101", "111", "101", "101"], "B": ["110", "101", "110", "101", "110"],
    "C": ["011", "100", "100", "100", "011"], "D": ["110", "101", "101", "101", "110"],
    "I": ["111", "010", "010", "010", "111"], "E": ["111", "100", "110", "100", "111"],
    "K": ["101", "101", "110", "101", "101"], "L": ["100", "100", "100", "100", "111"],
    "!": ["010", "010", "010", "000", "010"], "N": ["101", "111", "111", "111", "101"],
    "R": ["110", "101", "110", "101", "101"], "S": ["011", "100", "010", "001", "110"],
    "T": ["111", "010", "010", "010", "010"], "U": ["101", "101", "101", "101", "111"],
    "Z": ["111", "001", "010", "100", "111"], "i": ["010", "000", "010", "010", "010"],
    "+": ["000", "010", "111", "010", "000"], "-": ["000", "000", "111", "000", "000"],
    "?": ["110", "001", "010", "000", "010"], "1": ["010", "110", "010", "010", "111"],
    "2": ["110", "001", "010", "100", "111"], "3": ["110", "001", "010", "001", "110"],
}


class Pic:
    def __init__(self, w=16, h=16, bg=MAGENTA):
        self.w, self.h = w, h
        self.p = [[bg] * w for _ in range(h)]

    def px(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.p[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.px(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.px(x, y0, c)
            self.px(x, y1, c)
        for y in range(y0, y1 + 1):
            self.px(x0, y, c)
            self.px(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.px(x0, y0, c)
            if x0 == x1 and y0 == y1:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def big(self, x, y, ch, c, bold=False):
        """A letter of the small font at twice its size."""
        for row, bits in enumerate(FONT[ch]):
            for col, b in enumerate(bits):
                if b == "1":
                    self.fill(x + 2 * col, y + 2 * row, x + 2 * col + 1 + (1 if bold else 0), y + 2 * row + 1, c)

    def text(self, x, y, s, c):
        for ch in s:
            for row, bits in enumerate(FONT[ch]):
                for col, b in enumerate(bits):
                    if b == "1":
                        self.px(x + col, y + row, c)
            x += 4


# ---------------------------------------------------------------- pictures

def page(p, x0=3, y0=1, x1=12, y1=14, lines=True):
    p.fill(x0, y0, x1, y1, PAPER)
    p.frame(x0, y0, x1, y1, DARK)
    if lines:
        for y in range(y0 + 3, y1 - 1, 2):
            p.line(x0 + 2, y, x1 - 2, y, GREY)


def stack(p):
    page(p, 5, 4, 14, 15)
    page(p, 1, 0, 10, 11)


def chain(p, x, y):
    p.frame(x, y + 2, x + 4, y + 5, BLUE)
    p.frame(x + 3, y, x + 7, y + 3, BLUE)


def padlock(p):
    p.frame(5, 2, 10, 8, DARK)
    p.frame(6, 3, 9, 8, DARK)
    p.fill(3, 8, 12, 14, GOLD)
    p.frame(3, 8, 12, 14, MAROON)
    p.fill(7, 10, 8, 12, BLACK)


def plus_badge(p, c=GREEN):
    p.fill(10, 9, 15, 14, WHITE)
    p.line(12, 10, 12, 14, c)
    p.line(13, 10, 13, 14, c)
    p.line(10, 12, 15, 12, c)
    p.line(10, 13, 15, 13, c)


def arrow_up(p, x, y, c):
    for i in range(5):
        p.line(x - i, y + i, x + i, y + i, c)
    p.fill(x - 1, y + 5, x + 1, y + 9, c)


def arrow_down(p, x, y, c):
    for i in range(5):
        p.line(x - i, y + 9 - i, x + i, y + 9 - i, c)
    p.fill(x - 1, y, x + 1, y + 4, c)


def letters(p, s, c=BLACK, y=5):
    width = len(s) * 4 - 1
    p.text((16 - width) // 2, y, s, c)


def strip_images():
    pics = {}

    def new(i):
        pics[i] = Pic()
        return pics[i]

    p = new(0); page(p); plus_badge(p)                       # new item
    p = new(1); page(p, 5, 3, 14, 15); p.line(1, 1, 1, 8, DARK); p.line(1, 8, 4, 8, DARK); plus_badge(p)  # new sub-item
    p = new(2); page(p); p.fill(3, 1, 12, 3, NAVY); plus_badge(p)  # new top item
    p = new(3); page(p); p.line(3, 3, 13, 13, RED); p.line(13, 3, 3, 13, RED); p.line(4, 3, 13, 12, RED)  # remove
    p = new(4); padlock(p)                                   # lock
    p = new(5); p.frame(3, 3, 12, 12, DARK); p.fill(4, 4, 11, 11, WHITE); p.line(5, 7, 10, 7, BLACK); p.line(5, 8, 10, 8, BLACK)  # expanded: minus
    p = new(6); p.frame(2, 2, 9, 9, NAVY); p.fill(3, 3, 8, 8, (200, 230, 255)); p.line(9, 9, 14, 14, DARK); p.line(10, 9, 14, 13, DARK)  # search
    p = new(7); p.text(2, 1, "A", BLUE); p.text(2, 9, "Z", BLUE); arrow_down(p, 11, 3, DARK)  # sort A-Z
    p = new(8); p.text(2, 1, "Z", BLUE); p.text(2, 9, "A", BLUE); arrow_down(p, 11, 3, DARK)  # sort Z-A
    p = new(9); p.frame(3, 3, 12, 12, DARK); p.fill(4, 4, 11, 11, WHITE); p.line(5, 7, 10, 7, BLACK); p.line(5, 8, 10, 8, BLACK); p.line(7, 5, 7, 10, BLACK); p.line(8, 5, 8, 10, BLACK)  # collapsed: plus
    p = new(10); page(p); chain(p, 4, 6)                     # create link
    p = new(11); p.fill(1, 3, 14, 13, (255, 230, 160)); p.frame(1, 3, 14, 13, OLIVE); p.fill(1, 1, 6, 3, (255, 230, 160)); p.frame(1, 1, 6, 3, OLIVE); plus_badge(p)  # new treskel
    p = new(12); p.fill(4, 4, 11, 11, SILVER); p.frame(4, 4, 11, 11, DARK)
    for (x, y) in [(7, 1), (8, 1), (7, 14), (8, 14), (1, 7), (1, 8), (14, 7), (14, 8)]:
        p.fill(x - 1 if x in (1, 14) else x, y - 1 if y in (1, 14) else y, x, y, DARK)
    p.fill(6, 6, 9, 9, WHITE)                                # options
    p = new(13); p.big(4, 2, "B", BLACK, True)               # bold
    p = new(14); p.line(9, 3, 6, 12, BLACK); p.line(10, 3, 7, 12, BLACK); p.line(7, 3, 11, 3, BLACK); p.line(5, 12, 9, 12, BLACK)  # italic
    p = new(15); p.big(5, 1, "U", BLACK); p.line(3, 13, 12, 13, BLACK)  # underline
    p = new(16); p.big(5, 0, "A", BLACK); p.fill(2, 11, 13, 14, RED)  # text colour
    p = new(17); p.line(4, 10, 10, 4, BLACK); p.line(5, 11, 11, 5, BLACK); p.fill(2, 11, 13, 14, YELLOW)  # highlight
    p = new(18)
    for y in (3, 7, 11):
        p.fill(2, y, 3, y + 1, BLACK); p.line(6, y, 13, y, BLACK)  # bullets
    p = new(19); p.line(4, 6, 11, 6, NAVY); p.line(11, 6, 13, 8, NAVY); p.line(13, 8, 13, 11, NAVY); p.line(4, 6, 6, 4, NAVY); p.line(4, 6, 6, 8, NAVY)  # undo
    for i, kind in ((20, "left"), (21, "center"), (22, "right")):
        p = new(i)
        for row, length in enumerate((10, 6, 10, 6, 10)):
            y = 3 + row * 2
            x0 = {"left": 3, "center": 3 + (10 - length) // 2, "right": 13 - length}[kind]
            p.line(x0, y, x0 + length - 1, y, BLACK)
    p = new(23); p.frame(2, 9, 6, 13, BLACK); p.frame(9, 9, 13, 13, BLACK); p.line(5, 9, 10, 1, BLACK); p.line(10, 9, 5, 1, BLACK)  # cut
    p = new(24); page(p, 1, 0, 9, 10, False); page(p, 6, 5, 14, 15)  # copy
    p = new(25); p.fill(2, 2, 11, 14, (180, 120, 60)); p.frame(2, 2, 11, 14, MAROON); p.fill(5, 1, 8, 3, SILVER); page(p, 7, 6, 14, 15)  # paste
    p = new(26); stack(p)                                    # item with sub-items
    p = new(27); p.frame(2, 2, 8, 8, NAVY); p.line(8, 8, 13, 13, DARK); p.text(10, 1, "A", BLACK)  # find text
    p = new(28); p.fill(1, 8, 14, 13, SILVER); p.frame(1, 8, 14, 13, DARK); p.fill(3, 3, 12, 8, PAPER); p.frame(3, 3, 12, 8, DARK); p.fill(11, 10, 12, 11, LIME)  # scan
    p = new(29); p.fill(1, 2, 14, 13, (170, 210, 255)); p.frame(1, 2, 14, 13, DARK); p.fill(2, 9, 13, 12, GREEN); p.fill(9, 4, 11, 6, YELLOW)  # picture
    p = new(30); p.frame(1, 2, 14, 13, DARK); p.fill(3, 4, 7, 8, BLUE); p.fill(8, 7, 12, 11, RED)  # OLE object
    p = new(31); p.fill(1, 7, 14, 12, SILVER); p.frame(1, 7, 14, 12, DARK); page(p, 4, 1, 11, 7, False); page(p, 4, 11, 11, 15, False)  # print
    p = new(32); page(p); arrow_up(p, 8, 3, NAVY)            # go to link origin
    p = new(33); page(p, 1, 0, 9, 10); page(p, 6, 5, 14, 15); p.text(8, 8, "+", GREEN)  # clone
    p = new(34); page(p)                                     # older item
    p = new(35); stack(p); chain(p, 7, 8)                    # link with sub-items
    p = new(36); p.big(4, 3, "B", BLACK, True)
    p = new(37); p.line(9, 3, 6, 12, BLACK); p.line(10, 3, 7, 12, BLACK)
    p = new(38); p.big(5, 1, "U", BLACK); p.line(3, 13, 12, 13, BLACK)
    p = new(39); p.big(5, 3, "S", BLACK); p.line(2, 8, 13, 8, RED)
    p = new(40); arrow_up(p, 7, 3, BLACK)                    # scroll up
    p = new(41); arrow_down(p, 7, 3, BLACK)                  # scroll down
    p = new(42); stack(p); arrow_up(p, 12, 1, GREEN)         # promote
    p = new(43); p.fill(3, 2, 12, 13, WHITE); p.frame(3, 2, 12, 13, NAVY); p.text(7, 4, "i", NAVY)  # information
    p = new(55); page(p, 1, 0, 10, 11); padlock(p)            # locked item
    p = new(56); page(p); chain(p, 5, 8)                     # link
    p = new(68); page(p)                                     # item
    count = 70
    return [pics.get(i, Pic()) for i in range(count)]


def state_images():
    pics = [Pic()]
    for level, colour in ((1, RED), (2, OLIVE), (3, GREEN)):
        p = Pic()
        p.fill(3, 3, 12, 12, colour)
        p.frame(3, 3, 12, 12, DARK)
        p.text(7, 5, str(level), WHITE)
        pics.append(p)
    return pics


# ---------------------------------------------------------------- writers

def write_bmp(path, pics):
    w = sum(p.w for p in pics)
    h = pics[0].h
    stride = (w * 3 + 3) & ~3
    rows = []
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for p in pics:
            for x in range(p.w):
                r, g, b = p.p[y][x]
                row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def mono_rows(mask_rows, size=32):
    """AND/XOR bit rows, bottom-up, 4 bytes per row."""
    out = bytearray()
    for y in range(size - 1, -1, -1):
        bits = mask_rows[y] if y < len(mask_rows) else "." * size
        bits = bits.ljust(size, ".")
        value = 0
        for x in range(size):
            value = (value << 1) | (1 if bits[x] == "1" else 0)
        out += struct.pack(">I", value)
    return bytes(out)


def write_cursor(path, art, hotspot):
    """art: rows of ' ' transparent, '#' black, 'o' white."""
    size = 32
    xor = []
    andm = []
    for y in range(size):
        row = art[y] if y < len(art) else ""
        row = row.ljust(size)
        xor.append("".join("1" if ch == "o" else "." for ch in row))
        andm.append("".join("1" if ch == " " else "." for ch in row))
    bmi = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = bmi + palette + mono_rows(xor) + mono_rows(andm)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 2, 1) + entry + image)


ARROW = [
    "#",
    "##",
    "#o#",
    "#oo#",
    "#ooo#",
    "#oooo#",
    "#ooooo#",
    "#oooooo#",
    "#ooooooo#",
    "#oooooooo#",
    "#ooooo#####",
    "#oo#oo#",
    "#o# #oo#",
    "##  #oo#",
    "#    #oo#",
    "     #oo#",
    "      ##",
]


def line_drag_cursor():
    art = [r for r in ARROW]
    art += ["          " + "#" * 12, "          " + "#" + "o" * 10 + "#", "          " + "#" * 12]
    # A small item below the arrow: a caption line being moved.
    return art


def hand_cursor():
    art = [
        "     ##",
        "    #oo#",
        "    #oo#",
        "    #oo#",
        "    #oo###",
        "    #oo#oo###",
        "    #oo#oo#oo##",
        " ## #oo#oo#oo#o#",
        "#oo##oooooooo#o#",
        "#ooo#ooooooooooo#",
        " #oooooooooooooo#",
        "  #ooooooooooooo#",
        "  #oooooooooooo#",
        "   #ooooooooooo#",
        "    #ooooooooo#",
        "    #ooooooooo#",
        "    ###########",
    ]
    return art


def write_icon(path):
    images = []
    for size in (32, 16):
        p = Pic(size, size, WHITE)
        s = size / 16.0
        def box(x0, y0, x1, y1, c):
            p.fill(int(x0 * s), int(y0 * s), int((x1 + 1) * s) - 1, int((y1 + 1) * s) - 1, c)
        def rim(x0, y0, x1, y1, c):
            p.frame(int(x0 * s), int(y0 * s), int((x1 + 1) * s) - 1, int((y1 + 1) * s) - 1, c)
        box(0, 0, 15, 15, (0, 90, 60))
        box(2, 2, 13, 13, PAPER)
        rim(2, 2, 13, 13, DARK)
        box(4, 4, 11, 5, (0, 90, 60))
        box(7, 4, 8, 11, (0, 90, 60))
        # 24-bit image with a mask of nothing transparent
        stride = size * 3
        rows = b""
        for y in range(size - 1, -1, -1):
            rows += bytes(c for x in range(size) for c in (p.p[y][x][2], p.p[y][x][1], p.p[y][x][0]))
        mask = b"\0" * (((size + 31) // 32) * 4 * size)
        bmi = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 24, 0, len(rows) + len(mask), 0, 0, 0, 0)
        images.append((size, bmi + rows + mask))
    offset = 6 + 16 * len(images)
    out = struct.pack("<HHH", 0, 1, len(images))
    body = b""
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 24, len(data), offset)
        offset += len(data)
        body += data
    with open(path, "wb") as f:
        f.write(out + body)


def banner():
    """The black banner under the tree: the name in gold on black."""
    p = Pic(200, 36, BLACK)
    x = 8
    for ch in "TRESKEL!":
        for row, bits in enumerate(FONT[ch]):
            for col, b in enumerate(bits):
                if b == "1":
                    p.fill(x + 5 * col, 5 + 5 * row, x + 5 * col + 4, 5 + 5 * row + 4, GOLD)
        x += 20
    for x0 in range(0, 200, 2):
        p.px(x0, 33, (90, 70, 0))
    return p


def main():
    os.makedirs(OUT, exist_ok=True)
    write_bmp(os.path.join(OUT, "imagelist1.bmp"), strip_images())
    write_bmp(os.path.join(OUT, "imagelist2.bmp"), state_images())
    write_bmp(os.path.join(OUT, "banner.bmp"), [banner()])
    write_cursor(os.path.join(OUT, "linedrag.cur"), line_drag_cursor(), (0, 0))
    write_cursor(os.path.join(OUT, "hand.cur"), hand_cursor(), (5, 0))
    write_icon(os.path.join(OUT, "treskel.ico"))


if __name__ == "__main__":
    main()
