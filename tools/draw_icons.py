#!/usr/bin/python3
"""Draws the twelve 16x16 menu and toolbar icons as RGBA PNG files.

Each icon is pixel art: a 16x16 grid of palette letters ('.' is transparent),
optionally on top of a shape computed here (the disc). Only the standard library
is used. Usage:

    tools/draw_icons.py [OUTDIR] [--preview FILE]

OUTDIR defaults to src/app/icons next to this script; the preview is a contact
sheet of all icons at 8x scale, on light and dark ground, plus a row at 1x.
"""

import math
import os
import struct
import sys
import zlib

PALETTE = {
    '.': (0, 0, 0, 0),
    'k': (48, 48, 48, 255),        # outline
    'w': (255, 255, 255, 255),
    'g': (212, 212, 212, 255),     # light grey
    'G': (140, 140, 140, 255),     # mid grey
    'D': (90, 90, 90, 255),        # dark grey
    'y': (250, 208, 80, 255),      # folder yellow
    'Y': (206, 150, 30, 255),      # folder shade
    'u': (255, 236, 150, 255),     # folder light / light through a door
    'e': (60, 176, 67, 255),       # green
    'E': (24, 112, 36, 255),       # dark green
    'l': (150, 226, 150, 255),     # light green
    'p': (142, 68, 173, 255),      # purple
    'P': (86, 36, 110, 255),       # dark purple
    'q': (196, 150, 214, 255),     # light purple
    'r': (222, 50, 40, 255),       # red
    'R': (150, 20, 16, 255),       # dark red
    'm': (250, 130, 120, 255),     # light red
    'b': (150, 96, 48, 255),       # wood
    'B': (92, 56, 24, 255),        # dark wood
    'n': (190, 134, 78, 255),      # light wood
    'o': (50, 100, 210, 255),      # blue
    'O': (24, 56, 140, 255),       # dark blue
    'c': (200, 222, 255, 255),     # light blue
    's': (246, 200, 154, 255),     # skin
    'S': (176, 112, 64, 255),      # skin outline
}

# 0: blank sheet of paper, top right corner folded.
NEW = """
................
..kkkkkkkkk.....
..kwwwwwwwkk....
..kwwwwwwwkgk...
..kwwwwwwwkggk..
..kwwwwwwwkkkkk.
..kwwwwwwwwwwgk.
..kwwwwwwwwwwgk.
..kwwwwwwwwwwgk.
..kwwwwwwwwwwgk.
..kwwwwwwwwwwgk.
..kwwwwwwwwwwgk.
..kwwwwwwwwwwgk.
..kwwwwwwwwwwgk.
..kgggggggggggk.
..kkkkkkkkkkkkk.
"""

# 1: open yellow folder, a green arrow leaving it to the upper right.
LOAD = """
..........E.....
..........eE....
......EEEEeeE...
.....EeeeeeeeE..
....Eeel...eE...
....EeE...EE....
.kkkkeE...E.....
kyyyyk..........
kyyyyykkkkkkk...
kyyyyyyyyyyyk...
kyyykkkkkkkkkkkk
kyykYuuuuuuuuuYk
kyykuuuuuuuuuYk.
kykYuuuuuuuuuYk.
kkYYYYYYYYYYYk..
kkkkkkkkkkkkkk..
"""

# 2 and 3: floppy disk (body letter replaced per colour).
FLOPPY = """
................
.kkkkkkkkkkkkk..
.kxkggggggGgkxk.
.kxkggggggGgkxxk
.kxkggggggGgkxxk
.kxkggggggggkxxk
.kxxkkkkkkkkxxxk
.kxxxxxxxxxxxxxk
.kxxwwwwwwwwwxxk
.kxxwggggggggxxk
.kxxwwwwwwwwwxxk
.kxxwggggggggxxk
.kxxwwwwwwwwwxxk
.kXxwwwwwwwwwxXk
.kkkkkkkkkkkkkkk
................
"""

# 6: white upward arrow, drawn over a green disc.
FIRST = """
................
................
................
.......kk.......
......kwwk......
.....kwwwwk.....
....kwwwwwwk....
...kwwwwwwwwk...
...kkkwwwwkkk...
.....kwwwwk.....
.....kwwwwk.....
.....kwwwwk.....
.....kwwwwk.....
.....kkkkkk.....
................
................
"""

