#!/usr/bin/env python3
"""The project's stand-in of the QQ Zone custom-window output service.

Listens on a TCP port (80 inside tools/sandbox/run), records every request
exactly as it arrived and answers from the script below, chosen by the value
of the `uin` query parameter (the text between "uin=" and the next "&", " "
or "#"; the default answer for anything else).

Request log (--log): each request is appended, before its answer is sent, as
    "=== request <length>\n" + the request's <length> bytes as received + "\n"
so a test can read the log from the size it had before its fetch.

Scripted answers:
    uin               status  Content-Length        body
    608317, page      200     right                 the ordinary page: three
                                                    Flash addresses, GBK bytes
    404               404     right                 error page with one address
    500               500     right                 error page with one address
    noclen            200     none (close ends it)  the ordinary page
    shortlen          200     too small (40)        the ordinary page
    longlen           200     too large (+5000)     the ordinary page, then close
    reset             200     right                 first half of the ordinary
                                                    page, a pause, then a reset
                                                    (SO_LINGER 0 close)
    big8 / big8nolen  200     right / none          8 MiB of blocks, each with
                                                    one Flash address
    big8wrong         200     too small (1000)      the same 8 MiB
    big64 / big64nolen 200    right / none          64 MiB of the same blocks
    zeroinside        200     right                 page, a zero byte, page
    zerofirst         200     right                 a zero byte, then the page
    slow              200     right                 the ordinary page in five
                                                    pieces 0.3 s apart
    empty             200     0                     nothing
    redirect          302     right                 a page with another address;
                                                    Location: the ordinary page
                                                    (uin=608317)
    redirectloop      302     right                 the same, Location: itself
    (anything else)   200     right                 the default page: one
                                                    address naming no account

Module answers, chosen by the request path (any host), for qzflash-cli save:
    /modules/ok/NAME      200 right   module_body(path): a generated movie
                                      (CWS when NAME has "cws", ZWS "zws")
                                      padded with bytes drawn from the path
    /modules/q?QUERY      200 right   module_body of the whole object, so
                                      each query has its own bytes
    /modules/404.swf      404 right   a short error page
    /modules/flaky.swf    500 first, then 200 with module_body
    /modules/reset.swf    200 right   half of module_body, then a reset
    /modules/wronglen.swf 200 +1000   module_body, then close
    /modules/stall.swf    200 right   half of module_body, then 30 s of nothing
    /modules/big.swf      200 right   3 MiB (module_body padded)
    /modules/bignolen.swf 200 none    the same 3 MiB, close ends it
    /modules/bench/N.swf  200 right   256 KiB from module_body
    /modules/sized/N/X.swf 200 right  N bytes from module_body
Pages listing them (by uin): modules (each kind once, one twice, query and
case twins), modulesok (only the ones that succeed), bench (200 bench
modules). module_body(path) is importable, so tests compare what was saved.

The process ends by itself after --lifetime seconds, or as soon as its
parent (the sandbox) is gone.
"""

import argparse
import ctypes
import os
import signal
import socket
import struct
import sys
import threading
import time
import urllib.parse

ORDINARY_PAGE = (
    b'<html><head><meta http-equiv="Content-Type" content="text/html; charset=gb2312">'
    b"<title>\xd7\xd4\xb6\xa8\xd2\xe5</title></head><body>\r\n"
    b'<embed src="http://qzflash.example/flash/one.swf?v=1" width="400"></embed>\r\n'
    b'<object data="http://qzflash.example/flash/\xc4\xa3\xbf\xe9.swf"></object>\r\n'
    b'<a href="http://qzflash.example/page.html">\xd6\xf7\xd2\xb3</a>\r\n'
    b'<embed src="http://qzflash.example/flash/three.swf" />\r\n'
    b"</body></html>\r\n"
)
ERROR_PAGE = b'<html><body>%d <embed src="http://qzflash.example/flash/error%d.swf" /></body></html>'
REDIRECT_PAGE = b'<html><body><embed src="http://qzflash.example/flash/moved.swf" /></body></html>'
REDIRECT_TO = b"http://r.qzone.qq.com/cgi-bin/custom/output_custom_window.cgi?uin=%s&type=html"
DEFAULT_PAGE = b'<html><body><embed src="http://qzflash.example/flash/default.swf" /></body></html>'
# 64 bytes, one address each; 8 MiB hold 131,072 of them.
BLOCK = b'<embed src="http://qzflash.example/flash/block.swf" x="1"/>\r\n'.ljust(64, b" ")
assert len(BLOCK) == 64

