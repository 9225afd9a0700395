#!/usr/bin/env python3
"""Save benchmark, run inside the sandbox:

    tools/sandbox/run --linux python3 bench/save_bench.py build/linux/qzflash-cli

Saves the stand-in's 200 modules of 256 KiB with --jobs 8 --rate 0 beside
`curl --parallel --parallel-max 8` fetching the same list in the same run,
then a few large modules; prints throughput and peak memory beside their
anchors (at least 0.8x curl's throughput; under 64 MiB whatever the module
sizes). Asserts nothing.
"""

import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

cli = os.path.abspath(sys.argv[1])
ROUNDS = 3
MODULE = 256 << 10
urls = ["http://qzflash.example/modules/bench/%d.swf" % i for i in range(200)]


def child_peak_kib():
    return resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss


def timed(args, cwd):
    start = time.monotonic()
    subprocess.run(args, cwd=cwd, check=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.monotonic() - start


def peak_of(args, cwd):
    """Peak resident memory of one run, in MiB (through /usr/bin/time if there, else rusage)."""
    p = subprocess.run(["python3", "-c", "import resource,subprocess,sys;"
                        "subprocess.run(sys.argv[1:],stdout=subprocess.DEVNULL,stderr=subprocess.DEVNULL);"
                        "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)"] + args,
                       cwd=cwd, capture_output=True, text=True)
    return int(p.stdout.strip() or 0) / 1024


with tempfile.TemporaryDirectory() as tmp:
    config = os.path.join(tmp, "curl.conf")
    with open(config, "w") as f:
        for i, url in enumerate(urls):
            f.write('url = "%s"\noutput = "m%d.swf"\n' % (url, i))
    best = {"curl": 1e9, "qzflash-cli": 1e9}
    for _ in range(ROUNDS):
        d = tempfile.mkdtemp(dir=tmp)
        best["curl"] = min(best["curl"], timed(["curl", "-s", "--parallel", "--parallel-max", "8", "-K", config], d))
        shutil.rmtree(d)
        d = tempfile.mkdtemp(dir=tmp)
        best["qzflash-cli"] = min(best["qzflash-cli"], timed(
            [cli, "save", "--quiet", "--jobs", "8", "--rate", "0", "--out", d, "bench"], d))
        peak_small = peak_of([cli, "save", "--quiet", "--jobs", "8", "--rate", "0", "--out",
                              tempfile.mkdtemp(dir=tmp), "bench"], d)
        shutil.rmtree(d)
    total = len(urls) * MODULE / 1e6
    curl_rate = total / best["curl"]
    cli_rate = total / best["qzflash-cli"]
    print("200 x 256 KiB, --jobs 8 --rate 0, best of %d:" % ROUNDS)
    print("  curl --parallel-max 8   %6.3f s  %7.1f MB/s   (anchor)" % (best["curl"], curl_rate))
    print("  qzflash-cli save        %6.3f s  %7.1f MB/s   %.2fx curl (goal: at least 0.80x)"
          % (best["qzflash-cli"], cli_rate, cli_rate / curl_rate))
    print("  peak memory             %6.1f MiB              (goal: under 64 MiB)" % peak_small)

    # Large modules: the bodies stream to disk, so memory does not follow them.
    page = os.path.join(tmp, "big.html")
    with open(page, "w") as f:
        for i, size in enumerate([32 << 20, 64 << 20, 128 << 20]):
            f.write('<embed src="http://qzflash.example/modules/sized/%d/big%d.swf" />\n' % (size, i))
    d = tempfile.mkdtemp(dir=tmp)
    start = time.monotonic()
    peak_big = peak_of([cli, "save", "--quiet", "--jobs", "3", "--rate", "0", "--max-size", "512M", "--out", d,
                        "--page", page], d)
    seconds = time.monotonic() - start
    saved = sum(os.path.getsize(os.path.join(r, n)) for r, _, ns in os.walk(d) for n in ns)
    print("32 + 64 + 128 MiB modules: %.1f MiB saved in %.2f s, peak memory %.1f MiB (goal: under 64 MiB)"
          % (saved / 2**20, seconds, peak_big))
