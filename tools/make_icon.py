#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the program's icon, resources/ostlebry.png: an amber folder with a
steel-blue magnifier over it, drawn here from simple shapes with 4x4
supersampling.

    python3 tools/make_icon.py [output.png] [size]
"""
import struct
import sys
import zlib

SUB = 4  # samples per pixel along each axis


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    return inside


def ring(cx, cy, outer, inner):
    return lambda x, y: inner * inner <= (x - cx) ** 2 + (y - cy) ** 2 <= outer * outer


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def capsule(ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        px, py = ax + t * dx, ay + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= r * r

    return inside


def vertical(top, bottom, y0, y1):
    """A colour that runs from `top` at y0 to `bottom` at y1."""

    def colour(x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))

    return colour


def solid(rgb):
    return lambda x, y: rgb


# Drawn on a 256-unit canvas, back to front: (shape, colour, opacity).
LAYERS = [
    (rounded_rect(22, 40, 112, 86, 12), solid((0xC9, 0x83, 0x22)), 1.0),  # tab
    (rounded_rect(22, 60, 234, 212, 16), solid((0xD9, 0x92, 0x2C)), 1.0),  # back
    (rounded_rect(22, 88, 234, 216, 16), vertical((0xFB, 0xCB, 0x62), (0xF0, 0xA8, 0x3A), 88, 216), 1.0),
    (rounded_rect(22, 88, 234, 96, 4), solid((0xFF, 0xDE, 0x93)), 0.7),  # light on the front's edge
    (disc(156, 142, 44), solid((0xEA, 0xF3, 0xFA)), 0.82),  # lens
    (disc(142, 126, 14), solid((0xFF, 0xFF, 0xFF)), 0.9),  # glint
    (capsule(192, 178, 232, 218, 15), solid((0x24, 0x3B, 0x53)), 1.0),  # handle
    (ring(156, 142, 56, 42), solid((0x2F, 0x6F, 0x9F)), 1.0),  # rim
]


def render(size):
    scale = 256.0 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0  # premultiplied
            for sy in range(SUB):
                for sx in range(SUB):
                    x = (px + (sx + 0.5) / SUB) * scale
                    y = (py + (sy + 0.5) / SUB) * scale
                    sr = sg = sb = sa = 0.0
                    for inside, colour, opacity in LAYERS:
                        if inside(x, y):
                            cr, cg, cb = colour(x, y)
                            sr = cr * opacity + sr * (1 - opacity)
                            sg = cg * opacity + sg * (1 - opacity)
                            sb = cb * opacity + sb * (1 - opacity)
                            sa = opacity + sa * (1 - opacity)
                    r, g, b, a = r + sr, g + sg, b + sb, a + sa
            n = SUB * SUB
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r / a), round(g / a), round(b / a), round(255 * a / n)))
        rows.append(row)
    return rows


def png_bytes(rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in rows)
    ihdr = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def main(argv):
    output = argv[0] if argv else "resources/ostlebry.png"
    size = int(argv[1]) if len(argv) > 1 else 128
    with open(output, "wb") as f:
        f.write(png_bytes(render(size)))


if __name__ == "__main__":
    main(sys.argv[1:])
