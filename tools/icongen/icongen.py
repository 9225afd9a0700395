#!/usr/bin/env python3
"""icongen: writes the program's .ico from a readable description of shapes.

usage: icongen.py DESCRIPTION OUTPUT.ico

Every image is a BMP (BITMAPINFOHEADER with the height doubled, a palette
at 8 bits or fewer, the colour bits, then the AND mask), rows padded to 4
bytes. The output depends on the description alone.
"""
import struct
import sys

# (size, bits per pixel), in the icon's order.
IMAGES = [(32, 1), (16, 4), (32, 4), (48, 4), (16, 8), (32, 8), (48, 8), (16, 32), (32, 32), (48, 32), (128, 32)]
SAMPLES = 4  # per pixel and axis, for smooth edges


def parse_colour(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def parse(path):
    shapes = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            words = line.split()
            if not words or words[0].startswith("#"):  # a comment line
                continue
            kind, colour, rest = words[0], parse_colour(words[1]), words[2:]
            if kind == "circle":
                shapes.append(("circle", colour, tuple(float(v) for v in rest)))
            elif kind == "rect":
                shapes.append(("rect", colour, tuple(float(v) for v in rest)))
            elif kind == "polygon":
                shapes.append(("polygon", colour, [tuple(float(c) for c in p.split(",")) for p in rest]))
            else:
                raise SystemExit(f"{path}:{number}: unknown shape {kind!r}")
    return shapes


def inside(shape, x, y):
    kind, _, g = shape
    if kind == "circle":
        cx, cy, r = g
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    if kind == "rect":
        x0, y0, x1, y1 = g
        return x0 <= x <= x1 and y0 <= y <= y1
    hit = False  # even-odd rule
    for (xa, ya), (xb, yb) in zip(g, g[1:] + g[:1]):
        if (ya > y) != (yb > y) and x < xa + (y - ya) * (xb - xa) / (yb - ya):
            hit = not hit
    return hit


def render(shapes, size):
    """Rows top to bottom of (r, g, b, a) pixels."""
    rows = []
    n = SAMPLES * SAMPLES
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    colour = None
                    for shape in shapes:
                        if inside(shape, x, y):
                            colour = shape[1]
                    if colour:
                        r += colour[0]; g += colour[1]; b += colour[2]; a += 1
            row.append((r // a, g // a, b // a, 255 * a // n) if a else (0, 0, 0, 0))
        rows.append(row)
    return rows


def palette(bits):
    if bits == 1:
        return [(0, 0, 0), (255, 255, 255)]
    if bits == 4:  # the classic 16 colours
        return [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
                (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
                (255, 0, 255), (0, 255, 255), (255, 255, 255)]
    cube = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    greys = [(v, v, v) for v in range(8, 248, 6)][:40]
    return cube + greys


def nearest(colours, pixel):
    return min(range(len(colours)), key=lambda i: sum((c - p) ** 2 for c, p in zip(colours[i], pixel[:3])))


def padded(data):
    return data + b"\0" * (-len(data) % 4)


def pack_bits(values, bits):
    out = bytearray()
    per_byte = 8 // bits
    for i in range(0, len(values), per_byte):
        byte = 0
        for j, v in enumerate(values[i:i + per_byte]):
            byte |= v << (8 - bits * (j + 1))
        out.append(byte)
    return bytes(out)


def bmp_image(pixels, size, bits):
    colours = palette(bits) if bits <= 8 else []
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, 0, 0, 0, 0, 0)
    table = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in colours)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):  # bottom-up
        if bits == 32:
            xor += padded(b"".join(struct.pack("BBBB", b, g, r, a) for r, g, b, a in row))
        else:
            cache = {}
            indices = [cache.setdefault(p, nearest(colours, p)) if p[3] >= 128 else 0 for p in row]
            xor += padded(pack_bits(indices, bits))
        mask += padded(pack_bits([0 if p[3] >= 128 else 1 for p in row], 1))
    return header + table + bytes(xor) + bytes(mask)


def main(argv):
    if len(argv) != 3:
        raise SystemExit(__doc__)
    shapes = parse(argv[1])
    pictures = {}
    images = []
    for size, bits in IMAGES:
        if size not in pictures:
            pictures[size] = render(shapes, size)
        images.append((size, bits, bmp_image(pictures[size], size, bits)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        colour_count = 1 << bits if bits < 8 else 0
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colour_count, 0, 1, bits, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, _, data in images)
    with open(argv[2], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv)
