#!/usr/bin/env python3
"""Writes the small glyphs of the library's windowed buttons: 8 glyphs of
13 x 14 side by side (ellipsis, file, folder, calculator, calendar, search,
colour, font), a 16-colour bitmap whose bottom-left pixel (silver) is the
transparent colour."""
import sys

from bmp16 import write_bmp16

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
    write_bmp16(path, px)

write(sys.argv[1])
