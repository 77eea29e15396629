#!/usr/bin/env python3
"""Writes the program's bitmaps and icon from the pixel art below.

Run it after changing a picture; the BMP and ICO files it writes are committed
and embedded by the build (nothing reads this script at build time).

Pictures are drawn with one character per pixel, using the 16-colour palette:
  k black   m maroon  g green   o olive   n navy    p purple  t teal    s silver
  d gray    r red     l lime    y yellow  b blue    f fuchsia c cyan    w white
  . the background of the picture (silver for toolbar images, transparent in
    the icon, white in the one-bit index icons; '#' is black there)
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
CODE = {c: i for i, c in enumerate("kmgonptsdrlybfcw")}

# The seven toolbar images, 16 x 16 each, in button order.
TOOLBAR = [
    # 0: an arrow pointing left (previous day)
    """
................
................
.......k........
......kk........
.....klk........
....kllkkkkkkk..
...kllllllllllk.
..klllllllllllk.
..kgllllllllllk.
...kgllggggggggk
....kglkkkkkkkk.
.....kgk........
......kk........
.......k........
................
................
""",
    # 1: a house (today)
    """
................
.......kk..kk...
......krrk.kk...
.....krrrrkkk...
....krrrrrrkk...
...krrrrrrrrk...
..krrrrrrrrrrk..
.kkkkkkkkkkkkkk.
..kwwwwwwwwwwk..
..kwkkkwwkkkwk..
..kwkokwwkbkwk..
..kwkokwwkkkwk..
..kwkokwwwwwwk..
..kwkykwwwwwwk..
..kwkokwwwwwwk..
..kkkkkkkkkkkk..
""",
    # 2: an arrow pointing right (next day)
    """
................
................
........k.......
........kk......
........klk.....
..kkkkkkkllk....
.kllllllllllk...
.klllllllllllk..
.kllllllllllgk..
kggggggggllgk...
.kkkkkkkklgk....
........kgk.....
........kk......
........k.......
................
................
""",
    # 3: a blue letter (choose font)
    """
................
.......bb.......
......bbbb......
......bbbb......
.....bb..bb.....
.....bb..bb.....
....bb....bb....
....bb....bb....
...bbbbbbbbbb...
...bbbbbbbbbb...
..bb........bb..
..bb........bb..
.bbb........bbb.
bbbbb......bbbbb
................
................
""",
    # 4: binoculars (search)
    """
................
..kkk......kkk..
..kdk......kdk..
.kkdkk....kkdkk.
.kdddk....kdddk.
.kdddkkkkkkdddk.
kkdddkkddkkdddkk
kddddkkddkkddddk
kddddkkkkkkddddk
kkkkkk....kkkkkk
kccwkk....kccwkk
kcccck....kcccck
kcccck....kcccck
kkccck....kkccck
.kkkk......kkkk.
................
""",
    # 5: binoculars with a circling arrow (search again)
    """
..........gggg..
.........g....g.
kkk.....kkk...g.
kdk.....kdk..ggg
kdkk....kdk...g.
kddk....kddk....
kddkkkkkkddk....
kddkkddkkddk....
kddkkkkkkddk....
kkkk....kkkk....
kcwk....kcwk....
kcck....kcck....
kkkk....kkkk....
................
................
................
""",
    # 6: a list mark in red and green (choose article)
    """
