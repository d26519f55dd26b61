#!/usr/bin/env python3
"""A small HTTP server on 127.0.0.1 for the network tests and the demo.

It serves the files of one folder. A request can ask for a fault by the first
part of its path, for example /404/tavrin.txt or /blocks:64/tavrin.txt; the
rest of the path names the file. A behaviour can also be set for one exact
path, or for every path, while the server runs (the control paths below), or
for every path from the start (--mode), which is how a fixed-port mirror
is made to fail.

Behaviours (argument after ":", optional):
  ok            the file as it is
  NNN           status NNN (e.g. 404, 500) with a small HTML page
  stall[:N]     send the headers and the file up to byte N (none at all
                without N: not even the status line), then nothing until
                --stall-seconds have passed; then close
  drip[:S]      the file one byte at a time, S seconds apart (0.2)
  drop[:N]      announce the whole length, send the file up to byte N (half
                of what was asked for), then close
  blocks[:N]    the file in blocks of N bytes (64), each flushed on its own
  norange[:N]   the whole file, also when the request asks for a range;
                with N, broken off after byte N as drop does
  slow[:N]      the file with a slow patch at byte N (half): 12 bytes a
                quarter of a second apart, then the rest at once
  changed[:N]   as drop; but a range is answered from a file one byte
                longer, as if the file had changed since the first request
  moved         301 to the rest of the path on this server, with a page
                of its own (so /moved/moved/x takes two redirects to /x)
  loop          301 to the same path again, for ever
  to:PORT       301 to the rest of the path on http://127.0.0.1:PORT

A request with "Range: bytes=N-" gets the file from byte N on, as 206 with
its Content-Range, and the behaviour applies to that part; only norange and
the status behaviours answer without it. A break at byte N of the file
(stall:N, drop:N) happens only to a part that holds that byte, so a client
that resumes after it gets the rest whole.

With --faults SHARE, that share of the requests for files other than
tavrin.txt that would be answered plainly get a fault drawn at random
(--fault-seed): the file dropped, stalled or slowed at a random byte, or
the status 404 or 500.

With --tls-cert and --tls-key the server speaks HTTPS. With --keep-alive it
answers HTTP/1.1 and keeps each connection open for the next request (the
default is one answer per connection, as HTTP/1.0).

Control paths (GET):
  /-/mode?path=/tavrin.txt&set=404   behaviour of one path ("*" for every path)
  /-/requests                        the paths asked for so far, one a line
  /-/faults                          the faults given so far, "kind path" a line
  /-/faults?share=0                  a new share of faulty answers
  /-/connections                     the connections accepted so far
  /-/stop                            end the server

The server stops by itself when its parent process ends or --lifetime
seconds have passed, so a killed test never leaves it behind.
"""

import argparse
import http.server
import os
import random
import re
import shutil
import socketserver
import ssl
import sys
import threading
import time
import urllib.parse

PARENT = os.getppid()
BEHAVIOURS = ("ok", "stall", "drip", "drop", "blocks", "norange", "changed", "slow", "moved", "loop", "to")
FAULTS = ("drop", "stall", "slow", "404", "500")


