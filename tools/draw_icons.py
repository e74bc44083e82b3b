#!/usr/bin/python3
"""Draws the twelve 16x16 menu and toolbar icons as RGBA PNG files, and the
program's own icon for the desktop's menu.

Each small icon is pixel art: a 16x16 grid of palette letters ('.' is
transparent), optionally on top of a shape computed here (the disc). The
program's icon (a form window and the sheet of code made from it) is drawn from
shapes, as PNG at 48x48 and 256x256 and as SVG. Only the standard library is
used. Usage:

    tools/draw_icons.py [OUTDIR] [--preview FILE] [--app-icon-dir DIR]

OUTDIR defaults to src/app/icons next to this script and the program's icon goes
to data/icons; the preview is a contact sheet of all small icons at 8x scale, on
light and dark ground, plus a row at 1x.
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


# The program's icon on a 48x48 grid, drawn in order, each shape over the ones before:
# ('rect', x0, y0, x1, y1, corner radius, colour) or ('poly', [(x, y), ...], colour).
OUTLINE = (48, 48, 48, 255)
APP_ICON = [
    # the form window: frame, body, title bar, a text field and a button
    ('rect', 3, 5, 33, 33, 2.5, OUTLINE),
    ('rect', 4, 6, 32, 32, 1.8, (244, 244, 244, 255)),
    ('rect', 4, 6, 32, 12, 1.8, (50, 100, 210, 255)),
    ('rect', 4, 9, 32, 12, 0, (50, 100, 210, 255)),
    ('rect', 7, 15, 29, 20, 0, OUTLINE),
    ('rect', 8, 16, 28, 19, 0, (200, 222, 255, 255)),
    ('rect', 7, 23, 17, 29, 1, OUTLINE),
    ('rect', 8, 24, 16, 28, 0.6, (212, 212, 212, 255)),
    # the sheet of code made from it, its corner folded
    ('poly', [(20, 14), (38, 14), (45, 21), (45, 45), (20, 45)], OUTLINE),
    ('poly', [(21, 15), (37.6, 15), (44, 21.4), (44, 44), (21, 44)], (255, 255, 255, 255)),
    ('poly', [(37, 14.5), (37, 22), (44.5, 22)], OUTLINE),
    ('poly', [(38, 16.5), (38, 21), (42.5, 21)], (212, 212, 212, 255)),
    ('rect', 24, 25, 37, 27, 0, (142, 68, 173, 255)),
    ('rect', 27, 29, 41, 31, 0, (60, 176, 67, 255)),
    ('rect', 27, 33, 38, 35, 0, (140, 140, 140, 255)),
    ('rect', 27, 37, 40, 39, 0, (50, 100, 210, 255)),
    ('rect', 24, 41, 34, 43, 0, (142, 68, 173, 255)),
    # the red arrow from the one to the other
    ('poly', [(4, 36), (14, 36), (14, 32.5), (22.5, 39), (14, 45.5), (14, 42), (4, 42)], OUTLINE),
    ('poly', [(5, 37), (15, 37), (15, 34.6), (21, 39), (15, 43.4), (15, 41), (5, 41)], (222, 50, 40, 255)),
]


def inside_rect(px, py, x0, y0, x1, y1, r):
    if not (x0 <= px <= x1 and y0 <= py <= y1):
        return False
    cx = min(max(px, x0 + r), x1 - r)
    cy = min(max(py, y0 + r), y1 - r)
    return (px - cx) ** 2 + (py - cy) ** 2 <= r * r


def inside_poly(px, py, pts):
    hit = False
    for (ax, ay), (bx, by) in zip(pts, pts[1:] + pts[:1]):
        if (ay > py) != (by > py) and px < ax + (py - ay) * (bx - ax) / (by - ay):
            hit = not hit
    return hit


def shape_colour(px, py):
    """The colour of the topmost shape at a point of the 48x48 grid, or None."""
    colour = None
    for shape in APP_ICON:
        if shape[0] == 'rect':
            if inside_rect(px, py, *shape[1:6]):
                colour = shape[6]
        elif inside_poly(px, py, shape[1]):
            colour = shape[2]
    return colour


def app_icon(size, samples=4):
    """The program's icon at size x size, each pixel the mean of samples x samples points."""
    scale = 48 / size
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    c = shape_colour((x + (sx + 0.5) / samples) * scale, (y + (sy + 0.5) / samples) * scale)
                    if c:
                        for i in range(3):
                            acc[i] += c[i] * c[3]
                        acc[3] += c[3]
            n = samples * samples
            a = acc[3] / n
            row.append((0, 0, 0, 0) if a == 0 else
                       tuple(round(acc[i] / acc[3]) for i in range(3)) + (round(a),))
        pixels.append(row)
    return pixels


def app_icon_svg():
    out = ['<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">']
    for shape in APP_ICON:
        if shape[0] == 'rect':
            x0, y0, x1, y1, r, c = shape[1:]
            out.append('  <rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="#%02x%02x%02x"/>'
                       % (x0, y0, x1 - x0, y1 - y0, r, *c[:3]))
        else:
            pts = ' '.join('%g,%g' % p for p in shape[1])
            out.append('  <polygon points="%s" fill="#%02x%02x%02x"/>' % (pts, *shape[2][:3]))
    out.append('</svg>')
    return '\n'.join(out) + '\n'


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = os.path.join(here, '..', 'src', 'app', 'icons')
    app_dir = os.path.join(here, '..', 'data', 'icons')
    preview_file = None
    args = list(argv)
    while args:
        a = args.pop(0)
        if a == '--preview':
            preview_file = args.pop(0)
        elif a == '--app-icon-dir':
            app_dir = args.pop(0)
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
    os.makedirs(app_dir, exist_ok=True)
    for size in (48, 256):
        with open(os.path.join(app_dir, 'tarnwick-%d.png' % size), 'wb') as f:
            f.write(png_bytes(app_icon(size, 4 if size <= 48 else 2)))
    with open(os.path.join(app_dir, 'tarnwick.svg'), 'w') as f:
        f.write(app_icon_svg())
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