_big = {}

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "swfgen"))
import swfgen  # noqa: E402

MODULE_HOST = b"http://qzflash.example"
MODULES_OK = [b"/modules/ok/one.swf", b"/modules/ok/two-cws.swf", b"/modules/ok/three-zws.swf",
              b"/modules/ok/\xc4\xa3\xbf\xe9.swf", b"/modules/ok/Case.swf", b"/modules/ok/case.swf",
              b"/modules/q?v=1.swf", b"/modules/q?v=2.swf", b"/modules/flaky.swf"]
MODULES_FAILING = [b"/modules/404.swf", b"/modules/reset.swf", b"/modules/wronglen.swf",
                   b"/modules/stall.swf", b"/modules/big.swf", b"/modules/bignolen.swf"]


def module_body(path, size=None):
    """The bytes served for a module path (bytes), the same on every call."""
    signature = "CWS" if b"cws" in path else "ZWS" if b"zws" in path else "FWS"
    seed = sum(path) % 251
    movie = swfgen.movie(signature, background=(seed, 255 - seed, len(path) % 256))
    filler = (path + b"|") * 64
    if size is None:
        size = len(movie) + 4000 + seed
    out = movie + filler * (size // len(filler) + 1)
    return out[:size] if size >= len(movie) else out[:size]


def module_page(paths, repeat=()):
    rows = [b'<embed src="' + MODULE_HOST + p[:-4] + b'.swf" />\r\n' for p in paths]
    rows += [b'<embed src="' + MODULE_HOST + p + b'" />\r\n' for p in repeat]
    return b"<html><body>\r\n" + b"".join(rows) + b"</body></html>\r\n"


_flaky_seen = set()
_flaky_lock = threading.Lock()


def answer_module(conn, path):
    # As a web server would: %XX in the path stands for its byte.
    path = urllib.parse.unquote_to_bytes(path)

    def plain(body, status=200, length="right"):
        n = {"right": len(body), "none": None}.get(length, length)
        conn.sendall(head(status, n) + bytes(body))

    if path.startswith(b"/modules/ok/") or path.startswith(b"/modules/q?"):
        plain(module_body(path))
    elif path == b"/modules/404.swf":
        plain(b"<html>not here</html>", 404)
    elif path == b"/modules/flaky.swf":
        with _flaky_lock:
            first = path not in _flaky_seen
            _flaky_seen.add(path)
        plain(b"<html>busy</html>", 500) if first else plain(module_body(path))
    elif path == b"/modules/reset.swf":
        body = module_body(path)
        conn.sendall(head(200, len(body)) + body[: len(body) // 2])
        time.sleep(0.3)
        conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    elif path == b"/modules/wronglen.swf":
        plain(module_body(path), length=len(module_body(path)) + 1000)
    elif path == b"/modules/stall.swf":
        body = module_body(path)
        conn.sendall(head(200, len(body)) + body[: len(body) // 2])
        time.sleep(30)
    elif path in (b"/modules/big.swf", b"/modules/bignolen.swf"):
        plain(module_body(path, 3 << 20), length="none" if b"nolen" in path else "right")
    elif path.startswith(b"/modules/bench/"):
        plain(module_body(path, 256 << 10))
    elif path.startswith(b"/modules/sized/"):
        plain(module_body(path, int(path.split(b"/")[3])))
    else:
        plain(b"<html>no such module</html>", 404)


def big_body(mib):
    if mib not in _big:
        _big[mib] = BLOCK * (mib * 1024 * 1024 // len(BLOCK))
    return _big[mib]


def head(status, length, extra=b""):
    reason = {200: b"OK", 302: b"Found", 404: b"Not Found", 500: b"Internal Server Error"}[status]
    lines = [b"HTTP/1.0 %d %s" % (status, reason), b"Content-Type: text/html"]
    if length is not None:
        lines.append(b"Content-Length: %d" % length)
    return b"\r\n".join(lines) + b"\r\n" + extra + b"\r\n"


def account_of(request):
    line = request.split(b"\r\n", 1)[0]
    at = line.find(b"uin=")
    if at < 0:
        return None
    value = line[at + 4:]
    for stop in (b"&", b" ", b"#"):
        value = value.split(stop, 1)[0]
    return value


def answer(conn, account):
    def plain(body, status=200, length="right"):
        n = {"right": len(body), "none": None}.get(length, length)
        conn.sendall(head(status, n))
        conn.sendall(body)

    if account == b"modules":
        return plain(module_page(MODULES_OK + MODULES_FAILING, repeat=[b"/modules/ok/one.swf"]))
    if account == b"modulesok":
        return plain(module_page(MODULES_OK))
    if account == b"bench":
        return plain(module_page([b"/modules/bench/%d.swf" % i for i in range(200)]))

    if account in (b"608317", b"page"):
        plain(ORDINARY_PAGE)
    elif account in (b"404", b"500"):
        code = int(account)
        plain(ERROR_PAGE % (code, code), code)
    elif account == b"noclen":
        plain(ORDINARY_PAGE, length="none")
    elif account == b"shortlen":
        plain(ORDINARY_PAGE, length=40)
    elif account == b"longlen":
        plain(ORDINARY_PAGE, length=len(ORDINARY_PAGE) + 5000)
    elif account == b"reset":
        half = len(ORDINARY_PAGE) // 2
        conn.sendall(head(200, len(ORDINARY_PAGE)) + ORDINARY_PAGE[:half])
        time.sleep(0.5)
        conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    elif account in (b"big8", b"big8nolen", b"big8wrong", b"big64", b"big64nolen"):
        body = big_body(64 if account.startswith(b"big64") else 8)
        length = "none" if account.endswith(b"nolen") else 1000 if account == b"big8wrong" else "right"
        plain(memoryview(body), length=length)
    elif account == b"zeroinside":
        plain(ORDINARY_PAGE + b"\0" + ORDINARY_PAGE)
    elif account == b"zerofirst":
        plain(b"\0" + ORDINARY_PAGE)
    elif account == b"slow":
        conn.sendall(head(200, len(ORDINARY_PAGE)))
        step = len(ORDINARY_PAGE) // 5 + 1
        for at in range(0, len(ORDINARY_PAGE), step):
            time.sleep(0.3)
            conn.sendall(ORDINARY_PAGE[at:at + step])
    elif account == b"empty":
        plain(b"")
    elif account in (b"redirect", b"redirectloop"):
        to = REDIRECT_TO % (b"608317" if account == b"redirect" else account)
        conn.sendall(head(302, len(REDIRECT_PAGE), b"Location: " + to + b"\r\n") + REDIRECT_PAGE)
    else:
        plain(DEFAULT_PAGE)


class Log:
    def __init__(self, path):
        self.path = path
        self.lock = threading.Lock()

    def record(self, request):
        with self.lock, open(self.path, "ab") as f:
            f.write(b"=== request %d\n" % len(request) + request + b"\n")


def serve_one(conn, log):
    try:
        conn.settimeout(10)
        request = b""
        while b"\r\n\r\n" not in request:
            got = conn.recv(65536)
            if not got:
                break
            request += got
        log.record(request)
        line = request.split(b"\r\n", 1)[0].split(b" ")
        if len(line) >= 2 and line[1].startswith(b"/modules/"):
            answer_module(conn, line[1])
        elif request:
            answer(conn, account_of(request))
    except OSError:
        pass
    finally:
        try:
            conn.close()
        except OSError:
            pass


def watch(parent, deadline):
    while time.monotonic() < deadline and os.getppid() == parent:
        time.sleep(0.5)
    os._exit(0)


def main():
    parser = argparse.ArgumentParser(description="stand-in of the custom-window output service")
    parser.add_argument("--address", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=80)
    parser.add_argument("--log", required=True, help="file the requests are appended to")
    parser.add_argument("--ready", help="file written once the port listens")
    parser.add_argument("--lifetime", type=float, default=3600, help="seconds before it stops by itself")
    args = parser.parse_args()

    try:  # PR_SET_PDEATHSIG: end with the sandbox even if it is killed
        ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGTERM)
    except (OSError, AttributeError):
        pass
    threading.Thread(target=watch, args=(os.getppid(), time.monotonic() + args.lifetime), daemon=True).start()

    log = Log(args.log)
    open(args.log, "ab").close()
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind((args.address, args.port))
    server.listen(64)
    if args.ready:
        with open(args.ready, "w") as f:
            f.write("%d\n" % os.getpid())
    while True:
        conn, _ = server.accept()
        threading.Thread(target=serve_one, args=(conn, log), daemon=True).start()


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: os._exit(0))
    sys.exit(main())
