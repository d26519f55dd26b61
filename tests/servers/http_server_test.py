#!/usr/bin/env python3
"""Checks the test server's behaviours with a plain client, natively."""

import http.client
import os
import socket
import subprocess
import sys
import tempfile
import time
import unittest

SERVER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "http_server.py")
BODY = bytes(range(256)) * 40


class HttpServerTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        with open(os.path.join(self.folder.name, "file.bin"), "wb") as file:
            file.write(BODY)
        port_file = os.path.join(self.folder.name, "port")
        self.server = subprocess.Popen(
            [sys.executable, SERVER, "--root", self.folder.name, "--port-file", port_file,
             "--stall-seconds", "2"], stdout=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(port_file):
                break
            time.sleep(0.05)
        with open(port_file) as file:
            self.port = int(file.read())

    def tearDown(self):
        self.server.kill()
        self.server.wait()
        self.folder.cleanup()

    def get(self, path, headers=None):
        """(status, headers, body, seconds); body up to where the server stopped."""
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=10)
        start = time.monotonic()
        connection.request("GET", path, headers=headers or {})
        response = connection.getresponse()
        try:
            body = response.read()
        except http.client.IncompleteRead as cut:
            body = cut.partial
        connection.close()
        return response.status, response.headers, body, time.monotonic() - start

    def test_files_and_statuses(self):
        for path, status in [("/file.bin", 200), ("/missing.bin", 404), ("/../../etc/passwd", 404),
                             ("/404/file.bin", 404), ("/503/file.bin", 503), ("/ok/file.bin", 200)]:
            with self.subTest(path):
                got, _, body, _ = self.get(path)
                self.assertEqual(got, status)
                if status == 200:
                    self.assertEqual(body, BODY)

    def test_redirects_say_where_to(self):
        for path, location in [("/moved/file.bin", "/file.bin"), ("/moved/moved/file.bin", "/moved/file.bin"),
                               ("/loop/file.bin", "/loop/file.bin"),
                               ("/to:8080/file.bin", "http://127.0.0.1:8080/file.bin")]:
            with self.subTest(path):
                status, headers, body, _ = self.get(path)
                self.assertEqual(status, 301)
                self.assertEqual(headers["Location"], location)
                self.assertIn(b"moved", body)

    def test_delivery_modes_keep_or_cut_the_body(self):
        for path, expected in [("/blocks:7/file.bin", BODY), ("/drop/file.bin", BODY[:len(BODY) // 2]),
                               ("/drop:10/file.bin", BODY[:10]), ("/stall:5/file.bin", BODY[:5]),
                               ("/changed:10/file.bin", BODY[:10])]:
            with self.subTest(path):
                status, headers, body, _ = self.get(path)
                self.assertEqual(status, 200)
                self.assertEqual(int(headers["Content-Length"]), len(BODY))
                self.assertEqual(body, expected)

    def test_ranges_are_answered_unless_refused(self):
        for path, status, content_range, body in [
                ("/file.bin", 206, "bytes 1000-10239/10240", BODY[1000:]),
                ("/drop/file.bin", 206, "bytes 1000-10239/10240", BODY[1000:1000 + (len(BODY) - 1000) // 2]),
                ("/norange/file.bin", 200, None, BODY),
                # A break at byte N happens only to a part that holds it.
                ("/drop:3000/file.bin", 206, "bytes 1000-10239/10240", BODY[1000:3000]),
                ("/drop:500/file.bin", 206, "bytes 1000-10239/10240", BODY[1000:]),
                ("/stall:500/file.bin", 206, "bytes 1000-10239/10240", BODY[1000:]),
                ("/norange:10/file.bin", 200, None, BODY[:10]),
                ("/changed:500/file.bin", 206, "bytes 1000-10240/10241", BODY[1000:] + b"!"),
                ("/404/file.bin", 404, None, None)]:
            with self.subTest(path):
                got, headers, received, _ = self.get(path, {"Range": "bytes=1000-"})
                self.assertEqual(got, status)
                self.assertEqual(headers.get("Content-Range"), content_range)
                if body is not None:
                    self.assertEqual(received, body)
        self.assertEqual(self.get("/file.bin", {"Range": "bytes=10240-"})[0], 416)

    def test_drip_is_slow(self):
        with open(os.path.join(self.folder.name, "small.txt"), "wb") as file:
            file.write(b"0123456789")
        _, _, body, seconds = self.get("/drip:0.1/small.txt")
        self.assertEqual(body, b"0123456789")
        self.assertGreaterEqual(seconds, 0.85)

    def test_stall_sends_nothing_then_closes(self):
        with socket.create_connection(("127.0.0.1", self.port), timeout=5) as client:
            client.sendall(b"GET /stall/file.bin HTTP/1.0\r\n\r\n")
            start = time.monotonic()
            self.assertEqual(client.recv(100), b"")
            self.assertGreaterEqual(time.monotonic() - start, 1.9)

    def test_control(self):
        self.get("/-/mode?path=/file.bin&set=500")
        self.assertEqual(self.get("/file.bin")[0], 500)
        self.get("/-/mode?path=*&set=404")
        self.assertEqual(self.get("/other.bin")[0], 404)
        self.assertEqual(self.get("/-/mode?path=*&set=nonsense")[0], 400)
        self.assertEqual(self.get("/-/requests")[2], b"/file.bin\n/other.bin\n")
        self.get("/-/stop")
        self.assertEqual(self.server.wait(timeout=5), 0)

    def test_a_share_of_file_requests_gets_a_fault(self):
        with open(os.path.join(self.folder.name, "tavrin.txt"), "wb") as file:
            file.write(b"catalogue")
        self.get("/-/faults?share=1")
        for _ in range(6):
            status, _, body, _ = self.get("/file.bin")
            self.assertEqual(self.get("/tavrin.txt")[2], b"catalogue")
            faults = self.get("/-/faults")[2].decode().splitlines()
            kind, path = faults[-1].split(" ")
            self.assertEqual(path, "/file.bin")
            with self.subTest(kind):
                if kind.isdigit():
                    self.assertEqual(status, int(kind))
                else:
                    self.assertEqual(status, 200)
                    self.assertEqual(body, BODY[:len(body)])
                    if kind == "slow":
                        self.assertEqual(body, BODY)
        self.assertEqual(len(faults), 6)
        self.get("/-/faults?share=0")
        self.assertEqual(self.get("/file.bin")[2], BODY)

    def test_ends_with_its_parent(self):
        # A shell that starts the server in the background and soon ends.
        launcher = subprocess.run(
            ["sh", "-c", '"$0" "$1" --port 0 >/dev/null 2>&1 & echo $!; sleep 1', sys.executable, SERVER],
            capture_output=True, text=True, check=True)
        orphan = int(launcher.stdout)
        for _ in range(50):
            try:
                os.kill(orphan, 0)
            except ProcessLookupError:
                return
            time.sleep(0.1)
        os.kill(orphan, 9)
        self.fail("the server outlived its parent")


if __name__ == "__main__":
    unittest.main()
