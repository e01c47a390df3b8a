#!/usr/bin/python3
"""Writes a copy of Wine's "Symbol" font whose bullet character draws the
round bullet: the rich-edit control draws list bullets as U+00B7 in
"Symbol", which Wine's own font maps to an angle bracket.

Usage: make-symbol-font.py SOURCE.ttf TARGET.ttf"""
import sys

from fontTools.ttLib import TTFont


def main(source, target):
    font = TTFont(source)
    if 'bullet' not in font.getGlyphOrder():
        sys.exit(source + ' has no bullet glyph')
    for table in font['cmap'].tables:
        if table.isUnicode():
            # U+00B7 as the control sends it, U+F0B7 as a symbol font's
            # private-use code for the same character.
            table.cmap[0x00B7] = 'bullet'
            table.cmap[0xF0B7] = 'bullet'
    font.save(target)


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
