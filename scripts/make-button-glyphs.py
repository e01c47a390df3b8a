#!/usr/bin/env python3
"""Writes the small glyphs of the library's windowed buttons: 8 glyphs of
13 x 14 side by side (ellipsis, file, folder, calculator, calendar, search,
colour, font), a 16-colour bitmap whose bottom-left pixel (silver) is the
transparent colour."""
import struct, sys

# Letters: k black, g grey, w white, y yellow, b blue, r red, n green, . silver.
G = [
 # ellipsis
 ["............."] * 8 + ["..k..k..k....", "..k..k..k....", "............."] + ["............."] * 3,
 # file
 ["..kkkkkk.....", "..kwwwwkk....", "..kwwwwkwk...", "..kwwwwkkkk..", "..kwwwwwwwk..", "..kwkkkkwwk..",
  "..kwwwwwwwk..", "..kwkkkkkwk..", "..kwwwwwwwk..", "..kwkkkkkwk..", "..kwwwwwwwk..", "..kwwwwwwwk..",
  "..kkkkkkkkk..", "............."],
 # folder
 ["............."] * 2 + [".kkkk........", "kyyyyk.......", "kyyyyykkkkkk.", "kywywywywywk.",
  "kwywywywywyk.", "kywywywywywk.", "kwywywywywyk.", "kywywywywywk.", "kwywywywywyk.", "kkkkkkkkkkkk.",
  "............."] + ["............."],
 # calculator
 ["..kkkkkkkkk..", "..kgggggggk..", "..kgwwwwwgk..", "..kgggggggk..", "..kgkgkgkgk..", "..kgggggggk..",
  "..kgkgkgkgk..", "..kgggggggk..", "..kgkgkgkgk..", "..kgggggggk..", "..kgkgkgkgk..", "..kgggggggk..",
  "..kkkkkkkkk..", "............."],
 # calendar
 ["............."] + [".kkkkkkkkkkk.", ".krrrrrrrrrk.", ".kkkkkkkkkkk.", ".kwwwwwwwwwk.", ".kwkwkwkwkwk.",
  ".kwwwwwwwwwk.", ".kwkwkwkwkwk.", ".kwwwwwwwwwk.", ".kwkwkwkwkwk.", ".kwwwwwwwwwk.", ".kkkkkkkkkkk."]
  + ["............."] * 2,
 # search
 ["............."] + ["...kkkk......", "..kwwwwk.....", ".kwwbwwwk....", ".kwbwwwwk....", ".kwwwwwwk....",
  ".kwwwwwwk....", "..kwwwwk.....", "...kkkkkk....", "........kk...", ".........kk..", "..........kk.",
  "...........k."] + ["............."],
 # colour
 ["............."] + [".kkkkkkkkkkk.", ".krrrkbbbbbk.", ".krrrkbbbbbk.", ".krrrkbbbbbk.", ".kkkkkkkkkkk.",
  ".knnnkyyyyyk.", ".knnnkyyyyyk.", ".knnnkyyyyyk.", ".kkkkkkkkkkk."] + ["............."] * 4,
 # font
 ["............."] * 2 + ["......k......", ".....kkk.....", ".....kkk.....", "....kk.kk....", "....kk.kk....",
  "...kk...kk...", "...kkkkkkk...", "..kk.....kk..", "..kk.....kk..", ".kkkk...kkkk."] + ["............."] * 2,
]
PALETTE = [(0,0,0),(128,0,0),(0,128,0),(128,128,0),(0,0,128),(128,0,128),(0,128,128),(192,192,192),
           (128,128,128),(255,0,0),(0,255,0),(255,255,0),(0,0,255),(255,0,255),(0,255,255),(255,255,255)]
INDEX = {'.': 7, 'k': 0, 'g': 8, 'w': 15, 'y': 11, 'b': 12, 'r': 9, 'n': 10}
W, H = 13, 14

def write(path):
    w = W * len(G)
    px = [[7] * w for _ in range(H)]
    for n, g in enumerate(G):
        assert len(g) == H and all(len(r) == W for r in g), n
        for y in range(H):
            for x in range(W):
                px[y][n * W + x] = INDEX[g[y][x]]
    row = ((w * 4 + 31) // 32) * 4
    data = b""
    for y in reversed(range(H)):
        r = bytearray(row)
        for x in range(w):
            r[x // 2] |= px[y][x] << (4 if x % 2 == 0 else 0)
        data += bytes(r)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    off = 14 + 40 + len(pal)
    hdr = struct.pack("<2sIHHI", b"BM", off + len(data), 0, 0, off)
    info = struct.pack("<IiiHHIIiiII", 40, w, H, 1, 4, 0, len(data), 2835, 2835, 16, 0)
    open(path, "wb").write(hdr + info + pal + data)

write(sys.argv[1])
