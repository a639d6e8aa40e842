#!/usr/bin/env python3
"""Draws the eight image assets the HTML pages use into assets/.

Seven 20 x 20 PNG pieces of the tree-view contents page and the 84 x 32
background of the navigation buttons (a 24-bit BMP). Only the standard
library is used and the output is the same on every run.

Usage: scripts/make_assets.py [output folder]   (default: assets/ of the repo)
"""

import os
import struct
import sys
import zlib

SIZE = 20
CLEAR = (0, 0, 0, 0)
LINE = (128, 128, 128, 255)
INK = (64, 64, 64, 255)
PAPER = (255, 255, 255, 255)
TEXT = (112, 128, 160, 255)
COVER = (40, 80, 160, 255)
PAGE = (255, 252, 232, 255)

# The dotted tree lines meet in the middle of the piece: the vertical line
# runs down column 9 on even rows, the branch goes right along row 10 on odd
# columns, so neighbouring pieces continue the dots without a gap.
MID_X = 9
MID_Y = 10


def blank():
    return [[CLEAR] * SIZE for _ in range(SIZE)]


def vertical(img, top=0, bottom=SIZE - 1):
    for y in range(top, bottom + 1):
        if y % 2 == 0:
            img[y][MID_X] = LINE


def branch(img, left=MID_X + 2, right=SIZE - 1):
    for x in range(left, right + 1):
        if x % 2 == 1:
            img[MID_Y][x] = LINE


def rect(img, left, top, right, bottom, colour):
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            img[y][x] = colour


def frame(img, left, top, right, bottom, colour):
    for x in range(left, right + 1):
        img[top][x] = colour
        img[bottom][x] = colour
    for y in range(top, bottom + 1):
        img[y][left] = colour
        img[y][right] = colour


def tree_v():
    img = blank()
    vertical(img)
    return img


def tree_s():
    return blank()


def tree_t():
    img = blank()
    vertical(img)
    branch(img)
    return img


def tree_l():
    img = blank()
    vertical(img, bottom=MID_Y)
    branch(img)
    return img


def book_open():
    img = blank()
    # The cover shows under both pages.
    rect(img, 1, 15, 18, 16, COVER)
    # Two pages with their outer top corners raised, meeting at the spine.
    for x in range(2, 18):
        rise = 1 if x in (3, 4, 5, 14, 15, 16) else 0
        top = 4 - rise if x not in (2, 17) else 5
        for y in range(top, 15):
            img[y][x] = PAGE
        img[top][x] = INK
        img[14][x] = INK
    for y in range(5, 15):
        img[y][2] = INK
        img[y][17] = INK
    for y in range(4, 16):
        img[y][MID_X] = INK
        img[y][MID_X + 1] = INK
    for y in (7, 9, 11):
        for x in range(4, 8):
            img[y][x] = TEXT
        for x in range(12, 16):
            img[y][x] = TEXT
    return img


def document(img, left):
    right, top, bottom, fold = left + 11, 2, 17, 4
    rect(img, left, top, right, bottom, PAPER)
    frame(img, left, top, right, bottom, INK)
    # The turned-down corner at the top right.
    for i in range(fold):
        for x in range(right - fold + 1 + i, right + 1):
            img[top + i][x] = CLEAR
    for i in range(fold + 1):
        img[top + i][right - fold + i] = INK
        img[top + fold][right - fold + i] = INK
        img[top + i][right - fold] = INK
    for y in (7, 9, 11, 13, 15):
        for x in range(left + 2, right - 1):
            img[y][x] = TEXT
    return img


def file_document():
    return document(blank(), 4)


def file_document_h():
    # The document of a nested entry hangs on the branch coming from the left.
    img = document(blank(), 7)
    for x in range(0, 6):
        if x % 2 == 1:
            img[MID_Y][x] = LINE
    return img


def png_bytes(img):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    height, width = len(img), len(img[0])
    raw = bytearray()
    for row in img:
        raw.append(0)  # no filter
        for pixel in row:
            raw.extend(pixel)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def button_pixels(width=84, height=32):
    """A raised grey button: light top and left edges, dark bottom and right."""
    rows = []
    for y in range(height):
        shade = 240 - (40 * y) // (height - 1)
        row = []
        for x in range(width):
            colour = (shade, shade, shade)
            if x in (1, width - 2) or y in (1, height - 2):
                colour = (255, 255, 255) if (x == 1 or y == 1) else (160, 160, 160)
            if x in (0, width - 1) or y in (0, height - 1):
                colour = (112, 112, 112)
            if (x in (0, width - 1)) and (y in (0, height - 1)):
                colour = (255, 255, 255)  # rounded corners on the white page
            row.append(colour)
        rows.append(row)
    return rows


def bmp_bytes(rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):  # bottom row first
        line = bytearray()
        for r, g, b in row:
            line.extend((b, g, r))
        line.extend(b"\0" * (stride - len(line)))
        data.extend(line)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info_header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data),
                              2835, 2835, 0, 0)
    return file_header + info_header + bytes(data)


ASSETS = [
    ("quillark_tree_V.png", lambda: png_bytes(tree_v())),
    ("quillark_tree_S.png", lambda: png_bytes(tree_s())),
    ("quillark_tree_T.png", lambda: png_bytes(tree_t())),
    ("quillark_tree_L.png", lambda: png_bytes(tree_l())),
    ("quillark_book_open.png", lambda: png_bytes(book_open())),
    ("quillark_file_document_H.png", lambda: png_bytes(file_document_h())),
    ("quillark_file_document.png", lambda: png_bytes(file_document())),
    ("quillark_button3.bmp", lambda: bmp_bytes(button_pixels())),
]


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "assets")
    os.makedirs(folder, exist_ok=True)
    for name, draw in ASSETS:
        with open(os.path.join(folder, name), "wb") as out:
            out.write(draw())


if __name__ == "__main__":
    main()
