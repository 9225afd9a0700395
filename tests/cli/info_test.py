#!/usr/bin/env python3
"""qzflash-cli info on movies from tools/swfgen of each signature, and on
broken files: the printed line, the JSON document, the exit code.

    info_test.py QZFLASH_CLI [--no-lzma]
"""

import json
import os
import subprocess
import sys
import tempfile

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "..", "tools", "swfgen"))
import swfgen  # noqa: E402

cli = sys.argv[1:-1] if sys.argv[-1] == "--no-lzma" else sys.argv[1:]
lzma_ok = sys.argv[-1] != "--no-lzma"
failures = []


def check(name, ok, detail=""):
    if not ok:
        failures.append("%s: %s" % (name, detail))


def run(*args):
    p = subprocess.run(cli + list(args), capture_output=True)
    return p.returncode, p.stdout.decode("utf-8", "replace").replace("\r\n", "\n"), \
        p.stderr.decode("utf-8", "replace").replace("\r\n", "\n")


with tempfile.TemporaryDirectory() as tmp:
    def write(name, data):
        path = os.path.join(tmp, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    good = [
        ("fws.swf", dict(signature="FWS", version=8, width=640, height=480, rate=30, frames=2,
                         background=(0x11, 0x22, 0x33)),
         "FWS version 8, declared %d bytes, file %d bytes, stage 640 x 480 px, 30 fps, 2 frames, background #112233"),
        ("cws.swf", dict(signature="CWS", version=10, width=550, height=400, rate=12.5, frames=1,
                         background=(0xFF, 0xFF, 0xFF), file_attributes=True),
         "CWS version 10, declared %d bytes, file %d bytes, stage 550 x 400 px, 12.5 fps, 1 frame, background #FFFFFF"),
        ("zws.swf", dict(signature="ZWS", version=13, width=100, height=75, rate=24, frames=5, background=None),
         "ZWS version 13, declared %d bytes, file %d bytes, stage 100 x 75 px, 24 fps, 5 frames"),
    ]
    for name, options, line in good:
        data = swfgen.movie(**options)
        path = write(name, data)
        declared = int.from_bytes(data[4:8], "little")
        rc, out, err = run("info", path)
        if name == "zws.swf" and not lzma_ok:
            check(name, rc == 1 and "LZMA" in err and out == "", (rc, out, err))
            continue
        check(name, rc == 0 and out == "%s: %s\n" % (path, line % (declared, len(data))), (rc, out, err))
        rc, out, err = run("info", "--json", path)
        doc = json.loads(out)
        header = doc["modules"][0]["header"]
        check(name + " json", rc == 0 and header["signature"] == options["signature"]
              and header["width"] == options["width"] and header["frame_count"] == options["frames"]
              and header["declared_length"] == declared and header["file_length"] == len(data), out)

    fws = swfgen.movie("FWS")
    cws = swfgen.movie("CWS")
    broken = [
        ("text.txt", b"<html>not a movie</html>", "not a Flash movie"),
        ("empty.swf", b"", "not a Flash movie"),
        ("cut.swf", fws[:-3], "truncated"),
        ("preamble.swf", fws[:5], "truncated"),
        ("cws-cut.swf", cws[:10], "truncated"),
    ]
    for name, data, reason in broken:
        path = write(name, data)
        rc, out, err = run("info", path)
        lines = err.strip("\n").split("\n")
        check(name, rc == 1 and out == "" and len(lines) == 1 and reason in lines[0] and path in lines[0],
              (rc, out, err))

    # One bad file among good ones: the good ones still print, the exit code is 1.
    rc, out, err = run("info", "--json", os.path.join(tmp, "fws.swf"), os.path.join(tmp, "text.txt"))
    doc = json.loads(out)
    check("mixed", rc == 1 and "header" in doc["modules"][0] and "failure" in doc["modules"][1], out)
    rc, out, err = run("info")
    check("no operand", rc == 2, (rc, err))

for f in failures:
    print("FAIL", f)
sys.exit(1 if failures else 0)
