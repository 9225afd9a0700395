#!/usr/bin/env python3
"""qzflash-cli save against the stand-in service, run inside the sandbox
(tools/sandbox/run --linux, or --shell with "wine PROG" for the Windows build):
each kind of module answer, the saved bytes against what the stand-in served,
the manifest, the exit codes, a second run that fetches nothing, a symbolic
link planted in the folder, and runs killed part-way.

    save_test.py PROG...      (PROG may be several words: wine qzflash-cli.exe)
"""

import json
import os
import signal
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "..", "tools", "standin"))
import standin  # noqa: E402

cli = sys.argv[1:]
failures = []
log_path = os.environ.get("QZ_STANDIN_LOG")
FAST = ["--rate", "0", "--retries", "1", "--stall-timeout", "2", "--max-size", "1M"]


def check(name, ok, detail=""):
    if not ok:
        failures.append("%s: %s" % (name, detail))
    print(("ok   " if ok else "FAIL ") + name, flush=True)


def run(*args):
    p = subprocess.run(cli + ["save"] + list(args), capture_output=True, timeout=240)
    return p.returncode, p.stdout.decode("utf-8", "replace"), p.stderr.decode("utf-8", "replace")


def module_requests_since(size):
    with open(log_path, "rb") as f:
        f.seek(size)
        return [line for line in f.read().split(b"\n") if line.startswith(b"GET /modules/")]


def log_size():
    return os.path.getsize(log_path)


def saved_files(out):
    found = {}
    for root, _, files in os.walk(out):
        for name in files:
            path = os.path.join(root, name)
            try:
                found[os.path.relpath(path, out)] = open(path, "rb").read()
            except FileNotFoundError:  # a part renamed meanwhile
                pass
    return found


ok_paths = {p.decode("latin-1"): p for p in standin.MODULES_OK}

