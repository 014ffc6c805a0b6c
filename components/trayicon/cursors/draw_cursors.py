#!/usr/bin/env python3
"""Draws the notification icon's two cursors as monochrome .cur files.

The pictures below are the sources: '#' is black, '.' white, ' ' clear,
'X' marks the hot spot (drawn black). Run from this folder to rewrite the
.cur files after a change.
"""
import struct

HAND = """
     X##
    #..#
    #..#
    #..#
    #..#
    #..###
    #..#..###
    #..#..#..##
 ## #..#..#..#.#
#..##........#.#
#...#..........#
 #..#..........#
  #............#
  #...........#
   #..........#
   #.........#
    #........#
    #........#
     #......#
     ########
"""

DRAG = """
X
##
#.#
#..#
#...#
#....#
#.....#
#......#
#.......#
#........#
#.....#####
#..#..#
#.# #..#
##  #..#
#    #..#
     #..#  ##########
      ##   #........#
           #........#
           #........#
           #........#
           #........#
           ##########
"""


def cursor_file(picture):
    rows = picture.strip("\n").split("\n")
    size = 32
    hot = next((x, y) for y, row in enumerate(rows) for x, ch in enumerate(row) if ch == "X")
    xor_rows, and_rows = [], []
    for y in range(size):
        row = rows[y] if y < len(rows) else ""
        xor_bits = and_bits = 0
        for x in range(size):
            ch = row[x] if x < len(row) else " "
            bit = 1 << (31 - x)
            if ch == ".":
                xor_bits |= bit
            elif ch == " ":
                and_bits |= bit
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    # Bottom-up rows; the mask follows the picture in one bitmap of twice the height.
    image = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    image += struct.pack("<II", 0x000000, 0xFFFFFF)
    image += b"".join(reversed(xor_rows)) + b"".join(reversed(and_rows))
    header = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, hot[0], hot[1], len(image), 6 + 16)
    return header + entry + image


for name, picture in (("qx_hand.cur", HAND), ("qx_drag.cur", DRAG)):
    with open(name, "wb") as f:
        f.write(cursor_file(picture))
