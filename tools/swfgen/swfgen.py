#!/usr/bin/env python3
"""Writes small Flash movies for tests: FWS (plain), CWS (zlib) or ZWS (LZMA).

Each movie holds an optional FileAttributes tag, an optional
SetBackgroundColor tag, one rectangle shape placed on the stage, and one
ShowFrame per frame:

    swfgen.py OUT.swf [--signature FWS|CWS|ZWS] [--version N]
              [--width PX] [--height PX] [--rate FPS] [--frames N]
              [--background RRGGBB | --no-background] [--file-attributes]

Also importable: movie(...) returns the bytes.
"""

import argparse
import lzma
import struct
import sys
import zlib

TWIPS = 20


class Bits:
    """Big-endian bit writer, as the movie format packs RECTs and shapes."""

    def __init__(self):
        self.bits = []

    def unsigned(self, value, count):
        for i in range(count - 1, -1, -1):
            self.bits.append((value >> i) & 1)

    def signed(self, value, count):
        self.unsigned(value & ((1 << count) - 1), count)

    def tobytes(self):
        bits = self.bits + [0] * (-len(self.bits) % 8)
        return bytes(int("".join(map(str, bits[i:i + 8])), 2) for i in range(0, len(bits), 8))


def signed_bits(*values):
    """Bits enough for each value as a signed field."""
    return max(max(abs(v).bit_length() for v in values) + 1, 2)


def rect(xmin, xmax, ymin, ymax):
    n = signed_bits(xmin, xmax, ymin, ymax)
    b = Bits()
    b.unsigned(n, 5)
    for v in (xmin, xmax, ymin, ymax):
        b.signed(v, n)
    return b.tobytes()


def tag(code, body=b""):
    if len(body) < 0x3F:
        return struct.pack("<H", code << 6 | len(body)) + body
    return struct.pack("<HI", code << 6 | 0x3F, len(body)) + body


def shape(shape_id, w, h, rgb):
    """DefineShape: one solid rectangle of w x h twips at the origin."""
    body = struct.pack("<H", shape_id) + rect(0, w, 0, h)
    body += bytes([1, 0x00]) + bytes(rgb)  # one solid fill style
    body += bytes([0])  # no line styles
    b = Bits()
    b.unsigned(1, 4)  # fill bits
    b.unsigned(0, 4)  # line bits
    # Style change: fill style 1, move to (0, 0).
    b.unsigned(0, 1)
    b.unsigned(0b00101, 5)
    b.unsigned(1, 5)
    b.signed(0, 1)
    b.signed(0, 1)
    b.unsigned(1, 1)
    for dx, dy in ((w, 0), (0, h), (-w, 0), (0, -h)):
        n = signed_bits(dx, dy)
        b.unsigned(1, 1)  # edge
        b.unsigned(1, 1)  # straight
        b.unsigned(n - 2, 4)
        b.unsigned(0, 1)  # not general: one axis
        b.unsigned(1 if dx == 0 else 0, 1)  # vertical?
        b.signed(dy if dx == 0 else dx, n)
    b.unsigned(0, 6)  # end of shape
    return tag(2, body + b.tobytes())


def place(shape_id, depth):
    return tag(26, bytes([0x02]) + struct.pack("<HH", depth, shape_id))


def movie(signature="FWS", version=10, width=550, height=400, rate=24.0, frames=1,
          background=(0x33, 0x66, 0x99), file_attributes=False):
    tags = b""
    if file_attributes:
        tags += tag(69, struct.pack("<I", 0))
    if background is not None:
        tags += tag(9, bytes(background))
    tags += shape(1, width * TWIPS // 2, height * TWIPS // 2, (0xCC, 0x00, 0x00))
    tags += place(1, 1)
    tags += tag(1) * frames
    tags += tag(0)
    fixed = round(rate * 256)
    body = rect(0, width * TWIPS, 0, height * TWIPS) + struct.pack("<HH", fixed, frames) + tags
    length = 8 + len(body)
    if signature == "FWS":
        return b"FWS" + bytes([version]) + struct.pack("<I", length) + body
    if signature == "CWS":
        return b"CWS" + bytes([version]) + struct.pack("<I", length) + zlib.compress(body)
    if signature == "ZWS":
        alone = lzma.compress(body, format=lzma.FORMAT_ALONE)
        props, data = alone[:5], alone[13:]
        return b"ZWS" + bytes([version]) + struct.pack("<II", length, len(data)) + props + data
    raise ValueError("signature must be FWS, CWS or ZWS")


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("out")
    p.add_argument("--signature", default="FWS", choices=["FWS", "CWS", "ZWS"])
    p.add_argument("--version", type=int, default=10)
    p.add_argument("--width", type=int, default=550)
    p.add_argument("--height", type=int, default=400)
    p.add_argument("--rate", type=float, default=24.0)
    p.add_argument("--frames", type=int, default=1)
    p.add_argument("--background", default="336699")
    p.add_argument("--no-background", action="store_true")
    p.add_argument("--file-attributes", action="store_true")
    a = p.parse_args()
    bg = None if a.no_background else tuple(bytes.fromhex(a.background))
    data = movie(a.signature, a.version, a.width, a.height, a.rate, a.frames, bg, a.file_attributes)
    with open(a.out, "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
