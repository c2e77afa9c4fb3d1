# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
import struct
def bitmap(pixels, w=32, h=32):
    # BITMAPINFOHEADER with doubled height (XOR + AND masks), 32 bpp BGRA, bottom-up rows
    hdr = struct.pack('<IiiHHIIiiII', 40, w, h*2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(struct.pack('<BBBB', *pixels[y][x]) for y in reversed(range(h)) for x in range(w))
    andm = b''
    for y in reversed(range(h)):
        row = 0
        bits = ''.join('0' if pixels[y][x][3] else '1' for x in range(w))
        andm += int(bits, 2).to_bytes(4, 'big')
    return hdr + xor + andm
def container(kind, img, hx, hy):
    entry = struct.pack('<BBBBHHII', 32, 32, 0, 0, hx, hy, len(img), 6 + 16)
    return struct.pack('<HHH', 0, kind, 1) + entry + img
# A pointing hand: outline black, fill white.
art = [
"      ##                        ",
"     #..#                       ",
"     #..#                       ",
"     #..#                       ",
"     #..#                       ",
"     #..###                     ",
"     #..#..###                  ",
"     #..#..#..##                ",
"     #..#..#..#.#               ",
" ### #..#..#..#..#              ",
" #..##..........#               ",
" #...#..........#               ",
"  #..#..........#               ",
"   #............#               ",
"   #............#               ",
"    #...........#               ",
"    #..........#                ",
"     #.........#                ",
"     #........#                 ",
"      #.......#                 ",
"      #.......#                 ",
"      #########                 ",
]
W=H=32
px=[[(0,0,0,0)]*W for _ in range(H)]
for y,row in enumerate(art):
    for x,ch in enumerate(row):
        if ch=='#': px[y][x]=(0,0,0,255)
        elif ch=='.': px[y][x]=(255,255,255,255)
open('HAND-M.CUR','wb').write(container(2, bitmap(px), 6, 0))
# drag.ico: a small up/down arrow pair on a white card
px=[[(0,0,0,0)]*W for _ in range(H)]
for y in range(4,28):
    for x in range(8,24):
        edge = y in (4,27) or x in (8,23)
        px[y][x]=(0,0,0,255) if edge else (255,255,255,255)
for i in range(6):
    for x in range(16-i,16+i+1):
        px[7+i][x]=(160,80,0,255); px[24-i][x]=(160,80,0,255)
for y in range(12,20):
    px[y][15]=(160,80,0,255); px[y][16]=(160,80,0,255)
open('drag.ico','wb').write(container(1, bitmap(px), 0, 0))