with tempfile.TemporaryDirectory() as tmp:
    out = os.path.join(tmp, "out")
    before = log_size()
    rc, stdout, stderr = run("--out", out, "--json", *FAST, "modules")
    check("exit code 1 when some fail", rc == 1, (rc, stderr))
    doc = json.loads(stdout)
    entries = {bytes.fromhex(e["address_hex"]): e for e in doc["modules"]}
    addresses = [standin.MODULE_HOST + p for p in standin.MODULES_OK + standin.MODULES_FAILING]
    check("one entry per distinct address", sorted(entries) == sorted(addresses), sorted(entries))
    requests = module_requests_since(before)
    check("a duplicate is fetched once", sum(b"/modules/ok/one.swf " in r for r in requests) == 1, requests)

    files = saved_files(out)
    for path in standin.MODULES_OK:
        e = entries[standin.MODULE_HOST + path]
        data = files.get(e.get("file", "?").replace("/", os.sep))
        check("saved %r byte for byte" % path, data == standin.module_body(path), e)
        # A build without LZMA says so for ZWS movies instead of a header.
        header_ok = "header" in e or (b"zws" in path and "LZMA" in e.get("header_failure", ""))
        check("manifest of %r" % path, e.get("length") == len(data or b"") and e.get("status") == 200
              and len(e.get("sha256", "")) == 64 and header_ok and e["accounts"] == ["modules"], e)
    check("query twins are two files", entries[standin.MODULE_HOST + b"/modules/q?v=1.swf"]["file"]
          != entries[standin.MODULE_HOST + b"/modules/q?v=2.swf"]["file"])
    case_files = [entries[standin.MODULE_HOST + p]["file"].lower() for p in (b"/modules/ok/Case.swf", b"/modules/ok/case.swf")]
    check("case twins differ even folded", case_files[0] != case_files[1], case_files)
    check("the GBK name is UTF-8", os.path.join("qzflash.example", "modules", "ok", "\u6a21\u5757.swf") in files,
          sorted(files))
    check("the movie header is read", entries[standin.MODULE_HOST + b"/modules/ok/two-cws.swf"]["header"]["signature"] == "CWS")
    check("flaky: 500 then 200 saved on the retry",
          entries[standin.MODULE_HOST + b"/modules/flaky.swf"].get("status") == 200)
    reasons = {
        b"/modules/404.swf": "HTTP status 404",
        b"/modules/reset.swf": "attempts",
        b"/modules/wronglen.swf": "attempts",
        b"/modules/stall.swf": "attempts",
        b"/modules/big.swf": "max-size",
        b"/modules/bignolen.swf": "max-size",
    }
    for path, reason in reasons.items():
        e = entries[standin.MODULE_HOST + path]
        check("failure of %r" % path, "file" not in e and reason in e.get("failure", ""), e)
        check("failure of %r named on stderr" % path, path.decode() in stderr)
    check("no part file is left", not any("~" in f for f in files), sorted(files))
    check("nothing but saved modules and the manifest",
          len(files) == len(standin.MODULES_OK) + 1, sorted(files))
    manifest = json.load(open(os.path.join(out, "qzflash-manifest.json")))
    check("the manifest holds every module", len(manifest["modules"]) == len(addresses))

    # A second run: everything saved is there already, nothing fetched.
    before = log_size()
    rc, stdout, stderr = run("--out", out, *FAST, "modulesok")
    check("second run exits 0", rc == 0, (rc, stderr))
    check("second run fetches nothing", module_requests_since(before) == [], module_requests_since(before))
    manifest = json.load(open(os.path.join(out, "qzflash-manifest.json")))
    one = manifest["modules"][(standin.MODULE_HOST + b"/modules/ok/one.swf").hex()]
    check("accounts add up in the manifest", sorted(one["accounts"]) == ["modules", "modulesok"], one)

    # A different file under a module's name is kept; the module goes beside it.
    victim = os.path.join(out, "qzflash.example", "modules", "ok", "one.swf")
    with open(victim, "wb") as f:
        f.write(b"someone else's bytes")
    rc, stdout, stderr = run("--out", out, "--json", *FAST, "modulesok")
    doc = json.loads(stdout)
    e = [m for m in doc["modules"] if m["address"].endswith("/ok/one.swf")][0]
    check("a different file is kept", open(victim, "rb").read() == b"someone else's bytes")
    check("the module is saved beside it", e["file"] != "qzflash.example/modules/ok/one.swf" and
          open(os.path.join(out, e["file"]), "rb").read() == standin.module_body(b"/modules/ok/one.swf"), e)

    # A symbolic link planted where a folder would go leads nowhere.
    out2 = os.path.join(tmp, "out2")
    outside = os.path.join(tmp, "outside")
    os.makedirs(os.path.join(out2, "qzflash.example"))
    os.makedirs(outside)
    os.symlink(outside, os.path.join(out2, "qzflash.example", "modules"))
    rc, stdout, stderr = run("--out", out2, *FAST, "modulesok")
    check("a link in the folder fails the modules below it", rc == 1 and "not a folder of its own" in stderr, stderr)
    check("nothing is written through the link", os.listdir(outside) == [], os.listdir(outside))

    # Killed part-way: no file under a final name holds anything but the
    # module's whole bytes; interrupted (SIGINT): no part file either.
    for sig in (signal.SIGKILL, signal.SIGINT):
        out3 = os.path.join(tmp, "killed-%d" % sig)
        # 20 starts a second: the 200 modules take ten seconds, so the
        # signal lands part-way.
        p = subprocess.Popen(cli + ["save", "--out", out3, "--quiet", "--jobs", "4", "--rate", "20", "bench"],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(200):
            time.sleep(0.05)
            if os.path.isdir(os.path.join(out3, "qzflash.example")) and len(saved_files(out3)) > 3:
                break
        p.send_signal(sig)
        rc = p.wait(timeout=60)
        files = saved_files(out3)
        finals = {k: v for k, v in files.items() if "~" not in k and k != "qzflash-manifest.json"}
        bad = [k for k, v in finals.items()
               if v != standin.module_body(("/" + k.split(os.sep, 1)[1]).replace(os.sep, "/").encode(), 256 << 10)]
        check("signal %d: files under final names are whole (%d)" % (sig, len(finals)), bad == [], bad)
        check("signal %d: the run was stopped part-way" % sig, 0 < len(finals) < 200, len(finals))
        if sig == signal.SIGINT:
            check("SIGINT: exit code 130 and no part file", rc == 130 and len(finals) == len(files) - 1,
                  (rc, sorted(files)))

    # --rate 4: nine modules on one host start over at least two seconds.
    started = time.monotonic()
    rc, _, stderr = run("--out", os.path.join(tmp, "rated"), "--rate", "4", "--jobs", "8", "modulesok")
    took = time.monotonic() - started
    check("--rate 4 spaces the starts on a host (%.2f s)" % took, rc == 0 and took >= 1.9, (rc, took, stderr))

    # info of an address: the header from the first bytes, the length of all.
    body = standin.module_body(b"/modules/ok/two-cws.swf")
    p = subprocess.run(cli + ["info", "http://qzflash.example/modules/ok/two-cws.swf"], capture_output=True)
    line = p.stdout.decode("utf-8", "replace")
    check("info of an address", p.returncode == 0 and "CWS version 10" in line and
          ("file %d bytes" % len(body)) in line, (p.returncode, line, p.stderr))
    p = subprocess.run(cli + ["info", "http://qzflash.example/modules/404.swf"], capture_output=True)
    check("info of a missing address", p.returncode == 1 and b"HTTP status 404" in p.stderr, p.stderr)

    rc, _, stderr = run("--jobs", "0", "x")
    check("usage error exits 2", rc == 2, stderr)
    rc, _, stderr = run()
    check("no account exits 2", rc == 2, stderr)

for f in failures:
    print("FAIL", f)
sys.exit(1 if failures else 0)
