#!/usr/bin/env python3
"""Pads the built skin library to the exact size the program holds.

usage: pad_image.py DLL OUT SIZE
The zero bytes go after the PE image, where the loader never looks. Fails
when the library alone is larger than SIZE or is not an "MZ" image.
"""
import pathlib
import sys

if len(sys.argv) != 4:
    sys.exit("usage: pad_image.py DLL OUT SIZE")
image = pathlib.Path(sys.argv[1]).read_bytes()
size = int(sys.argv[3])
if image[:2] != b"MZ":
    sys.exit(f"pad_image: {sys.argv[1]} does not begin with MZ")
if len(image) > size:
    sys.exit(f"pad_image: {sys.argv[1]} is {len(image)} bytes, more than the {size} the program holds")
pathlib.Path(sys.argv[2]).write_bytes(image + bytes(size - len(image)))
