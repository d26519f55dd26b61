"""The latency benchmark: 100 files of 24 KB from a real nginx behind a delay
relay on loopback that plays a round trip of 40 ms (a new connection's first
data waits one extra round trip, as its handshake would; every piece of data
waits half a round trip, both ways). Times Tavrin.exe from the Install click
to the final status, and, when given, the curl tool fetching the same URLs
in one run over kept connections and with a new connection per file, and
aria2c (Debian's, native, 8 files at once over one connection each) when
it is installed, over http and then https (a throw-away authority that
Tavrin finds in the Wine prefix's trust store and the other tools are
given). Prints every round's times and connections, and the best rounds.
Usage: bench_latency.py [curl.exe] [rounds] [files] [round trip in ms]"""
import asyncio
import contextlib
import os
import random
import shutil
import subprocess
import sys
import tempfile
import threading
import time

# The harness and the catalogues live with the end-to-end tests.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from catalogue_text import Item, catalogue_text
from harness import CERTIFICATES, MIRROR_PORTS, TRUST, Mirrors, Nginx, free_port, started_into, wine, windows_path

FILES = 100
SIZE = 24 * 1024
ROUND_TRIP = 0.040
ARIA2C = shutil.which("aria2c")


class DelayRelay:
    """A TCP relay on loopback in front of `target_port`, run on its own thread."""

    def __init__(self, target_port, round_trip):
        self.target_port, self.round_trip = target_port, round_trip
        self.port = free_port()
        self.connections = 0
        self.loop = asyncio.new_event_loop()
        ready = threading.Event()
        self.thread = threading.Thread(target=self.serve, args=(ready,), daemon=True)
        self.thread.start()
        ready.wait()

    def serve(self, ready):
        asyncio.set_event_loop(self.loop)
        self.server = self.loop.run_until_complete(
            asyncio.start_server(self.relay, "127.0.0.1", self.port))
        ready.set()
        self.loop.run_forever()

    async def relay(self, client_reader, client_writer):
        self.connections += 1
        server_reader, server_writer = await asyncio.open_connection("127.0.0.1", self.target_port)
        try:
            await asyncio.gather(self.pipe(client_reader, server_writer, self.round_trip),
                                 self.pipe(server_reader, client_writer, 0.0))
        except asyncio.CancelledError:  # the relay stopping with the connection open
            client_writer.close()
            server_writer.close()

    async def pipe(self, reader, writer, first_extra):
        """Delivers each piece read half a round trip after it came, in order;
        the first one `first_extra` later still."""
        queue = asyncio.Queue()

        async def deliver():
            while True:
                due, data = await queue.get()
                wait = due - self.loop.time()
                if wait > 0:
                    await asyncio.sleep(wait)
                if data is None:
                    break
                writer.write(data)
                await writer.drain()
            writer.close()

        sender = asyncio.ensure_future(deliver())
        extra = first_extra
        try:
            while True:
                data = await reader.read(65536)
                if not data:
                    break
                queue.put_nowait((self.loop.time() + self.round_trip / 2 + extra, data))
                extra = 0.0
        except ConnectionError:
            pass
        queue.put_nowait((self.loop.time() + self.round_trip / 2, None))
        try:
            await sender
        except ConnectionError:
            pass

    def take_count(self):
        count, self.connections = self.connections, 0
        return count

    def stop(self):
        async def shut():
            self.server.close()
            tasks = [t for t in asyncio.all_tasks() if t is not asyncio.current_task()]
            for task in tasks:
                task.cancel()
            await asyncio.gather(*tasks, return_exceptions=True)
            self.loop.stop()
        asyncio.run_coroutine_threadsafe(shut(), self.loop)
        self.thread.join()
        self.loop.close()


def catalogue(base):
    small = Item("Small files", [("small", SIZE, base + f"files/small{i:03}.dat") for i in range(FILES)],
                 f"{FILES} files of 24 KB.")
    return catalogue_text([small], f"http://127.0.0.1:{MIRROR_PORTS[0]}/none.exe", message="Benchmark")


def measure_tavrin(files):
    target = tempfile.mkdtemp(prefix="tavrin-latency-")
    run = started_into(target)
    try:
        code, out = run.install(300)
        seconds, _, text = out.split(" ", 2)
        if text.strip() != "Installation finished (100%)":
            raise RuntimeError("the install ended with: " + text.strip())
        for name, data in files.items():
            with open(os.path.join(target, "small", name.split("/")[1]), "rb") as handle:
                if handle.read() != data:
                    raise RuntimeError(name + " differs from its source")
        run.close()
        run.wait_exit(30)
        return float(seconds)
    finally:
        run.cleanup()
        shutil.rmtree(target, ignore_errors=True)


def measure_curl(curl, base, files, new_connections, authority=None):
    """Wall seconds of one curl.exe run fetching every file from a -K list."""
    work = tempfile.mkdtemp(prefix="tavrin-bench-curl-")
    try:
        config = os.path.join(work, "urls.txt")
        with open(config, "w") as handle:
            if new_connections:
                handle.write('header = "Connection: close"\n')
            # Forward slashes: a backslash in a quoted config value is an escape.
            if authority:
                # The chain checked against the same authority, as Tavrin checks it under Wine.
                handle.write('cacert = "%s"\n' % windows_path(authority).replace("\\", "/"))
            for name in files:
                output = windows_path(os.path.join(work, name.split("/")[1])).replace("\\", "/")
                handle.write('url = "%sfiles/%s"\noutput = "%s"\n' % (base, name.split("/")[1], output))
        start = time.monotonic()
        code, out = wine(curl, "-s", "-S", "-K", windows_path(config), timeout=600)
        seconds = time.monotonic() - start
        if code != 0:
            raise RuntimeError(f"curl.exe failed: {code} {out}")
        for name, data in files.items():
            with open(os.path.join(work, name.split("/")[1]), "rb") as handle:
                if handle.read() != data:
                    raise RuntimeError(name + " differs from its source")
        return seconds
    finally:
        shutil.rmtree(work, ignore_errors=True)


