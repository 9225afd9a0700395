#!/usr/bin/env python3
"""Writes the program's skin files from their readable description.

usage: skingen.py DESCRIPTION OUTDIR
Writes OUTDIR/skin01.she .. skinNN.she, byte for byte the same on every run
(no clock, no randomness: the texture's grain comes from a hash of its place).
The file layout is described in docs/skin-format.md.
"""
import pathlib
import re
import struct
import sys

ROLES = ["face", "face_text", "caption_top", "caption_bottom", "caption_text", "frame",
         "button_face", "button_text", "button_border", "edit_back", "edit_text",
         "list_back", "list_text", "header_back", "header_text", "group_line"]
MAGIC = b".SHE\x00\x03"
TEXTURE_WIDTH = 64
ROW_STEP = 16  # texture heights are multiples of this, so every pattern tiles seamlessly
MAX_SIDE = 512


def fail(message):
    sys.exit("skingen: " + message)


def colour(text, where):
    m = re.fullmatch(r"#([0-9a-fA-F]{6})", text)
    if not m:
        fail(f"{where}: not a colour: {text!r}")
    v = int(m.group(1), 16)
    return ((v >> 16) & 255, (v >> 8) & 255, v & 255)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def luminance(c):
    return 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2]


WHITE, BLACK = (255, 255, 255), (0, 0, 0)


def palette(desc):
    face, accent, text = desc["face"], desc["accent"], desc["text"]
    dark_face = luminance(face) < 128
    light = WHITE if not dark_face else face
    derived = {
        "face": face,
        "face_text": text,
        "caption_top": mix(accent, WHITE, 0.28),
        "caption_bottom": accent,
        "caption_text": WHITE if luminance(accent) < 150 else BLACK,
        "frame": mix(accent, BLACK, 0.3),
        "button_face": mix(face, light, 0.55),
        "button_text": text,
        "button_border": mix(accent, face, 0.25),
        "edit_back": mix(face, light, 0.85),
        "edit_text": text,
        "list_back": mix(face, light, 0.7),
        "list_text": text,
        "header_back": mix(face, accent, 0.22),
        "header_text": text,
        "group_line": mix(face, accent, 0.55),
    }
    for role in ROLES:
        if role in desc:
            derived[role] = desc[role]
    return [derived[r] for r in ROLES]


def hash2(x, y, seed):
    h = (x * 374761393 + y * 668265263 + seed * 2246822519) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    return (h ^ (h >> 16)) & 0xFFFFFFFF


def pattern(kind, x, y, seed):
    """A value in [-1, 1] for the pixel at (x, y)."""
    if kind == "plain":
        return 0.0
    if kind == "grain":
        return (hash2(x, y, seed) % 2001) / 1000.0 - 1.0
    if kind == "linen":
        return 0.5 * ((hash2(x, 0, seed) % 3) - 1) + 0.5 * ((hash2(0, y, seed + 1) % 3) - 1)
    if kind == "stripes":
        return 1.0 if (x + y) % 8 < 2 else -0.25
    if kind == "dots":
        return 1.0 if x % 8 == 0 and y % 8 == 0 else (-1.0 if (x + 4) % 8 == 0 and (y + 4) % 8 == 0 else 0.0)
    if kind == "weave":
        cell = ((x // 4) + (y // 4)) % 2
        return (0.8 if cell else -0.8) * (0.5 if (x % 4 == 0 or y % 4 == 0) else 1.0)
    fail(f"unknown texture {kind!r}")


def chunk(tag, body):
    return tag + struct.pack("<I", len(body)) + body


def skin_bytes(number, desc):
    name = desc["name"].encode("utf-8")
    if not 1 <= len(name) <= 64:
        fail(f"skin {number}: name must be 1 to 64 bytes")
    head = MAGIC + chunk(b"NAME", name)
    head += chunk(b"PALT", b"".join(bytes(c) + b"\x00" for c in palette(desc)))
    total = desc["bytes"]
    # Fill what the length leaves with texture rows; a PADD chunk takes the rest.
    room = total - len(head) - 8 - 4 - 8
    height = min(MAX_SIDE, room // (TEXTURE_WIDTH * 3) // ROW_STEP * ROW_STEP)
    if height < ROW_STEP:
        fail(f"skin {number}: {total} bytes leave no room for a texture")
    kind, strength = desc["texture"]
    face = desc["face"]
    pixels = bytearray()
    for y in range(height):
        for x in range(TEXTURE_WIDTH):
            d = round(pattern(kind, x, y, number) * strength)
            r, g, b = (max(0, min(255, c + d)) for c in face)
            pixels += bytes((b, g, r))
    body = head + chunk(b"TEXR", struct.pack("<HH", TEXTURE_WIDTH, height) + bytes(pixels))
    pad = total - len(body) - 8
    body += chunk(b"PADD", bytes(pad))
    assert len(body) == total
    return body


def read_description(path):
    skins, current = {}, None
    for lineno, raw in enumerate(pathlib.Path(path).read_text(encoding="utf-8").splitlines(), 1):
        line = raw.strip()
        if not line or line.startswith("#"):  # a comment takes a whole line
            continue
        where = f"{path}:{lineno}"
        m = re.fullmatch(r"\[(\d+)\]\s+(.+)", line)
        if m:
            current = int(m.group(1))
            if current in skins:
                fail(f"{where}: skin {current} twice")
            skins[current] = {"name": m.group(2).strip()}
            continue
        if current is None:
            fail(f"{where}: a line before the first skin")
        key, _, value = line.partition(" ")
        value = value.strip()
        desc = skins[current]
        if key == "bytes":
            desc["bytes"] = int(value)
        elif key == "texture":
            kind, strength = value.split()
            desc["texture"] = (kind, int(strength))
        elif key in ("accent", "text") or key in ROLES:
            desc[key] = colour(value, where)
        else:
            fail(f"{where}: unknown key {key!r}")
    for number, desc in skins.items():
        for key in ("bytes", "face", "accent", "text", "texture"):
            if key not in desc:
                fail(f"skin {number}: no {key}")
    if sorted(skins) != list(range(1, len(skins) + 1)):
        fail("skins must be numbered 1, 2, 3, ... without gaps")
    return skins


def main():
    if len(sys.argv) != 3:
        fail("usage: skingen.py DESCRIPTION OUTDIR")
    skins = read_description(sys.argv[1])
    out = pathlib.Path(sys.argv[2])
    out.mkdir(parents=True, exist_ok=True)
    for number, desc in skins.items():
        target = out / f"skin{number:02d}.she"
        data = skin_bytes(number, desc)
        if not target.exists() or target.read_bytes() != data:
            target.write_bytes(data)


if __name__ == "__main__":
    main()
