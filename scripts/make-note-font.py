#!/usr/bin/python3
"""Writes a copy of a font for the prefix the program runs in: the letters
it lacks taken from a font that has them, and a line that reaches above
the accents of its capitals.

Letters: the note editor's default font ("MS Sans Serif", answered by
Liberation Sans) has Latin, Greek and Cyrillic letters only, and the
system draws a letter it lacks as an empty box.  The font linking of the
system's registry reaches such letters for left-to-right text only; the
glyphs of the second font (DejaVu Sans, of the same style), without their
hinting, join the copy itself, with their shaping tables, so that every
alphabet it has shows, Hebrew and Arabic included.

Accents: the system takes a line's ascent from the font's ascent rounded
to whole pixels, while hinting may lift an accent (the caron of C, the
double acute of O) a pixel higher than its outline: at small sizes (Arial
at 8 pt, 11 pixels) the ascent rounds down to the accent and the editor,
which draws each line within its own height, cuts the accent's top off.
The copy's ascent is the top of its accented capitals plus a twelfth of
its em, which rounds to a pixel above them down to the smallest sizes.

Both fonts' licences allow the copy: it keeps the first font's name, and
neither font's reserved names are taken.

Usage: make-note-font.py SOURCE.ttf [LETTERS.ttf] TARGET.ttf"""
import io
import sys
import unicodedata

from fontTools import merge, subset
from fontTools.ttLib import TTFont

# Tables that describe glyphs one by one and so cannot outlive a change of
# the glyph set, or that the merge cannot join.
PER_GLYPH = ['hdmx', 'LTSH', 'VDMX', 'kern', 'FFTM', 'DSIG', 'MATH']


def with_letters(font, letters_path):
    have = set(font.getBestCmap())
    letters = TTFont(letters_path)
    # Letters, digits, signs and spaces: no marks that join another letter
    # and no marks that steer the writing direction or join letters
    # (the rich-edit control ends the process on some of them).
    missing = [c for c in letters.getBestCmap()
               if c not in have and unicodedata.category(chr(c)) not in ('Mn', 'Me', 'Mc', 'Cf', 'Cc', 'Zl', 'Zp')]
    options = subset.Options()
    options.hinting = False
    options.layout_features = ['*']
    options.name_IDs = []
    options.notdef_outline = False
    options.glyph_names = True
    options.drop_tables += PER_GLYPH
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=missing)
    subsetter.subset(letters)
    # The shaping tables come from the second font: the first one's are of
    # no script that the second adds, and the two cannot be joined.
    for tag in PER_GLYPH + ['GSUB', 'GPOS', 'GDEF']:
        if tag in font:
            del font[tag]
    first, second = io.BytesIO(), io.BytesIO()
    font.save(first)
    letters.save(second)
    first.seek(0)
    second.seek(0)
    merged = merge.Merger().merge([first, second])
    # Glyph names kept: a printer driver writes a TrueType font's letters
    # by their names, which make the printed words text.
    post = merged['post']
    post.formatType = 2.0
    post.extraNames = []
    post.mapping = {}
    return merged


def accented_capitals_top(font):
    cmap = font.getBestCmap()
    glyphs = font['glyf']
    top = 0
    for code in range(0x00C0, 0x0180):
        char = chr(code)
        if code not in cmap or unicodedata.category(char) != 'Lu' or not unicodedata.decomposition(char):
            continue
        glyph = glyphs[cmap[code]]
        if hasattr(glyph, 'yMax'):
            top = max(top, glyph.yMax)
    return top


def with_accent_room(font):
    top = accented_capitals_top(font)
    if top == 0:
        sys.exit('the font has no accented capitals')
    ascent = top + font['head'].unitsPerEm // 12
    if ascent > font['OS/2'].usWinAscent:
        font['OS/2'].usWinAscent = ascent
    if ascent > font['hhea'].ascent:
        font['hhea'].ascent = ascent
    return font


def main(source, letters, target):
    font = TTFont(source)
    if letters is not None:
        font = with_letters(font, letters)
    with_accent_room(font).save(target)


if __name__ == '__main__':
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2] if len(sys.argv) == 4 else None, sys.argv[-1])
