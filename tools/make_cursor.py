#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the program's hand pointer, resources/HAND-M.CUR: a 32x32 Windows
cursor drawn here pixel by pixel, with its hotspot on the tip of the finger.

    python3 tools/make_cursor.py [output.cur] [--preview preview.png]
"""
import struct
import sys
import zlib

SIZE = 32
# '#' outline, '.' fill, ' ' transparent. The tip of the finger is the hotspot.
HAND = [
    "     ##           ",
    "    #..#          ",
    "    #..#          ",
    "    #..#          ",
    "    #..#          ",
    "    #..###        ",
    "    #..#..###     ",
    "    #..#..#..##   ",
    "    #..#..#..#..# ",
    " ## #..#..#..#..# ",
    "#..##..#..#..#..# ",
    "#...#...........# ",
    " #..#...........# ",
    "  #.............# ",
    "  #.............# ",
    "   #............# ",
    "   #...........#  ",
    "    #..........#  ",
    "    #..........#  ",
    "    #..........#  ",
    "    ############  ",
]
HOTSPOT = (5, 0)
OUTLINE = (0x1b, 0x25, 0x30, 0xFF)  # near-black, a touch of blue
FILL = (0xFF, 0xFF, 0xFF, 0xFF)


def pixels():
    """Rows of RGBA tuples, top row first."""
    rows = []
    for y in range(SIZE):
        line = HAND[y] if y < len(HAND) else ""
        row = []
        for x in range(SIZE):
            c = line[x] if x < len(line) else " "
            row.append(OUTLINE if c == "#" else FILL if c == "." else (0, 0, 0, 0))
        rows.append(row)
    return rows


def cursor_bytes(rows):
    # The image: a BITMAPINFOHEADER whose height counts the colour and mask
    # bitmaps together, 32-bit BGRA rows bottom-up, then the 1-bit AND mask.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask = bytearray()
    for row in reversed(rows):
        bits = 0
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits |= 1 << (31 - x)
        mask += struct.pack(">I", bits)  # 32 pixels: exactly one 4-byte row
    image = header + colour + bytes(mask)
    # ICONDIR (type 2 = cursor) and one entry whose planes/bit-count fields
    # carry the hotspot: bytes 10-13 of the file.
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, HOTSPOT[0], HOTSPOT[1], len(image), 6 + 16)
    return directory + entry + image


def png_bytes(rows, scale=1):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b""
    for row in rows:
        line = b"".join(bytes(p) * scale for p in row)
        raw += (b"\x00" + line) * scale
    width, height = len(rows[0]) * scale, len(rows) * scale
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def main(argv):
    output = "resources/HAND-M.CUR"
    preview = None
    args = list(argv)
    if "--preview" in args:
        i = args.index("--preview")
        preview = args[i + 1]
        del args[i : i + 2]
    if args:
        output = args[0]
    rows = pixels()
    with open(output, "wb") as f:
        f.write(cursor_bytes(rows))
    if preview:
        with open(preview, "wb") as f:
            f.write(png_bytes(rows, 8))


if __name__ == "__main__":
    main(sys.argv[1:])
