#!/usr/bin/env python3
"""Draws the cursors of the window utilities (a pointing hand and a dragged
item) and of the preview window (a magnifier and an open hand) into
resources/images as 32 x 32 monochrome cursors."""
import struct

def cur(art, hot):
    rows = art.strip('\n').split('\n')
    rows = [r.ljust(32)[:32] for r in rows] + [' ' * 32] * (32 - len(rows))
    xor = bytearray(); andm = bytearray()
    for r in reversed(rows):  # bottom-up
        xb = 0; ab = 0
        for i, ch in enumerate(r):
            bit = 1 << (31 - i)
            if ch == ' ':
                ab |= bit
            elif ch == '.':
                xb |= bit
        xor += struct.pack('>I', xb); andm += struct.pack('>I', ab)
    header = struct.pack('<IiiHHIIiiII', 40, 32, 64, 1, 1, 0, len(xor) + len(andm), 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    image = header + palette + xor + andm
    d = struct.pack('<HHH', 0, 2, 1) + struct.pack('<BBBBHHII', 32, 32, 0, 0, hot[0], hot[1], len(image), 22)
    return d + image

hand = r'''
     XX
    X..X
    X..X
    X..X
    X..X
    X..XXX
    X..X..XXX
    X..X..X..XX
    X..X..X..X.X
 XX X..X..X..X..X
X..XX........X..X
X...X...........X
 X..X...........X
  X.X...........X
  X.............X
   X............X
   X...........X
    X..........X
    X.........X
     X........X
     X........X
     XXXXXXXXXX
'''
drag = r'''
X
XX
X.X
X..X
X...X
X....X
X.....X
X......X
X.......X
X........X
X.....XXXXX
X..X..X
X.X X..X
XX  X..X
X    X..X
     X..X
      XX
       XXXXXXXXXX
       X........X
       X........X
       X........X
       X........X
       X........X
       XXXXXXXXXX
'''
zoom = r'''
    XXXXX
  XX.....XX
 X.........X
 X....X....X
X.....X.....X
X.....X.....X
X..XXXXXXX..X
X.....X.....X
X.....X.....X
 X....X....X
 X.........XX
  XX.....XXXXX
    XXXXX  XXXX
            XXXX
             XXXX
              XXXX
               XX
'''
open_hand = r'''
       XX XX
    XX X..X..XX
   X..XX..X..X.X
   X..XX..X..X..X
    X..X..X..X..X
    X..X..X..X..X XX
  XX X.........X X..X
 X..XX..........X..X
 X...X.............X
  X................X
   X...............X
   X..............X
    X.............X
    X............X
     X...........X
      X.........X
      X.........X
      XXXXXXXXXXX
'''
import os
HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources", "images")
open(os.path.join(OUT, "wu_hand.cur"), "wb").write(cur(hand, (5, 0)))
open(os.path.join(OUT, "wu_drag.cur"), "wb").write(cur(drag, (0, 0)))
open(os.path.join(OUT, "better_zoom.cur"), "wb").write(cur(zoom, (6, 6)))
open(os.path.join(OUT, "better_hand.cur"), "wb").write(cur(open_hand, (10, 8)))
