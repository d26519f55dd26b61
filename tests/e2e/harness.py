"""Runs the real Tavrin.exe under Wine in a fresh folder and works it through
the driver, as a person would. Used by the end-to-end tests, the demo and
the benchmarks."""
import os
import re
import shutil
import socket
import subprocess
import tempfile
import time
import unittest

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
SERVER = os.path.join(ROOT, "tests", "servers", "http_server.py")
CERTIFICATES = os.path.join(ROOT, "tests", "servers", "make_test_certificates.sh")
BUILD = os.environ.get("TAVRIN_BUILD_DIR", os.path.join(os.path.dirname(__file__), "..", "..", "build"))
WINE_RUN = os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "wine_run.sh")
TRUST = os.path.join(BUILD, "trust.exe")


def built_version(build=BUILD):
    """The version of the build in `build`, e.g. "2.0.4"."""
    with open(os.path.join(build, "version.txt")) as handle:
        return handle.read().strip()


def built_mirrors(build=BUILD):
    """The loopback ports of the three mirrors built into the program, and
    whether they are named "https://"."""
    with open(os.path.join(build, "mirrors.txt")) as handle:
        found = [re.match(r"(https?)://(?:127\.0\.0\.1|localhost):(\d+)/", line)
                 for line in handle.read().split()]
    return tuple(int(match.group(2)) for match in found), found[0].group(1) == "https"


VERSION = built_version()
TITLE = "Tavrin " + VERSION
MIRROR_PORTS = built_mirrors()[0]  # 47001 to 47003 unless the build names others
# The last lines of the log of a program that ended normally.
EXIT_LINES = ["Exit code: 0", "", "---=== Tavrin Log ===---", ""]


def windows_path(path):
    """The name under which Wine's programs see a Unix path (drive Z:)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wine(*args, timeout=60, cwd=None):
    """Runs a Windows program and returns (exit code, output). The output goes
    through a file: a pipe would stay open in the wineserver it may start."""
    with tempfile.TemporaryFile() as out:
        code = subprocess.run([WINE_RUN, *args], stdout=out, stderr=subprocess.DEVNULL,
                              stdin=subprocess.DEVNULL, timeout=timeout, cwd=cwd).returncode
        out.seek(0)
        return code, out.read().decode("cp1250").replace("\r\n", "\n")


class Mirrors:
    """The program's three catalogue mirrors on their fixed loopback ports.
    Each serves a folder holding "tavrin.txt"; `modes` gives each mirror's
    behaviour ("ok", "404", "stall", ...; None: nothing listens there).
    `build` names a build with other mirrors (other ports, or HTTPS with a
    throw-away certificate for "localhost")."""

    def __init__(self, catalogue, modes=("ok", None, None), files=None, build=BUILD, server_options=()):
        self.root = tempfile.mkdtemp(prefix="tavrin-mirror-")
        ports, tls = built_mirrors(build)
        tls_options = []
        self.authority = None  # with TLS: the PEM file of the certificate's authority
        if tls:
            certificates = os.path.join(self.root, ".certificates")
            subprocess.run(["bash", CERTIFICATES, certificates], check=True)
            self.authority = os.path.join(certificates, "ca.pem")
            tls_options = ["--tls-cert", os.path.join(certificates, "server.pem"),
                           "--tls-key", os.path.join(certificates, "server.key")]
        with open(os.path.join(self.root, "tavrin.txt"), "wb") as handle:
            handle.write(catalogue)
        for name, data in (files or {}).items():
            path = os.path.join(self.root, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as handle:
                handle.write(data)
        self.servers = []
        for port, mode in zip(ports, modes):
            if mode is None:
                continue
            port_file = os.path.join(self.root, f".port{port}")
            self.servers.append(subprocess.Popen(
                ["python3", SERVER, "--root", self.root, "--port", str(port),
                 "--port-file", port_file, "--mode", mode, "--lifetime", "900", *tls_options,
                 *server_options],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
            for _ in range(100):
                if os.path.exists(port_file):
                    break
                time.sleep(0.05)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.stop()

    def stop(self):
        for server in self.servers:
            server.kill()
            server.wait()
        shutil.rmtree(self.root, ignore_errors=True)


def trust_authority(test, authority):
    """Puts the authority's certificate (a PEM file) into the Wine prefix's
    trust store, where the program reads its authorities, until `test` ends,
    also when it fails."""
    kept = tempfile.mkdtemp(prefix="tavrin-trust-")
    test.addCleanup(shutil.rmtree, kept, ignore_errors=True)
    copy = os.path.join(kept, "authority.pem")
    shutil.copy(authority, copy)
    code, out = wine(TRUST, "add", windows_path(copy))
    test.assertEqual(code, 0, out)
    test.addCleanup(lambda: test.assertEqual(wine(TRUST, "remove", windows_path(copy))[0], 0))


def log_lines_of(data):
    """The lines of log.txt's bytes."""
    return data.decode("cp1250").split("\r\n")