def measure_aria2(base, files, authority=None):
    """Wall seconds of one aria2c run fetching every file, 8 at once, one
    connection each, as a player who wants speed would run it."""
    work = tempfile.mkdtemp(prefix="tavrin-bench-aria2-")
    try:
        listing = os.path.join(work, "urls.txt")
        with open(listing, "w") as handle:
            for name in files:
                handle.write("%sfiles/%s\n" % (base, name.split("/")[1]))
        command = [ARIA2C, "-q", "-j", "8", "-x", "1", "--allow-overwrite=true", "--auto-file-renaming=false",
                   "-d", os.path.join(work, "out"), "-i", listing]
        if authority:
            command.append("--ca-certificate=" + authority)
        start = time.monotonic()
        done = subprocess.run(command, capture_output=True, text=True, timeout=600)
        seconds = time.monotonic() - start
        if done.returncode != 0:
            raise RuntimeError(f"aria2c failed: {done.returncode} {done.stdout} {done.stderr}")
        for name, data in files.items():
            with open(os.path.join(work, "out", name.split("/")[1]), "rb") as handle:
                if handle.read() != data:
                    raise RuntimeError(name + " differs from its source")
        return seconds
    finally:
        shutil.rmtree(work, ignore_errors=True)


@contextlib.contextmanager
def trusted(authority):
    """The authority in the Wine prefix's trust store, where Tavrin reads it, while the block runs."""
    if not authority:
        yield
        return
    code, out = wine(TRUST, "add", windows_path(authority))
    if code != 0:
        raise RuntimeError("trust.exe add failed: " + out)
    try:
        yield
    finally:
        wine(TRUST, "remove", windows_path(authority))


def measure_scheme(scheme, curl, files, rounds, certificates):
    """Every round of one scheme: Tavrin, then the curl tool kept and not."""
    tls = authority = None
    if scheme == "https":
        tls = (os.path.join(certificates, "server.pem"), os.path.join(certificates, "server.key"))
        authority = os.path.join(certificates, "ca.pem")
    print(f"over {scheme}:")
    with Nginx(files, tls=tls) as server, trusted(authority):
        relay = DelayRelay(server.port, ROUND_TRIP)
        # The certificate names "localhost".
        base = f"{scheme}://{'localhost' if tls else '127.0.0.1'}:{relay.port}/"
        best = {}
        try:
            for round_ in range(1, rounds + 1):
                figures = []
                with Mirrors(catalogue(base), ("ok", None, None)):
                    figures.append(("Tavrin.exe", measure_tavrin(files), relay.take_count()))
                if curl:
                    figures.append(("curl kept", measure_curl(curl, base, files, False, authority),
                                    relay.take_count()))
                    figures.append(("curl new", measure_curl(curl, base, files, True, authority),
                                    relay.take_count()))
                if ARIA2C:
                    figures.append(("aria2c", measure_aria2(base, files, authority), relay.take_count()))
                print(f"  round {round_}: " + "   ".join(
                    f"{name} {seconds:5.2f} s ({count} conn.)" for name, seconds, count in figures))
                for name, seconds, count in figures:
                    if name not in best or seconds < best[name][0]:
                        best[name] = (seconds, count)
        finally:
            relay.stop()
    tavrin = best["Tavrin.exe"]
    print(f"  Tavrin.exe, click to final status:      {tavrin[0]:6.2f} s   {tavrin[1]:3} connections (best round)")
    if curl:
        kept, new = best["curl kept"], best["curl new"]
        print(f"  curl.exe -K, one run, kept connections: {kept[0]:6.2f} s   {kept[1]:3} connections")
        print(f"  curl.exe -K, a new connection per file: {new[0]:6.2f} s   {new[1]:3} connections")
        print(f"  Tavrin / curl one run:                  {tavrin[0] / kept[0]:6.2f}   (goal: at most 1.10)")
    else:
        print("  curl.exe: not in the dependency cache (bash scripts/setup.sh --curl-tool builds it)")
    if ARIA2C:
        aria2 = best["aria2c"]
        print(f"  aria2c -j 8 -x 1:                       {aria2[0]:6.2f} s   {aria2[1]:3} connections")
        print(f"  Tavrin / aria2c:                        {tavrin[0] / aria2[0]:6.2f}   (goal: at most 1.3)")
    else:
        print("  aria2c: not installed (Debian's aria2)")


def main():
    global FILES, ROUND_TRIP
    curl = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 and sys.argv[1] else None
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    if len(sys.argv) > 3:
        FILES = int(sys.argv[3])
    if len(sys.argv) > 4:
        ROUND_TRIP = float(sys.argv[4]) / 1000
    rnd = random.Random(3)
    files = {f"files/small{i:03}.dat": rnd.randbytes(SIZE) for i in range(FILES)}
    print(f"{FILES} files of {SIZE // 1024} KB, round trip {ROUND_TRIP * 1000:.0f} ms "
          f"(a new connection costs one more), {rounds} rounds; "
          f"floor, one round trip per file: {FILES * ROUND_TRIP:.2f} s")
    certificates = tempfile.mkdtemp(prefix="tavrin-latency-certificates-")
    try:
        subprocess.run(["bash", CERTIFICATES, certificates], check=True)
        for scheme in ("http", "https"):
            measure_scheme(scheme, curl, files, rounds, certificates)
    finally:
        shutil.rmtree(certificates, ignore_errors=True)


if __name__ == "__main__":
    main()