# 7: sheet of paper with a red arrow pointing right.
GENERATE = """
kkkkkkkkk.......
kwwwwwwwkk......
kwGGGGwwkgk.....
kwwwwwwwkkkk....
kwGGGGGGwwgk....
kwwwwwwwwkgk....
kwGGGGGGwkkk....
kwwwwkkkkkrRk...
kwGGGkrrrrrrRk..
kwwwwkrrrrrrrRk.
kwGGGkRRRRRrRk..
kwwwwwkkkkkRk...
kwwwwwwwwkkk....
kwwwwwwwwwgk....
kggggggggggk....
kkkkkkkkkkkk....
"""

# 8: open door: frame with light behind, the leaf swung open to the left.
EXIT = """
................
.....kkkkkkkkkk.
.....kBBBBBBBBk.
.kk..kBuuuuuuBk.
.kbkkkBuuuuuuBk.
.kbnbkBuuuuuuBk.
.kbnbbkBuuuuuBk.
.kbnbbbkuuuuuBk.
.kbnbbbkuuuuuBk.
.kbnkkbkuuuuuBk.
.kbnkkbkuuuuuBk.
.kbnbbbkuuuuuBk.
.kbnbbkkuuuuuBk.
.kbnbkBBuuuuuBk.
.kbkkBBBBBBBBBk.
.kk..kkkkkkkkkk.
"""

# 9: a form (window with title bar and fields) and a hand pointing at it.
PREFERENCES = """
kkkkkkkkkkkkk...
koooooooooOwk...
kkkkkkkkkkkkk...
kwwwwwwwwwwwk...
kwGGwkkkkkkwk...
kwwwwkcccckwk...
kwGGwkkkkkSSk...
kwwwwwwwwSssS...
kwGGwkkkkSssSSS.
kwwwwwwSSSssSssS
kkkkkkSssSsssssS
......SssssssssS
.......SsssssssS
.......SsssssssS
........SsssssS.
........SSSSSSS.
"""

# 10: speech bubble with a lower-case i.
INFO = """
................
...OOOOOOOOOO...
..OwwwwwwwwwwO..
.OwwwwwooowwwwO.
.OwwwwwooowwwwO.
.OwwwwwwwwwwwwO.
.OwwwwoooowwwwO.
.OwwwwwooowwwwO.
.OwwwwwooowwwwO.
.OwwwwwooowwwwO.
.OwwwwoooooowwO.
..OwwwwwwwwwwO..
...OwwOOOOOOO...
...OwO..........
...OO...........
...O............
"""

# 11: purple book, seen slightly from the front right, pages below.
LICENCE = """
................
...kkkkkkkkkkk..
..kPppppppppppk.
..kPpqqqqqqqppk.
..kPpqkkkkkkqpk.
..kPpqqqqqqqppk.
..kPppppppppppk.
..kPppppppppppk.
..kPpppqqqqpppk.
..kPppppppppppk.
..kPppppppppppk.
..kPppppppppppk.
..kPkkkkkkkkkkk.
..kPwwwwwwwwwwk.
..kPggggggggggk.
...kkkkkkkkkkkk.
"""


def parse(grid):
    rows = [r for r in grid.strip('\n').split('\n')]
    assert len(rows) == 16, (len(rows), grid)
    for r in rows:
        assert len(r) == 16, (len(r), r)
    return rows


def blank():
    return [[PALETTE['.'] for _ in range(16)] for _ in range(16)]


def overlay(pixels, grid, subst=None):
    for y, row in enumerate(parse(grid)):
        for x, ch in enumerate(row):
            if subst and ch in subst:
                ch = subst[ch]
            if ch != '.':
                pixels[y][x] = PALETTE[ch]
    return pixels


def disc(pixels, fill, shade, light, edge):
    """A shaded disc of radius 7.5 with a soft (alpha) rim."""
    cx = cy = 7.5
    for y in range(16):
        for x in range(16):
            # coverage by 4x4 supersampling gives the rim its alpha
            inside = 0
            for sy in range(4):
                for sx in range(4):
                    px, py = x + (sx + 0.5) / 4, y + (sy + 0.5) / 4
                    if (px - 8) ** 2 + (py - 8) ** 2 <= 7.6 ** 2:
                        inside += 1
            if not inside:
                continue
            d = math.hypot(x + 0.5 - 8, y + 0.5 - 8)
            if d > 6.6:
                rgb = edge
            elif d > 5.3 and (x - cx) + (y - cy) < -3:
                rgb = light
            elif d > 5.3 and (x - cx) + (y - cy) > 3:
                rgb = shade
            else:
                rgb = fill
            pixels[y][x] = rgb[:3] + (round(255 * inside / 16),)
    return pixels


