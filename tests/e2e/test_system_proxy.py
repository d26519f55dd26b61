"""The real program goes out through the proxy that Windows knows: the
settings written into a Wine prefix of the test's own as the Internet
Options dialog writes them, and Debian's tinyproxy on loopback. The
catalogue (over https, through the proxy's tunnel, its certificate checked
against the real host), an http item and an https item come through it; a
bypassed host is reached directly; a proxy that answers 407 fails the
attempt and the record's next URL is tried."""
import os
import shutil
import struct
import subprocess
import tempfile
import time
import unittest

from catalogue_text import Item, catalogue_text
from harness import (BUILD, ROOT, Mirrors, Nginx, TavrinRun, built_mirrors, built_version, free_port,
                     status_text, trust_authority, wine)

TINYPROXY = shutil.which("tinyproxy")
HTTPS_BUILD = os.path.join(BUILD, "https")
HTTPS_TITLE = "Tavrin " + built_version(HTTPS_BUILD)
HTTPS_PORT = built_mirrors(HTTPS_BUILD)[0][0]
SETTINGS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings"


def connection_settings(proxy, bypass):
    """DefaultConnectionSettings as the Internet Options dialog writes it:
    version, counter, flags (direct | proxy), then the proxy, the bypass
    list and the auto-configuration URL, each after its length."""
    data = struct.pack("<III", 0x46, 1, 0x03)
    for text in (proxy.encode(), bypass.encode(), b""):
        data += struct.pack("<I", len(text)) + text
    return (data + bytes(32)).hex()