def parse_behaviour(text):
    """("blocks", "64") from "blocks:64"; None when it names no behaviour."""
    name, _, argument = text.partition(":")
    if argument:
        try:
            float(argument)
        except ValueError:
            return None
    if name in BEHAVIOURS or (name.isdigit() and len(name) == 3):
        return name, argument
    return None


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, port, root, mode, stall_seconds, fault_share=0.0, fault_seed=0, keep_alive=False):
        super().__init__(("127.0.0.1", port), Handler)
        self.keep_alive = keep_alive
        self.connections = 0
        self.root = os.path.realpath(root)
        self.modes = {"*": parse_behaviour(mode) or ("ok", "")}
        self.stall_seconds = stall_seconds
        self.stopping = threading.Event()
        self.requests = []
        self.lock = threading.Lock()
        self.fault_share = fault_share
        self.fault_random = random.Random(fault_seed)
        self.faults = []

    def draw_fault(self, path):
        """(kind, where in the part asked for, 0 to 1) or None; called under the lock."""
        if path == "/tavrin.txt" or self.fault_random.random() >= self.fault_share:
            return None
        kind = self.fault_random.choice(FAULTS)
        self.faults.append("%s %s" % (kind, path))
        return kind, self.fault_random.random()

    def handle_error(self, request, client_address):
        # A client that hangs up early is a normal case in these tests.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)

    def stop(self):
        self.stopping.set()
        threading.Thread(target=self.shutdown, daemon=True).start()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def setup(self):
        super().setup()
        with self.server.lock:
            self.server.connections += 1
        if self.server.keep_alive:
            self.protocol_version = "HTTP/1.1"

    def log_message(self, format, *args):
        pass

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        path = urllib.parse.unquote(url.path)
        if path.startswith("/-/"):
            self.control(path, urllib.parse.parse_qs(url.query))
            return
        with self.server.lock:
            self.server.requests.append(path)
            behaviour = self.server.modes.get(path) or self.server.modes["*"]
            fault = self.server.draw_fault(path) if behaviour == ("ok", "") else None
        first, _, rest = path[1:].partition("/")
        if rest and parse_behaviour(first):
            behaviour, path = parse_behaviour(first), "/" + rest
        elif fault:
            behaviour = self.fault_behaviour(fault, path)
        self.answer(behaviour, path)

    def fault_behaviour(self, fault, path):
        kind, where = fault
        if kind.isdigit():
            return kind, ""
        full = self.file_path(path)
        size = os.path.getsize(full) if full else 0
        start = min(self.range_start() or 0, size)
        return kind, str(start + int((size - start) * where))

    def control(self, path, query):
        server = self.server
        if path == "/-/mode" and "path" in query and "set" in query:
            behaviour = parse_behaviour(query["set"][0])
            if behaviour is None:
                return self.send_text(400, "unknown behaviour\n")
            with server.lock:
                server.modes[query["path"][0]] = behaviour
            return self.send_text(200, "ok\n")
        if path == "/-/requests":
            with server.lock:
                return self.send_text(200, "".join(p + "\n" for p in server.requests))
        if path == "/-/faults":
            with server.lock:
                if "share" in query:
                    server.fault_share = float(query["share"][0])
                return self.send_text(200, "".join(f + "\n" for f in server.faults))
        if path == "/-/connections":
            with server.lock:
                return self.send_text(200, "%d\n" % server.connections)
        if path == "/-/stop":
            self.send_text(200, "stopping\n")
            return server.stop()
        self.send_text(404, "unknown control\n")

    def send_text(self, status, text, content_type="text/plain"):
        body = text.encode("latin-1")
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def file_path(self, path):
        """The file's full path, or None when it is missing or outside the root."""
        full = os.path.realpath(os.path.join(self.server.root, path.lstrip("/")))
        if os.path.commonpath([full, self.server.root]) != self.server.root or not os.path.isfile(full):
            return None
        return full

    def answer(self, behaviour, path):
        name, argument = behaviour
        if name.isdigit():
            return self.send_error_page(int(name))
        if name in ("moved", "loop", "to"):
            where = {"moved": path, "loop": "/loop" + path, "to": f"http://127.0.0.1:{argument}{path}"}[name]
            return self.send_redirect(where)
        if name == "stall" and not argument:
            return self.stall()
        full = self.file_path(path)
        if full is None:
            return self.send_error_page(404)
        with open(full, "rb") as file:
            if name in ("ok", "norange") and not argument:
                return self.send_part(file, os.path.getsize(full), None if name == "norange" else self.range_start())
            content = file.read()
        start = self.range_start()
        if name == "norange":
            start = None
        elif name == "changed" and start is not None:
            content += b"!"
        if not self.send_head(len(content), start):
            return
        body = content[start or 0 :]
        if argument and name in ("stall", "drop", "norange", "changed", "slow"):
            # A break at byte N of the file, when this part holds it.
            cut = int(float(argument)) - (start or 0)
            if cut <= 0:
                return self.send_flushed(body)
        else:
            cut = len(body) // 2
        if name == "stall":
            self.send_flushed(body[:cut])
            self.stall()
        elif name in ("drop", "norange", "changed"):
            self.send_flushed(body[:cut])
        elif name == "slow":
            self.send_flushed(body[:cut])
            for offset in range(cut, min(cut + 12, len(body))):
                if self.server.stopping.wait(0.25):
                    return
                self.send_flushed(body[offset : offset + 1])
            self.send_flushed(body[cut + 12 :])
        elif name == "drip":
            delay = float(argument or 0.2)
            for offset in range(len(body)):
                if self.server.stopping.wait(delay if offset else 0):
                    return
                self.send_flushed(body[offset : offset + 1])
        elif name == "blocks":
            size = max(1, int(float(argument or 64)))
            for offset in range(0, len(body), size):
                self.send_flushed(body[offset : offset + size])
                # A short pause so that each block reaches the client on its own.
                time.sleep(0.001)

    def send_head(self, size, start):
        """The status line and headers of the file from `start` (None: whole);
        False when the range lies past the end (416 sent)."""
        if start is None:
            self.send_response(200)
            start = 0
        elif start >= size:
            self.send_response(416)
            self.send_header("Content-Range", "bytes */%d" % size)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return False
        else:
            self.send_response(206)
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, size - 1, size))
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(size - start))
        self.end_headers()
        self.wfile.flush()
        return True

    def send_part(self, file, size, start):
        if self.send_head(size, start):
            file.seek(start or 0)
            # In pieces: reading a large file whole takes the machine from
            # the program under test for a while.
            shutil.copyfileobj(file, self.wfile, 1 << 20)

    def range_start(self):
        """N of a "Range: bytes=N-" header; None without one."""
        found = re.fullmatch(r"bytes=(\d+)-", self.headers.get("Range", "").strip())
        return int(found.group(1)) if found else None

    def send_redirect(self, location):
        body = b"<html><body>This page has moved.</body></html>\n"
        self.send_response(301)
        self.send_header("Location", location)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def send_error_page(self, status):
        page = "<html><head><title>%d</title></head><body><h1>Error %d</h1></body></html>\n"
        self.send_text(status, page % (status, status), "text/html")

    def send_flushed(self, data):
        self.wfile.write(data)
        self.wfile.flush()

    def stall(self):
        self.server.stopping.wait(self.server.stall_seconds)
        self.close_connection = True