def bevel(pixels, boxes, fill, light, dark):
    """The union of boxes (x0, y0, x1, y1, inclusive) with a dark outline, lit from the upper left."""
    inside = {(x, y) for (x0, y0, x1, y1) in boxes for x in range(x0, x1 + 1) for y in range(y0, y1 + 1)}
    edge = {p for p in inside
            if any((p[0] + dx, p[1] + dy) not in inside for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))}
    for (x, y) in inside:
        if (x, y) in edge:
            ch = 'k'
        elif (x - 1, y) in edge or (x, y - 1) in edge:
            ch = light
        elif (x + 1, y) in edge or (x, y + 1) in edge:
            ch = dark
        else:
            ch = fill
        pixels[y][x] = PALETTE[ch]
    return pixels


def icons():
    out = []
    out.append(('00-new', overlay(blank(), NEW)))
    out.append(('01-load', overlay(blank(), LOAD)))
    out.append(('02-save', overlay(blank(), FLOPPY, {'x': 'p', 'X': 'P'})))
    out.append(('03-saveas', overlay(blank(), FLOPPY, {'x': 'e', 'X': 'E'})))
    # 4: green plus sign; 5: red minus sign of the same bar.
    out.append(('04-add', bevel(blank(), [(5, 1, 10, 14), (1, 5, 14, 10)], 'e', 'l', 'E')))
    out.append(('05-delete', bevel(blank(), [(1, 5, 14, 10)], 'r', 'm', 'R')))
    d = disc(blank(), PALETTE['e'], PALETTE['E'], PALETTE['l'], PALETTE['E'])
    out.append(('06-first', overlay(d, FIRST)))
    out.append(('07-generate', overlay(blank(), GENERATE)))
    out.append(('08-exit', overlay(blank(), EXIT)))
    out.append(('09-preferences', overlay(blank(), PREFERENCES)))
    out.append(('10-info', overlay(blank(), INFO)))
    out.append(('11-licence', overlay(blank(), LICENCE)))
    return out


def png_bytes(pixels):
    """Encodes rows of RGBA tuples as an 8-bit RGBA PNG (colour type 6)."""
    height, width = len(pixels), len(pixels[0])

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xffffffff)

    raw = b''.join(b'\x00' + bytes(c for px in row for c in px) for row in pixels)
    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9))
            + chunk(b'IEND', b''))


def blend(px, ground):
    a = px[3] / 255
    return tuple(round(px[i] * a + ground[i] * (1 - a)) for i in range(3)) + (255,)


def preview(all_icons, scale=8):
    """A contact sheet: each icon enlarged on light and on dark ground, then all at 1x."""
    grounds = [(237, 236, 235), (60, 60, 60)]
    cell = 16 * scale + 8
    width = cell * len(all_icons) + 8
    height = cell * len(grounds) + 40
    sheet = [[(255, 255, 255, 255)] * width for _ in range(height)]
    for gi, ground in enumerate(grounds):
        for i, (_, px) in enumerate(all_icons):
            ox, oy = 8 + i * cell, 8 + gi * cell
            for y in range(16 * scale):
                for x in range(16 * scale):
                    sheet[oy + y][ox + x] = blend(px[y // scale][x // scale], ground)
    oy = 8 + len(grounds) * cell
    for i, (_, px) in enumerate(all_icons):
        ox = 8 + i * 24
        for y in range(16):
            for x in range(16):
                sheet[oy + y][ox + x] = blend(px[y][x], grounds[0])
    return sheet


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = os.path.join(here, '..', 'src', 'app', 'icons')
    preview_file = None
    args = list(argv)
    while args:
        a = args.pop(0)
        if a == '--preview':
            preview_file = args.pop(0)
        else:
            outdir = a
    all_icons = icons()
    os.makedirs(outdir, exist_ok=True)
    for name, px in all_icons:
        with open(os.path.join(outdir, name + '.png'), 'wb') as f:
            f.write(png_bytes(px))
    if preview_file:
        with open(preview_file, 'wb') as f:
            f.write(png_bytes(preview(all_icons)))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
