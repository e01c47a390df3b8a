"""Writes 16-colour bitmap files from rows of palette indexes (the glyph scripts)."""
import struct

PALETTE = [(0,0,0),(128,0,0),(0,128,0),(128,128,0),(0,0,128),(128,0,128),(0,128,128),(192,192,192),
           (128,128,128),(255,0,0),(0,255,0),(255,255,0),(0,0,255),(255,0,255),(0,255,255),(255,255,255)]

def write_bmp16(path, px):
    h, w = len(px), len(px[0])
    row = ((w * 4 + 31) // 32) * 4
    data = b""
    for y in reversed(range(h)):
        r = bytearray(row)
        for x in range(w):
            r[x // 2] |= px[y][x] << (4 if x % 2 == 0 else 0)
        data += bytes(r)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    off = 14 + 40 + len(pal)
    hdr = struct.pack("<2sIHHI", b"BM", off + len(data), 0, 0, off)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(data), 2835, 2835, 16, 0)
    open(path, "wb").write(hdr + info + pal + data)