def status_text(out):
    """The status text of the driver's "<seconds> <slowest answer in ms>
    <text>" answer; an answer of another shape as it stands."""
    return out.split(" ", 2)[2].strip() if out.count(" ") >= 2 else out.strip()


def sample_catalogue():
    with open(os.path.join(ROOT, "tests", "data", "sample_catalogue.txt"), "rb") as handle:
        return handle.read()


class TavrinRun:
    """One program run in its own folder; `folder` holds log.txt and settings.cfg."""

    def __init__(self, exe=None, folder=None):
        self.folder = folder or tempfile.mkdtemp(prefix="tavrin-e2e-")
        self.exe = os.path.join(self.folder, "Tavrin.exe")
        shutil.copy(exe or os.path.join(BUILD, "Tavrin.exe"), self.exe)
        self.driver_exe = os.path.join(BUILD, "driver.exe")
        self.process = None

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.cleanup()

    def start(self):
        self.process = subprocess.Popen([WINE_RUN, self.exe], cwd=self.folder,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return self

    def driver(self, *args, title=TITLE, timeout=60):
        return wine(self.driver_exe, title, *args, timeout=timeout)

    def write_settings(self, target, pak0="", message=False):
        """settings.cfg naming `pak0` and the installation folder `target`
        (paths here, "" for an empty box), with the catalogue's message
        still to be shown when `message`."""
        paths = [windows_path(path) if path else "" for path in (pak0, target)]
        with open(os.path.join(self.folder, "settings.cfg"), "wb") as handle:
            handle.write("\r\n".join(paths + ["message" if message else "informed"]).encode())

    def wait_unlocked(self, seconds=30, title=TITLE):
        code, out = self.driver("wait-unlocked", str(seconds), title=title, timeout=seconds + 30)
        return code == 0

    def controls(self):
        """Child controls in creation order, as dicts."""
        code, out = self.driver("controls")
        rows = []
        for line in out.splitlines():
            cls, text, x, y, w, h, cid, enabled, style = line.split("|")
            rows.append(dict(cls=cls, text=text, x=int(x), y=int(y), w=int(w), h=int(h),
                             id=int(cid), enabled=enabled == "1", style=int(style, 16)))
        return rows

    def tree(self, title=TITLE):
        return self.driver("tree", title=title)[1]

    def install(self, seconds=120, title=TITLE):
        """Clicks "3. Install" and watches the status line until the run
        ends: the driver's exit code and answer (see `status_text`)."""
        return self.driver("click-and-watch", "3. Install", "Installation finished", str(seconds),
                           title=title, timeout=seconds + 60)

    def close_while_unpacking(self, seconds=60):
        """Clicks "3. Install", waits until the first archive is whole (its
        status line is logged) and closes the window while its entries are
        written: the seconds the program took to end after the close, and
        its exit code."""
        if self.driver("click", "3. Install")[0] != 0:
            raise RuntimeError("no Install button")
        deadline = time.monotonic() + seconds
        while not any(line.startswith("Status: ") for line in self.log_lines()):
            if time.monotonic() > deadline:
                raise RuntimeError("the archive never came")
            time.sleep(0.05)
        time.sleep(0.3)
        closed_at = time.monotonic()
        if not self.close():
            raise RuntimeError("the window did not take the close")
        code = self.wait_exit()
        return time.monotonic() - closed_at, code

    def final_status(self):
        """The status line once it shows the end of a run, asked as the watch asks:
        a window that sat idle behind a message box for a while counts as hung to
        a plain read, which then gets no text at all."""
        code, out = self.driver("watch", "Installation finished", "10")
        return status_text(out) if code == 0 else out

    def close(self):
        code, _ = self.driver("close")
        return code == 0

    def wait_exit(self, seconds=30):
        try:
            return self.process.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            return None

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], check=False)

    def file(self, name):
        with open(os.path.join(self.folder, name), "rb") as handle:
            return handle.read()

    def log_lines(self):
        return log_lines_of(self.file("log.txt"))

    def cleanup(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)


