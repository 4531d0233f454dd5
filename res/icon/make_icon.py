#!/usr/bin/env python3
"""Draws the application icon from pedalon.shapes into pedalon.ico.

Images of 16, 24, 32, 48 and 256 pixels, 32 bits per pixel with alpha; the 256-pixel image is
stored as PNG, the others as DIBs, as Windows expects. Standard library only, so any machine
with Python 3 can redraw it; the generated .ico is committed, so building needs no Python.

    make_icon.py                 write pedalon.ico beside this script
    make_icon.py --check FILE    exit 1 unless FILE holds exactly the pixels drawn now
"""

import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SIZES = (16, 24, 32, 48, 256)


def parse_colour(text):
    text = text.lstrip("#")
    if len(text) not in (6, 8):
        raise ValueError("colour must be #RRGGBB or #RRGGBBAA: " + text)
    values = [int(text[i:i + 2], 16) for i in range(0, len(text), 2)]
    return tuple(values + [255] * (4 - len(values)))


def read_shapes(path):
    shapes = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            # Colours start with '#' too, so only whole lines are comments.
            words = line.split()
            if not words or words[0].startswith("#"):
                continue
            kind, args = words[0], words[1:]
            try:
                if kind == "roundrect":
                    left, top, right, bottom, radius = map(float, args[:5])
                    shapes.append(("roundrect", (left, top, right, bottom, radius),
                                   parse_colour(args[5])))
                elif kind == "ellipse":
                    cx, cy, rx, ry, turn = map(float, args[:5])
                    shapes.append(("ellipse", (cx, cy, rx, ry, math.radians(turn)),
                                   parse_colour(args[5])))
                elif kind == "polygon":
                    points = list(map(float, args[1:]))
                    shapes.append(("polygon", list(zip(points[0::2], points[1::2])),
                                   parse_colour(args[0])))
                else:
                    raise ValueError("unknown shape " + kind)
            except (IndexError, ValueError) as e:
                sys.exit("%s:%d: %s" % (path, number, e))
    return shapes


def inside(shape, x, y):
    kind, p, _ = shape
    if kind == "roundrect":
        left, top, right, bottom, r = p
        if x < left or x > right or y < top or y > bottom:
            return False
        dx = max(left + r - x, 0.0, x - (right - r))
        dy = max(top + r - y, 0.0, y - (bottom - r))
        return dx * dx + dy * dy <= r * r
    if kind == "ellipse":
        cx, cy, rx, ry, turn = p
        c, s = math.cos(turn), math.sin(turn)
        u = (x - cx) * c + (y - cy) * s
        v = -(x - cx) * s + (y - cy) * c
        return (u / rx) ** 2 + (v / ry) ** 2 <= 1.0
    # polygon, even-odd rule
    result = False
    n = len(p)
    for i in range(n):
        (x1, y1), (x2, y2) = p[i], p[(i + 1) % n]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            result = not result
    return result


def bounds(shape):
    kind, p, _ = shape
    if kind == "roundrect":
        return p[0], p[1], p[2], p[3]
    if kind == "ellipse":
        r = max(p[2], p[3])
        return p[0] - r, p[1] - r, p[0] + r, p[1] + r
    xs = [q[0] for q in p]
    ys = [q[1] for q in p]
    return min(xs), min(ys), max(xs), max(ys)


def render(shapes, size):
    """Rows of (r, g, b, a) bytes, top row first, anti-aliased by supersampling."""
    grid = 4 if size >= 128 else 8
    boxes = [bounds(s) for s in shapes]
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(grid):
                y = (py + (sy + 0.5) / grid) / size
                for sx in range(grid):
                    x = (px + (sx + 0.5) / grid) / size
                    r = g = b = a = 0.0
                    for shape, (l, t, rr, bb) in zip(shapes, boxes):
                        if l <= x <= rr and t <= y <= bb and inside(shape, x, y):
                            cr, cg, cb, ca = (v / 255.0 for v in shape[2])
                            r, g, b = cr * ca + r * (1 - ca), cg * ca + g * (1 - ca), cb * ca + b * (1 - ca)
                            a = ca + a * (1 - ca)
                    acc[0] += r
                    acc[1] += g
                    acc[2] += b
                    acc[3] += a
            n = grid * grid
            alpha = acc[3] / n
            if alpha <= 0.0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(min(255, int(round(v / n / alpha * 255))) for v in acc[:3]) +
                           (min(255, int(round(alpha * 255))),))
        rows.append(row)
    return rows


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def dib(rows):
    size = len(rows)
    mask_stride = ((size + 31) // 32) * 4
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + bytes(mask)


def icon_file(images):
    """images: list of (size, data)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
        body += data
    return out + body


def draw():
    shapes = read_shapes(os.path.join(HERE, "pedalon.shapes"))
    images = []
    for size in SIZES:
        rows = render(shapes, size)
        images.append((size, png(rows) if size >= 256 else dib(rows)))
    return images


def pixels_of(data):
    """The decoded pixel bytes of one stored image, for comparison."""
    if data.startswith(b"\x89PNG"):
        pos, idat = 8, b""
        while pos < len(data):
            length, kind = struct.unpack(">I4s", data[pos:pos + 8])
            if kind == b"IDAT":
                idat += data[pos + 8:pos + 8 + length]
            pos += 12 + length
        return zlib.decompress(idat)
    return data


def images_of(blob):
    _, kind, count = struct.unpack("<HHH", blob[:6])
    if kind != 1:
        raise ValueError("not an icon file")
    result = []
    for i in range(count):
        w, _, _, _, _, bits, length, offset = struct.unpack("<BBBBHHII", blob[6 + 16 * i:22 + 16 * i])
        result.append((w or 256, bits, pixels_of(blob[offset:offset + length])))
    return result


def main(argv):
    images = draw()
    if len(argv) == 3 and argv[1] == "--check":
        with open(argv[2], "rb") as f:
            stored = images_of(f.read())
        drawn = [(size, 32, pixels_of(data)) for size, data in images]
        if stored != drawn:
            sys.exit("%s is not what %s draws: run %s" % (argv[2], "pedalon.shapes", argv[0]))
        return
    if len(argv) != 1:
        sys.exit(__doc__)
    with open(os.path.join(HERE, "pedalon.ico"), "wb") as f:
        f.write(icon_file(images))


if __name__ == "__main__":
    main(sys.argv)
