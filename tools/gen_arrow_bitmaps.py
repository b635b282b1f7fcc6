#!/usr/bin/env python3
"""Writes the arrow-button bitmaps src/res/bitmaps/130.bmp ... 143.bmp.

Run from the repository root: python3 tools/gen_arrow_bitmaps.py
The .bmp files it writes are the resources; this script only documents how
they were made and lets them be redrawn.

Every image is a 24-bit uncompressed bottom-up BMP. 130 is the mask of all
arrows (27 x 25, all black, so each button's region is a full rectangle).
The state images show a grey button face (192, 192, 192) with a two-pixel
3-D edge and rounded corners of face colour, so the top-left pixel is always
light grey; the arrow is black (normal and pressed), blue (hover) or
embossed grey (disabled).

Only part of each image shows in the program, so the button is drawn in
that part and the rest is plain face colour:
- the horizontal arrows' images are 26 x 24, their buttons 24 x 23 pixels,
  tiled from the top-left corner: the top-left 24 x 23 shows;
- the vertical arrows' images are 24 x 26 and stretched onto buttons of the
  same size, but the mask's region is 25 pixels high: the top 24 x 25 shows.
"""

import os
import struct
import sys

FACE = (192, 192, 192)
WHITE = (255, 255, 255)
LIGHT = (224, 224, 224)
SHADOW = (128, 128, 128)
DARK = (64, 64, 64)
BLACK = (0, 0, 0)
HOVER = (0, 64, 200)
GREY_ARROW = (128, 128, 128)


def write_bmp(path, pixels):
    """pixels: rows top to bottom of (r, g, b)."""
    h = len(pixels)
    w = len(pixels[0])
    stride = (w * 3 + 3) // 4 * 4
    body = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        body += line
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(body), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(header + info + body)


def blank(w, h, color):
    return [[color] * w for _ in range(h)]


def button_face(img, bw, bh):
    """A raised two-pixel edge around the bw x bh area at the top-left."""
    for y in range(bh):
        for x in range(bw):
            img[y][x] = FACE
    for x in range(1, bw - 1):
        img[0][x] = WHITE
        img[bh - 1][x] = DARK
    for y in range(1, bh - 1):
        img[y][0] = WHITE
        img[y][bw - 1] = DARK
    for x in range(1, bw - 2):
        img[1][x] = LIGHT
        img[bh - 2][x] = SHADOW
    for y in range(1, bh - 2):
        img[y][1] = LIGHT
        img[y][bw - 2] = SHADOW
    img[bh - 2][bw - 2] = SHADOW


def arrow_cells(direction, bw, bh):
    """Pixels (x, y) of an arrow: a head of seven rows or columns and a shaft."""
    cells = set()
    if direction in ('left', 'right'):
        cy = bh // 2
        if direction == 'right':
            shaft = range(5, 11)
            head = [(11 + k, k) for k in range(7)]  # column, narrowing
        else:
            shaft = range(13, 19)
            head = [(12 - k, k) for k in range(7)]
        for x in shaft:
            for y in range(cy - 2, cy + 3):
                cells.add((x, y))
        for x, k in head:
            for y in range(cy - 6 + k, cy + 7 - k):
                cells.add((x, y))
    else:
        # Even width: the head spans columns 5..18 and narrows to 11..12.
        if direction == 'up':
            head = [(12 - k, k) for k in range(7)]  # row, narrowing
            shaft = range(13, 19)
        else:
            head = [(13 + k, k) for k in range(7)]
            shaft = range(7, 13)
        for y in shaft:
            for x in range(10, 14):
                cells.add((x, y))
        for y, k in head:
            for x in range(5 + k, 19 - k):
                cells.add((x, y))
    return cells


def state_image(direction, state):
    horizontal = direction in ('left', 'right')
    w, h = (26, 24) if horizontal else (24, 26)
    bw, bh = (24, 23) if horizontal else (24, 25)
    img = blank(w, h, FACE)
    button_face(img, bw, bh)
    cells = arrow_cells(direction, bw, bh)
    if state == 'disabled':
        for x, y in cells:
            img[y + 1][x + 1] = WHITE
        for x, y in cells:
            img[y][x] = GREY_ARROW
    else:
        color = HOVER if state == 'hover' else BLACK
        for x, y in cells:
            img[y][x] = color
    assert img[0][0] == FACE
    return img


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
    out = os.path.join(root, 'src', 'res', 'bitmaps')
    os.makedirs(out, exist_ok=True)
    images = {
        130: blank(27, 25, BLACK),
        131: state_image('right', 'disabled'),
        132: state_image('right', 'normal'),
        133: state_image('right', 'hover'),
        134: state_image('left', 'disabled'),
        135: state_image('left', 'normal'),
        136: state_image('left', 'hover'),
        137: state_image('up', 'normal'),
        138: state_image('up', 'hover'),
        140: state_image('up', 'disabled'),
        141: state_image('down', 'hover'),
        142: state_image('down', 'normal'),
        143: state_image('down', 'disabled'),
    }
    for rid, img in images.items():
        write_bmp(os.path.join(out, '%d.bmp' % rid), img)
    return 0


if __name__ == '__main__':
    sys.exit(main())