def started_into(target):
    """A run whose settings name `target` as the installation folder and no
    pak0.pk3, started, its controls unlocked; for the benchmarks."""
    run = TavrinRun()
    run.write_settings(target)
    run.start()
    if not run.wait_unlocked(60):
        run.cleanup()
        raise RuntimeError("the controls never unlocked")
    return run


class InstallCase(unittest.TestCase):
    """Tests of install runs: a fresh run `run_` whose installation folder
    `target` lies in its own folder."""

    def setUp(self):
        self.run_ = TavrinRun()
        self.addCleanup(self.run_.cleanup)
        self.target = os.path.join(self.run_.folder, "Quake III Arena")

    def started(self, catalogue, files, message=False):
        """The program, unlocked, with the catalogue on its first mirror and no pak0.pk3 to copy."""
        mirrors = Mirrors(catalogue, ("ok", None, None), files=files)
        self.addCleanup(mirrors.stop)
        run = self.run_
        run.write_settings(self.target, message=message)
        run.start()
        self.assertTrue(run.wait_unlocked())
        return run

    def install_status(self, run):
        """Installs and gives the status line the run ended with."""
        code, out = run.install()
        self.assertEqual(code, 0, out)
        return status_text(out)

    def assert_exited_cleanly(self, run):
        self.assertTrue(run.close())
        self.assertEqual(run.wait_exit(), 0)
        self.assertEqual(run.log_lines()[-4:], EXIT_LINES)


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Nginx:
    """A real nginx on loopback serving `files` ({path: bytes}) from a
    temporary folder, with `locations` (extra nginx text, e.g. redirects)
    in its server block; with `tls` ((certificate, key) PEM files) it
    speaks https. Its access log gives each request's connection number,
    status and path; see `requests`."""

    BINARY = shutil.which("nginx") or ("/usr/sbin/nginx" if os.path.exists("/usr/sbin/nginx") else None)

    def __init__(self, files, locations="", port=None, tls=None):
        self.folder = tempfile.mkdtemp(prefix="tavrin-nginx-")
        self.port = port or free_port()
        self.url = f"{'https' if tls else 'http'}://127.0.0.1:{self.port}/"
        listen = f"127.0.0.1:{self.port} ssl;\n    ssl_certificate {tls[0]};\n    ssl_certificate_key {tls[1]}" \
            if tls else f"127.0.0.1:{self.port}"
        www = os.path.join(self.folder, "www")
        for name, data in files.items():
            path = os.path.join(www, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as handle:
                handle.write(data)
        os.makedirs(www, exist_ok=True)
        folder = self.folder
        # As root its workers would drop to "nobody", who cannot read a 0700 temporary folder.
        user = "user root;\n" if os.geteuid() == 0 else ""
        temps = "".join(f"{kind}_temp_path {folder}/temp/{kind};\n"
                        for kind in ("client_body", "proxy", "fastcgi", "uwsgi", "scgi"))
        with open(os.path.join(folder, "nginx.conf"), "w") as handle:
            handle.write(f"""{user}worker_processes 1;
pid {folder}/nginx.pid;
error_log {folder}/error.log;
events {{ worker_connections 256; }}
http {{
  {temps}
  log_format tavrin '$connection $status $request_uri';
  access_log {folder}/access.log tavrin;
  keepalive_requests 10000;
  keepalive_timeout 120s;
  default_type application/octet-stream;
  server {{
    listen {listen};
    root {www};
    {locations}
  }}
}}
""")
        os.makedirs(os.path.join(folder, "temp"))
        os.makedirs(os.path.join(folder, "logs"))
        self.process = subprocess.Popen(
            [self.BINARY, "-p", folder, "-c", os.path.join(folder, "nginx.conf"), "-e", os.path.join(folder, "error.log"),
             "-g", "daemon off;"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(200):
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=1).close()
                return
            except OSError:
                if self.process.poll() is not None:
                    break
                time.sleep(0.05)
        error = open(os.path.join(folder, "error.log")).read() if os.path.exists(os.path.join(folder, "error.log")) else ""
        self.stop()
        raise RuntimeError("nginx did not start: " + error)

    def requests(self):
        """(connection number, status, path) of every request logged so far."""
        path = os.path.join(self.folder, "access.log")
        if not os.path.exists(path):
            return []
        with open(path) as handle:
            return [(int(c), int(s), p) for c, s, p in (line.split(" ", 2) for line in handle.read().splitlines())]

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.stop()

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)