def watch_parent(server, lifetime):
    deadline = time.monotonic() + lifetime
    while not server.stopping.wait(0.5):
        if os.getppid() != PARENT or time.monotonic() > deadline:
            server.stop()


def main():
    options = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    options.add_argument("--root", default=".", help="folder of the served files")
    options.add_argument("--port", type=int, default=0, help="0: a free port")
    options.add_argument("--port-file", help="write the port here once listening")
    options.add_argument("--mode", default="ok", help="behaviour of every path at start")
    options.add_argument("--stall-seconds", type=float, default=20)
    options.add_argument("--lifetime", type=float, default=900)
    options.add_argument("--tls-cert", help="PEM certificate chain: answer over HTTPS")
    options.add_argument("--tls-key", help="PEM key of --tls-cert")
    options.add_argument("--faults", type=float, default=0.0, help="share of file requests answered with a fault")
    options.add_argument("--fault-seed", type=int, default=0)
    options.add_argument("--keep-alive", action="store_true", help="HTTP/1.1, connections kept open")
    arguments = options.parse_args()
    if parse_behaviour(arguments.mode) is None:
        options.error("unknown behaviour: " + arguments.mode)

    server = Server(arguments.port, arguments.root, arguments.mode, arguments.stall_seconds,
                    arguments.faults, arguments.fault_seed, arguments.keep_alive)
    if arguments.tls_cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(arguments.tls_cert, arguments.tls_key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    port = server.server_address[1]
    if arguments.port_file:
        # Written whole, then renamed, so a reader never sees half a number.
        with open(arguments.port_file + ".tmp", "w") as file:
            file.write("%d\n" % port)
        os.replace(arguments.port_file + ".tmp", arguments.port_file)
    print("port %d" % port, flush=True)
    threading.Thread(target=watch_parent, args=(server, arguments.lifetime), daemon=True).start()
    try:
        server.serve_forever(poll_interval=0.2)
    except KeyboardInterrupt:
        pass
    server.stopping.set()
    server.server_close()


if __name__ == "__main__":
    sys.exit(main())
