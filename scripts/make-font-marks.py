#!/usr/bin/env python3
"""Writes the two marks of the font list: 28 x 10, the TrueType mark in the
left half and the printer-font mark in the right half (its first column
unused), a 16-colour bitmap whose bottom-left pixel (fuchsia) is the
transparent colour."""
import sys

from bmp16 import write_bmp16

# Letters: k black, g grey, w white, n green, . fuchsia (transparent).
TRUETYPE = [
    "ggggggg.......",
    "g.ggg.g.......",
    "..ggkkkkkkk...",
    "..ggk.kkk.k...",
    "..gg..kkk.....",
    "..gg..kkk.....",
    ".gggg.kkk.....",
    "......kkk.....",
    "......kkk.....",
    ".....kkkkk....",
]
PRINTER = [
    "...kkkkkkk...",
    "...kwwwwwk...",
    "...kwwwwwk...",
    "kkkkkkkkkkkkk",
    "kgggggggggggk",
    "kggggggggnggk",
    "kkkkkkkkkkkkk",
    "..kwwwwwwwk..",
    "..kwwwwwwwk..",
    "..kkkkkkkkk..",
]
INDEX = {'.': 13, 'k': 0, 'g': 8, 'w': 15, 'n': 10}


def write(path):
    assert len(TRUETYPE) == len(PRINTER) == 10
    assert all(len(r) == 14 for r in TRUETYPE) and all(len(r) == 13 for r in PRINTER)
    px = [[INDEX[c] for c in TRUETYPE[y] + "." + PRINTER[y]] for y in range(10)]
    write_bmp16(path, px)


write(sys.argv[1])
