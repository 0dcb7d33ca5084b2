#!/usr/bin/env python3
"""Writes a synthetic 10 x 8-screen map file (current layout), larger than
any map of the sample image, for timing the preview: tile-like tiles, a
block on every twelfth square, a list background and a few enemies.
Usage: make_big_map.py OUT.gvm"""
import struct
import sys

WIDTH, HEIGHT = 10, 8
cols, rows = WIDTH * 20, HEIGHT * 14
squares = cols * rows

tiles = bytes((x // 7 + y // 5 * 3) % 40 if y > 3 else 0 for y in range(rows) for x in range(cols))
blocks = bytearray()
empty = 0
for i in range(squares):
    if i % 12 == 5:
        while empty:
            run = min(empty, 128)
            blocks.append(run - 1)
            empty -= run
        code = (i // 12) % 17 | (0x20 if i % 24 == 5 else 0)
        blocks += bytes([0x80 | code, i & 0xFF, 1, 2, 3])
    else:
        empty += 1
while empty:
    run = min(empty, 128)
    blocks.append(run - 1)
    empty -= run
background = struct.pack(">3H", 1, 0x40, 0x20) * 3 + b"\xff\xff"
enemy = bytes([0, 1, 0, 2, 0, 3, 4]) + bytes(range(32))

header = bytearray(b"GMAP\x80\x00") + bytes([WIDTH, HEIGHT, 0x01, 0x02])
header += struct.pack("<4H", 0x40, 0xA0, cols * 16 - 64, 0xA0)
offset = 28
offsets = []
for section in (tiles, blocks, background, enemy):
    offsets.append(offset)
    offset += len(section)
offsets.append(offset)
header += struct.pack("<5H", *offsets)
with open(sys.argv[1], "wb") as out:
    out.write(bytes(header) + tiles + bytes(blocks) + background + enemy)