................
................
.rr.............
.rr..kkkkkkkkkk.
................
................
.ll.............
.ll..kkkkkkkkkk.
................
................
.rr.............
.rr..kkkkkkkkkk.
................
................
.ll.............
.ll..kkkkkkkkkk.
""",
]

# The program's icon: an open book with a blue cover and Hebrew-like lines.
ICON32 = """
................................
................................
................................
................................
....nnnnnnnnnnnn..nnnnnnnnnnnn..
...nbbbbbbbbbbbbnnbbbbbbbbbbbbn.
...nbwwwwwwwwwwwnnwwwwwwwwwwwbn.
...nbwwwwwwwwwwwnnwwwwwwwwwwwbn.
...nbwwkkkkkkwwwnnwwkkkkkkwwwbn.
...nbwwwwwwwwwwwnnwwwwwwwwwwwbn.
...nbwkkkkkkkkwwnnwkkkkkkkkwwbn.
...nbwwwwwwwwwwwnnwwwwwwwwwwwbn.
...nbwwkkkkkkkwwnnwwkkkkkkkwwbn.
...nbwwwwwwwwwwwnnwwwwwwwwwwwbn.
...nbwkkkkkkkkwwnnwkkkkkkkkwwbn.
...nbwwwwwwwwwwwnnwwwwwwwwwwwbn.
...nbwwkkkkkkwwwnnwwkkkkkkwwwbn.
...nbwwwwwwwwwwwnnwwwwwwwwwwwbn.
...nbwkkkkkkkkwwnnwkkkkkkkkwwbn.
...nbwwwwwwwwwwwnnwwwwwwwwwwwbn.
...nbwwkkkkkkkwwnnwwkkkkkkkwwbn.
...nbwwwwwwwwwwwnnwwwwwwwwwwwbn.
...nbwwwwwwwwwwwnnwwwwwwwwwwwbn.
...nbbbbbbbbbbbbnnbbbbbbbbbbbbn.
....nnnnnnnnnnnnnnnnnnnnnnnnnn..
...............rr...............
...............rr...............
...............rr...............
................................
................................
................................
................................
"""

ICON16 = """
................
................
..nnnnnn.nnnnnn.
.nbbbbbbnbbbbbbn
.nbwwwwwnwwwwwbn
.nbwkkkwnwkkkwbn
.nbwwwwwnwwwwwbn
.nbwkkkwnwkkkwbn
.nbwwwwwnwwwwwbn
.nbwkkwwnwkkwwbn
.nbwwwwwnwwwwwbn
.nbbbbbbnbbbbbbn
..nnnnnnnnnnnnn.
........r.......
........r.......
................
"""

# The index list's icons, 9 x 9, one bit per pixel ('#' black, '.' white).
PLUS_BOX = """
#########
#.......#
#...#...#
#...#...#
#.#####.#
#...#...#
#...#...#
#.......#
#########
"""
MINUS_BOX = """
#########
#.......#
#.......#
#.......#
#.#####.#
#.......#
#.......#
#.......#
#########
"""
PAGE = """
######...
#....##..
#....#.#.
#....####
#.......#
#.......#
#.......#
#.......#
#########
"""


def rows(art, width, height):
    lines = [line for line in art.strip("\n").split("\n")]
    assert len(lines) == height, (len(lines), height)
    for line in lines:
        assert len(line) == width, (line, width)
    return lines


def bmp_4bit(pixels, width, height):
    """A 16-colour BMP file; `pixels` are rows of palette indices, top first."""
    stride = ((width * 4 + 31) // 32) * 4
    data = bytearray()
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            row[x // 2] |= pixels[y][x] << (4 if x % 2 == 0 else 0)
        data += row
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(data), 2835, 2835, 16, 16)
    return header + info + palette + bytes(data)


def bmp_1bit(art, width, height):
    lines = rows(art, width, height)
    stride = ((width + 31) // 32) * 4
    data = bytearray()
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            if lines[y][x] == ".":  # white is palette entry 1
                row[x // 8] |= 0x80 >> (x % 8)
        data += row
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 1, 0, len(data), 2835, 2835, 2, 2)
    return header + info + palette + bytes(data)


def indices(art, width, height, background):
    return [[background if c == "." else CODE[c] for c in line] for line in rows(art, width, height)]


def icon_image(art, size):
    """The BMP part of one icon image: 4-bit colours and the transparency mask."""
    lines = rows(art, size, size)
    colour_stride = ((size * 4 + 31) // 32) * 4
    mask_stride = ((size + 31) // 32) * 4
    colours = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):
        row = bytearray(colour_stride)
        mrow = bytearray(mask_stride)
        for x, c in enumerate(lines[y]):
            if c == ".":
                mrow[x // 8] |= 0x80 >> (x % 8)
            else:
                row[x // 2] |= CODE[c] << (4 if x % 2 == 0 else 0)
        colours += row
        mask += mrow
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(colours) + len(mask), 0, 0, 16, 0)
    return info + palette + bytes(colours) + bytes(mask)


def icon_file(images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset + len(body))
        body += data
    return out + body


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def main():
    strip = [[0] * 112 for _ in range(16)]
    for i, art in enumerate(TOOLBAR):
        image = indices(art, 16, 16, CODE["s"])
        for y in range(16):
            strip[y][16 * i:16 * i + 16] = image[y]
    write("toolbar.bmp", bmp_4bit(strip, 112, 16))
    write("corvella.ico", icon_file([(32, icon_image(ICON32, 32)), (16, icon_image(ICON16, 16))]))
    write("plus_box.bmp", bmp_1bit(PLUS_BOX, 9, 9))
    write("minus_box.bmp", bmp_1bit(MINUS_BOX, 9, 9))
    write("page.bmp", bmp_1bit(PAGE, 9, 9))


if __name__ == "__main__":
    main()