class CTinyproxy:
    """tinyproxy on a free loopback port, with a log of its own; with
    `password` it asks every client for one (407)."""

    def __init__(self, connect_ports, password=None):
        self.folder = tempfile.mkdtemp(prefix="tavrin-proxy-")
        os.chmod(self.folder, 0o777)
        self.port = free_port()
        self.log = os.path.join(self.folder, "tinyproxy.log")
        lines = [f"Port {self.port}", "Listen 127.0.0.1", "Timeout 30", f"LogFile \"{self.log}\"",
                 "LogLevel Info", "MaxClients 20", "Allow 127.0.0.1", "User nobody", "Group nogroup"]
        lines += [f"ConnectPort {port}" for port in connect_ports]
        if password:
            lines.append(f"BasicAuth player {password}")
        config = os.path.join(self.folder, "tinyproxy.conf")
        with open(config, "w") as handle:
            handle.write("\n".join(lines) + "\n")
        self.process = subprocess.Popen([TINYPROXY, "-d", "-c", config], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(self.log) and "listening" in self.text().lower():
                break
            time.sleep(0.05)

    def text(self):
        try:
            with open(self.log, errors="replace") as handle:
                return handle.read()
        except OSError:
            return ""

    def requests(self):
        """The request lines the proxy logged ("GET http://...", "CONNECT host:port")."""
        found = []
        for line in self.text().splitlines():
            at = line.find("Request (file descriptor")
            if at >= 0:
                found.append(line[line.index(":", at) + 1:].strip())
        return found

    def stop(self):
        self.process.terminate()
        self.process.wait(10)
        shutil.rmtree(self.folder, ignore_errors=True)


@unittest.skipUnless(TINYPROXY and Nginx.BINARY, "tinyproxy or nginx is not installed")
class SystemProxyTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # A prefix of this test's own: the proxy settings reach no other test.
        cls.saved_prefix = os.environ.get("WINEPREFIX")
        cls.prefix = tempfile.mkdtemp(prefix="tavrin-proxy-prefix-")
        os.environ["WINEPREFIX"] = cls.prefix
        subprocess.run(["bash", "-c", ". scripts/wine_session.sh && tavrin_prepare_prefix"], cwd=ROOT, check=True)

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["wineserver", "-k"], capture_output=True)
        if cls.saved_prefix is None:
            del os.environ["WINEPREFIX"]
        else:
            os.environ["WINEPREFIX"] = cls.saved_prefix
        shutil.rmtree(cls.prefix, ignore_errors=True)

    def use_proxy(self, proxy, bypass):
        for value, kind, data in (("ProxyEnable", "REG_DWORD", "1"), ("ProxyServer", "REG_SZ", proxy),
                                  ("ProxyOverride", "REG_SZ", bypass)):
            self.assertEqual(wine("reg", "add", SETTINGS, "/v", value, "/t", kind, "/d", data, "/f")[0], 0)
        self.assertEqual(wine("reg", "add", SETTINGS + r"\Connections", "/v", "DefaultConnectionSettings",
                              "/t", "REG_BINARY", "/d", connection_settings(proxy, bypass), "/f")[0], 0)

    def nginx(self, files):
        server = Nginx(files)
        self.addCleanup(server.stop)
        return server

    def test_the_catalogue_and_items_come_through_the_proxy_and_a_bypassed_host_directly(self):
        proxy = CTinyproxy([HTTPS_PORT])
        self.addCleanup(proxy.stop)
        # "localhost" goes through the proxy, "127.0.0.1" is bypassed.
        self.use_proxy(f"127.0.0.1:{proxy.port}", "127.0.0.1")
        plain = {"files/plain.cfg": b"seta through 1\n" * 20, "files/direct.cfg": b"seta direct 1\n" * 30}
        server = self.nginx(plain)
        secure = b"seta secure 1\n" * 40
        items = [Item("Plain", [("baseq3", len(plain["files/plain.cfg"]),
                                 f"http://localhost:{server.port}/files/plain.cfg")]),
                 Item("Secure", [("baseq3", len(secure), f"https://localhost:{HTTPS_PORT}/files/secure.cfg")]),
                 Item("Direct", [("baseq3", len(plain["files/direct.cfg"]),
                                  f"http://127.0.0.1:{server.port}/files/direct.cfg")])]
        catalogue = catalogue_text(items, f"https://localhost:{HTTPS_PORT}/none.exe")
        mirrors = Mirrors(catalogue, ("ok", None, None), files={"files/secure.cfg": secure}, build=HTTPS_BUILD)
        self.addCleanup(mirrors.stop)
        trust_authority(self, mirrors.authority)
        run = TavrinRun(exe=os.path.join(HTTPS_BUILD, "Tavrin.exe"))
        self.addCleanup(run.cleanup)
        target = os.path.join(run.folder, "Quake III Arena")
        run.write_settings(target)
        run.start()
        self.assertTrue(run.wait_unlocked(60, title=HTTPS_TITLE), "\n".join(run.log_lines()))
        code, out = run.install(title=HTTPS_TITLE)
        self.assertEqual((code, status_text(out)), (0, "Installation finished (100%)"))
        for name, data in (("plain.cfg", plain["files/plain.cfg"]), ("secure.cfg", secure),
                           ("direct.cfg", plain["files/direct.cfg"])):
            with open(os.path.join(target, "baseq3", name), "rb") as handle:
                self.assertEqual(handle.read(), data, name)
        self.assertEqual(run.driver("close", title=HTTPS_TITLE)[0], 0)
        self.assertEqual(run.wait_exit(), 0)

        requests = proxy.requests()
        self.assertIn(f"CONNECT localhost:{HTTPS_PORT} HTTP/1.1", requests)
        self.assertIn(f"GET http://localhost:{server.port}/files/plain.cfg HTTP/1.1", requests)
        self.assertFalse([r for r in requests if "127.0.0.1" in r], requests)
        self.assertIn("/files/direct.cfg", [path for _, _, path in server.requests()])

    def test_a_proxy_that_asks_for_a_password_fails_the_attempt_and_the_next_url_is_tried(self):
        proxy = CTinyproxy([], password="secret")
        self.addCleanup(proxy.stop)
        self.use_proxy(f"127.0.0.1:{proxy.port}", "127.0.0.1")
        data = b"seta fallback 1\n" * 10
        server = self.nginx({"files/fallback.cfg": data})
        item = Item("Fallback", [("baseq3", len(data), [f"http://localhost:{server.port}/files/fallback.cfg",
                                                         f"http://127.0.0.1:{server.port}/files/fallback.cfg"])])
        mirrors = Mirrors(catalogue_text([item], "http://127.0.0.1:1/none.exe"), ("ok", None, None))
        self.addCleanup(mirrors.stop)
        run = TavrinRun()
        self.addCleanup(run.cleanup)
        target = os.path.join(run.folder, "Quake III Arena")
        run.write_settings(target)
        run.start()
        self.assertTrue(run.wait_unlocked(60), "\n".join(run.log_lines()))
        code, out = run.install()
        self.assertEqual((code, status_text(out)), (0, "Installation finished (100%)"))
        with open(os.path.join(target, "baseq3", "fallback.cfg"), "rb") as handle:
            self.assertEqual(handle.read(), data)
        self.assertTrue(run.close())
        self.assertEqual(run.wait_exit(), 0)
        log = run.log_lines()
        at = log.index(f"Connecting to: http://localhost:{server.port}/files/fallback.cfg")
        self.assertEqual(log[at + 1:at + 4], ["Connecting error: 22 (0)",
                                              f"Connecting to: http://127.0.0.1:{server.port}/files/fallback.cfg",
                                              "Downloading complete ! (%d)" % len(data)])
        self.assertTrue(any("fallback.cfg" in r for r in proxy.requests()), proxy.text())


if __name__ == "__main__":
    unittest.main()
