#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws the program's icon: an amber folder with a steel-blue magnifier over
it, made of simple shapes. The same drawing is written as a PNG picture (with
4x4 supersampling) and as an SVG drawing for the scalable icon theme folder.

    python3 tools/make_icon.py [output.png] [size]    # default resources/ostlebry.png, 128
    python3 tools/make_icon.py --svg [output.svg]     # default resources/ostlebry.svg
    python3 tools/make_icon.py --compare drawing.svg picture.png
        # renders the SVG with rsvg-convert at the picture's size and fails
        # when the two differ more than anti-aliasing explains
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

SUB = 4  # samples per pixel along each axis


class RoundedRect:
    def __init__(self, x0, y0, x1, y1, r):
        self.x0, self.y0, self.x1, self.y1, self.r = x0, y0, x1, y1, r

    def inside(self, x, y):
        if x < self.x0 or x > self.x1 or y < self.y0 or y > self.y1:
            return False
        cx = min(max(x, self.x0 + self.r), self.x1 - self.r)
        cy = min(max(y, self.y0 + self.r), self.y1 - self.r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= self.r * self.r

    def svg(self, paint):
        return (f'<rect x="{self.x0}" y="{self.y0}" width="{self.x1 - self.x0}" '
                f'height="{self.y1 - self.y0}" rx="{self.r}" fill="{paint}"')


class Ring:
    def __init__(self, cx, cy, outer, inner):
        self.cx, self.cy, self.outer, self.inner = cx, cy, outer, inner

    def inside(self, x, y):
        return self.inner ** 2 <= (x - self.cx) ** 2 + (y - self.cy) ** 2 <= self.outer ** 2

    def svg(self, paint):
        # A stroke centred between the two radii covers exactly the ring.
        return (f'<circle cx="{self.cx}" cy="{self.cy}" r="{(self.outer + self.inner) / 2:g}" '
                f'fill="none" stroke="{paint}" stroke-width="{self.outer - self.inner}"')


class Disc:
    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r = cx, cy, r

    def inside(self, x, y):
        return (x - self.cx) ** 2 + (y - self.cy) ** 2 <= self.r * self.r

    def svg(self, paint):
        return f'<circle cx="{self.cx}" cy="{self.cy}" r="{self.r}" fill="{paint}"'


class Capsule:
    """A bar with round ends: every point within r of the segment a-b."""

    def __init__(self, ax, ay, bx, by, r):
        self.ax, self.ay, self.bx, self.by, self.r = ax, ay, bx, by, r

    def inside(self, x, y):
        dx, dy = self.bx - self.ax, self.by - self.ay
        t = max(0.0, min(1.0, ((x - self.ax) * dx + (y - self.ay) * dy) / (dx * dx + dy * dy)))
        px, py = self.ax + t * dx, self.ay + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= self.r * self.r

    def svg(self, paint):
        return (f'<line x1="{self.ax}" y1="{self.ay}" x2="{self.bx}" y2="{self.by}" '
                f'stroke="{paint}" stroke-width="{2 * self.r}" stroke-linecap="round"')


def hex_colour(rgb):
    return "#%02x%02x%02x" % rgb


class Solid:
    def __init__(self, rgb):
        self.rgb = rgb

    def at(self, x, y):
        return self.rgb

    def svg_paint(self, layer):
        return hex_colour(self.rgb), ""


class Vertical:
    """A colour that runs from `top` at y0 to `bottom` at y1."""

    def __init__(self, top, bottom, y0, y1):
        self.top, self.bottom, self.y0, self.y1 = top, bottom, y0, y1

    def at(self, x, y):
        t = max(0.0, min(1.0, (y - self.y0) / (self.y1 - self.y0)))
        return tuple(round(a + (b - a) * t) for a, b in zip(self.top, self.bottom))

    def svg_paint(self, layer):
        name = f"gradient{layer}"
        definition = (
            f'<linearGradient id="{name}" gradientUnits="userSpaceOnUse" '
            f'x1="0" y1="{self.y0}" x2="0" y2="{self.y1}">'
            f'<stop offset="0" stop-color="{hex_colour(self.top)}"/>'
            f'<stop offset="1" stop-color="{hex_colour(self.bottom)}"/></linearGradient>')
        return f"url(#{name})", definition


# Drawn on a 256-unit canvas, back to front: (shape, colour, opacity).
LAYERS = [
    (RoundedRect(22, 40, 112, 86, 12), Solid((0xC9, 0x83, 0x22)), 1.0),  # tab
    (RoundedRect(22, 60, 234, 212, 16), Solid((0xD9, 0x92, 0x2C)), 1.0),  # back
    (RoundedRect(22, 88, 234, 216, 16), Vertical((0xFB, 0xCB, 0x62), (0xF0, 0xA8, 0x3A), 88, 216), 1.0),
    (RoundedRect(22, 88, 234, 96, 4), Solid((0xFF, 0xDE, 0x93)), 0.7),  # light on the front's edge
    (Disc(156, 142, 44), Solid((0xEA, 0xF3, 0xFA)), 0.82),  # lens
    (Disc(142, 126, 14), Solid((0xFF, 0xFF, 0xFF)), 0.9),  # glint
    (Capsule(192, 178, 232, 218, 15), Solid((0x24, 0x3B, 0x53)), 1.0),  # handle
    (Ring(156, 142, 56, 42), Solid((0x2F, 0x6F, 0x9F)), 1.0),  # rim
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
                    for shape, colour, opacity in LAYERS:
                        if shape.inside(x, y):
                            cr, cg, cb = colour.at(x, y)
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


def svg_text():
    definitions, shapes = [], []
    for layer, (shape, colour, opacity) in enumerate(LAYERS):
        paint, definition = colour.svg_paint(layer)
        if definition:
            definitions.append("    " + definition)
        element = shape.svg(paint)
        if opacity < 1:
            element += f' opacity="{opacity:g}"'
        shapes.append("  " + element + "/>")
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             "<!-- Written by tools/make_icon.py from the drawing that makes ostlebry.png. -->",
             '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">']
    if definitions:
        lines += ["  <defs>"] + definitions + ["  </defs>"]
    return "\n".join(lines + shapes + ["</svg>", ""])


def png_bytes(rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in rows)
    ihdr = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def read_png(path):
    """The pixels of an 8-bit RGBA PNG without interlacing, as rows of bytes."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path} is no PNG picture")
    at, idat, header = 8, b"", None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    width, height, depth, colour_type, _, _, interlace = header
    if (depth, colour_type, interlace) != (8, 6, 0):
        raise ValueError(f"{path}: only 8-bit RGBA without interlacing is read")
    raw, stride, rows, previous = zlib.decompress(idat), width * 4, [], bytearray(width * 4)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - 4] if i >= 4 else 0
            up, corner = previous[i], previous[i - 4] if i >= 4 else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 0xFF
        rows.append(bytes(line))
        previous = line
    return width, height, rows


def compare(svg_path, png_path):
    """Renders the SVG at the PNG's size and measures them pixel by pixel over white."""
    width, height, picture = read_png(png_path)
    with tempfile.TemporaryDirectory() as folder:
        rendered = os.path.join(folder, "rendered.png")
        subprocess.run(["rsvg-convert", "-w", str(width), "-h", str(height), "-o", rendered, svg_path],
                       check=True)
        _, _, drawing = read_png(rendered)
    total, far = 0, 0
    for row_a, row_b in zip(picture, drawing):
        for i in range(0, len(row_a), 4):
            # Over white, so that a transparent pixel's hidden colour does not count.
            a = [255 - (255 - c) * row_a[i + 3] // 255 for c in row_a[i:i + 3]]
            b = [255 - (255 - c) * row_b[i + 3] // 255 for c in row_b[i:i + 3]]
            difference = max(abs(p - q) for p, q in zip(a, b))
            total += difference
            far += difference > 48
    pixels = width * height
    mean = total / pixels
    print(f"{svg_path} against {png_path} at {width}x{height}: mean difference {mean:.2f} of 255, "
          f"{far} pixels ({100 * far / pixels:.2f} %) differ by more than 48")
    # Edges are anti-aliased differently by the two renderers; the shapes and colours must match.
    return mean <= 1.5 and far <= pixels // 200


def main(argv):
    if argv[:1] == ["--compare"] and len(argv) == 3:
        return 0 if compare(argv[1], argv[2]) else 1
    if argv[:1] == ["--svg"]:
        with open(argv[1] if len(argv) > 1 else "resources/ostlebry.svg", "w", encoding="utf-8") as f:
            f.write(svg_text())
        return 0
    output = argv[0] if argv else "resources/ostlebry.png"
    size = int(argv[1]) if len(argv) > 1 else 128
    with open(output, "wb") as f:
        f.write(png_bytes(render(size)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
