"""The install benchmark: Tavrin.exe installs one archive of about 90 MB
(3000 files) and 20 loose files of 1 MB from a loopback mirror (A, from the
Install click to the final status, while a probe asks the window for its
status text every 10 ms), against the curl tool fetching the same files plus
our zip layer unpacking the archive (B, each program timed as it runs, as
bench_zip.sh does, and by its own timer), all under the same Wine, the disk
settled before each timed program. Memory is the private pages of the
Tavrin.exe process as Linux counts them (Wine tells another process nothing
of it), read in one more run of its own. Prints the figures and the goals.
Usage: bench_install.py <work folder> <curl.exe> <zip_bench.exe> <miniunz.exe> [rounds]"""
import os
import random
import re
import resource
import shutil
import subprocess
import sys
import threading
import time

# The harness and the catalogues live with the end-to-end tests.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from catalogue_text import Item, catalogue_text
from harness import MIRROR_PORTS, Mirrors, started_into, wine, windows_path

LOOSE_FILES = 20
LOOSE_SIZE = 1 << 20


def make_files(work):
    """{served path: bytes}: the archive (made once, kept in `work`) and the loose files."""
    archive = os.path.join(work, "bench.zip")
    if not os.path.exists(archive):
        maker = os.path.join(os.path.dirname(__file__), "..", "zip", "bench", "make_bench_archive.py")
        subprocess.run([sys.executable, maker, archive + ".part", "3000"], check=True)
        os.replace(archive + ".part", archive)
    with open(archive, "rb") as handle:
        files = {"files/bench.zip": handle.read()}
    rnd = random.Random(7)
    for i in range(LOOSE_FILES):
        files[f"files/loose{i:02}.dat"] = rnd.randbytes(LOOSE_SIZE)
    return files


def catalogue(files):
    base = f"http://127.0.0.1:{MIRROR_PORTS[0]}/"
    archive = Item("Archive", [("bench", len(files["files/bench.zip"]), base + "files/bench.zip")],
                   "One large archive.")
    loose = Item("Loose files", [("loose", LOOSE_SIZE, base + f"files/loose{i:02}.dat") for i in range(LOOSE_FILES)],
                 "Twenty files of 1 MB.")
    return catalogue_text([archive, loose], base + "none.exe", message="Benchmark")


class MemoryWatch:
    """Samples the private memory (private pages of every mapping) of a
    process every 20 ms and keeps the highest."""

    def __init__(self, pid):
        self.pid, self.peak, self.done = pid, 0, threading.Event()
        self.thread = threading.Thread(target=self.run, daemon=True)
        self.thread.start()

    def run(self):
        while not self.done.wait(0.02):
            try:
                with open(f"/proc/{self.pid}/smaps_rollup") as handle:
                    text = handle.read()
            except OSError:
                return
            private = sum(int(v) for v in re.findall(r"^Private_(?:Clean|Dirty):\s+(\d+) kB", text, re.M))
            self.peak = max(self.peak, private * 1024)

    def stop(self):
        self.done.set()
        self.thread.join()
        return self.peak


def windows_process_pid(run):
    """The Linux pid of the Wine process that runs Tavrin.exe."""
    for _ in range(100):
        for entry in os.listdir("/proc"):
            if entry.isdigit():
                try:
                    with open(f"/proc/{entry}/cmdline", "rb") as handle:
                        command = handle.read()
                except OSError:
                    continue
                # Wine names the program by its Windows path; its folder is unique.
                if b"Tavrin.exe" in command and os.path.basename(run.folder).encode() in command:
                    return int(entry)
        time.sleep(0.1)
    return None


def cpu_seconds(pid):
    """User and system time a Linux process has spent so far."""
    with open(f"/proc/{pid}/stat") as handle:
        fields = handle.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def children_cpu_seconds():
    """User and system time of the ended child processes (a Windows program run under Wine)."""
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def wineserver_cpu_seconds():
    """What the Wine prefix's server has spent so far: it carries every
    window message and file operation of the programs, so a program's cost
    shows there too. It works in a folder named after the prefix's device
    and inode."""
    prefix = os.stat(os.environ["WINEPREFIX"])
    folder = f"/server-{prefix.st_dev:x}-{prefix.st_ino:x}"
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                if os.readlink(f"/proc/{entry}/cwd").endswith(folder):
                    return cpu_seconds(int(entry))
            except OSError:
                continue
    return 0.0


def settle():
    """The disk's writes of whatever ran before are done: the writeback of one
    program's 3000 files otherwise lands in the next program's time."""
    os.sync()


def measure_a(work, files, watch_memory=False):
    """(seconds from the click to the final status, slowest answer in ms, peak
    private bytes or 0, Tavrin.exe's process seconds, the server's seconds,
    both during the install). Sampling the memory slows the process it reads,
    so the timed rounds run without it."""
    target = os.path.join(work, "install-a")
    shutil.rmtree(target, ignore_errors=True)
    run = started_into(target)
    try:
        pid = windows_process_pid(run)
        watch = MemoryWatch(pid) if watch_memory else None
        settle()
        process, server = cpu_seconds(pid), wineserver_cpu_seconds()
        code, out = run.install(300)
        process, server = cpu_seconds(pid) - process, wineserver_cpu_seconds() - server
        peak = watch.stop() if watch else 0
        seconds, slowest, text = out.split(" ", 2)
        if text.strip() != "Installation finished (100%)":
            raise RuntimeError("the install ended with: " + text.strip())
        run.close()
        run.wait_exit(30)
        check_installed(work, target, files)
        return float(seconds), float(slowest), peak, process, server
    finally:
        run.cleanup()


def check_installed(work, target, files):
    unpacked = os.path.join(work, "unzip")
    if not os.path.isdir(unpacked):
        subprocess.run(["unzip", "-q", "-o", os.path.join(work, "bench.zip"), "-d", unpacked], check=True)
    if subprocess.run(["diff", "-r", unpacked, os.path.join(target, "bench")]).returncode != 0:
        raise RuntimeError("the installed archive differs from its source")
    for i in range(LOOSE_FILES):
        with open(os.path.join(target, "loose", f"loose{i:02}.dat"), "rb") as handle:
            if handle.read() != files[f"files/loose{i:02}.dat"]:
                raise RuntimeError(f"loose{i:02}.dat differs from its source")
    if os.path.exists(os.path.join(target, "bench", "bench.zip")):
        raise RuntimeError("the archive was left behind")


def timed_wine(*args, cwd=None, spent=None):
    """(wall seconds, exit code, output) of a Windows program run under Wine;
    adds its process and server seconds to `spent` when given."""
    process, server = children_cpu_seconds(), wineserver_cpu_seconds()
    start = time.monotonic()
    code, out = wine(*args, timeout=600, cwd=cwd)
    seconds = time.monotonic() - start
    if spent is not None:
        spent[0] += children_cpu_seconds() - process
        spent[1] += wineserver_cpu_seconds() - server
    return seconds, code, out


def measure_b(work, curl, extractor, miniunz):
    """Wall and own times: (curl.exe wall, its own transfer time, zip layer wall,
    its own time, miniunz.exe wall, the process seconds of curl.exe and the
    zip layer, the server's seconds during them)."""
    spent = [0.0, 0.0]
    fetched = os.path.join(work, "b")
    shutil.rmtree(fetched, ignore_errors=True)
    os.makedirs(fetched)
    base = f"http://127.0.0.1:{MIRROR_PORTS[0]}/files/"
    args = ["-s", "-w", "%{time_total}\\n"]
    for name in ["bench.zip"] + [f"loose{i:02}.dat" for i in range(LOOSE_FILES)]:
        args += ["-o", windows_path(os.path.join(fetched, name)), base + name]
    settle()
    fetch_wall, code, out = timed_wine(curl, *args, spent=spent)
    if code != 0:
        raise RuntimeError(f"curl.exe failed: {code}")
    fetch_own = sum(float(line) for line in out.split())

    layer = os.path.join(work, "b-layer")
    shutil.rmtree(layer, ignore_errors=True)
    os.makedirs(layer)
    settle()
    unzip_wall, code, out = timed_wine(extractor, windows_path(os.path.join(fetched, "bench.zip")), windows_path(layer),
                                       spent=spent)
    if code != 0:
        raise RuntimeError("the zip layer failed: " + out)
    unzip_own = float(re.search(r"([\d.]+) s", out).group(1))

    other = os.path.join(work, "b-miniunz")
    shutil.rmtree(other, ignore_errors=True)
    os.makedirs(other)
    miniunz_wall, _, _ = timed_wine(miniunz, "-x", "-o", windows_path(os.path.join(fetched, "bench.zip")), cwd=other)
    return fetch_wall, fetch_own, unzip_wall, unzip_own, miniunz_wall, spent[0], spent[1]


def measure_native(work):
    """(native curl, native unzip) wall times."""
    out = os.path.join(work, "native")
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    base = f"http://127.0.0.1:{MIRROR_PORTS[0]}/files/"
    args = ["curl", "-s"]
    for name in ["bench.zip"] + [f"loose{i:02}.dat" for i in range(LOOSE_FILES)]:
        args += ["-o", os.path.join(out, name), base + name]
    start = time.monotonic()
    subprocess.run(args, check=True)
    middle = time.monotonic()
    subprocess.run(["unzip", "-q", "-o", os.path.join(out, "bench.zip"), "-d", os.path.join(out, "x")], check=True)
    return middle - start, time.monotonic() - middle


def main():
    work, curl, extractor, miniunz = (os.path.abspath(a) for a in sys.argv[1:5])
    rounds = int(sys.argv[5]) if len(sys.argv) > 5 else 3
    os.makedirs(work, exist_ok=True)
    files = make_files(work)
    size = sum(len(data) for data in files.values()) / 1048576
    print(f"{size:.0f} MB: one archive of 3000 files and {LOOSE_FILES} loose files of 1 MB, {rounds} rounds")
    a_runs, b_runs = [], []
    with Mirrors(catalogue(files), ("ok", None, None), files=files):
        for round_ in range(1, rounds + 1):
            a_runs.append(measure_a(work, files))
            b_runs.append(measure_b(work, curl, extractor, miniunz))
            (a, slowest, peak, a_process, a_server) = a_runs[-1]
            (fetch, fetch_own, unzip, unzip_own, _, b_process, b_server) = b_runs[-1]
            print(f"  round {round_}: A {a:5.2f} s (slowest answer {slowest:5.1f} ms)"
                  f"   B {fetch:4.2f} + {unzip:4.2f} = {fetch + unzip:5.2f} s"
                  f" (own timers {fetch_own:4.2f} + {unzip_own:4.2f} = {fetch_own + unzip_own:5.2f} s)"
                  f"   A / B {a / (fetch + unzip):4.2f}")
            print(f"           process A {a_process:5.2f} s, B {b_process:5.2f} s ({a_process / b_process:4.2f});"
                  f" wineserver A {a_server:5.2f} s, B {b_server:5.2f} s"
                  f" ({a_server / b_server if b_server else 0:4.2f})")
        peak = measure_a(work, files, watch_memory=True)[2]
        settle()
        native_fetch, native_unzip = measure_native(work)

    a, slowest = min(a_runs)[:2]
    fetch, fetch_own, unzip, unzip_own, miniunz_wall = min(b_runs, key=lambda r: r[0] + r[2])[:5]
    b = fetch + unzip
    b_own = min(r[1] + r[3] for r in b_runs)
    print(f"A  Tavrin.exe, click to final status:       {a:6.2f} s   (best round)")
    print(f"B  curl.exe {fetch:5.2f} s + zip layer {unzip:5.2f} s:     {b:6.2f} s   "
          f"(best round, each program as run, as bench_zip.sh times it)")
    print(f"   the same by their own timers:           {b_own:6.2f} s   (best round; no process start)")
    print(f"   curl.exe + miniunz.exe:                 {fetch + miniunz_wall:6.2f} s   (reference)")
    print(f"   native curl {native_fetch:4.2f} s + unzip {native_unzip:4.2f} s:     "
          f"{native_fetch + native_unzip:6.2f} s   (reference)")
    print(f"A / B:                                      {a / b:6.2f}   (goal: at most 0.85; "
          f"against their own timers {a / b_own:.2f})")
    print(f"slowest status answer, best A round:       {slowest:6.1f} ms (goal: under 50; "
          f"all rounds: {max(r[1] for r in a_runs):.1f})")
    print(f"peak private memory of Tavrin.exe:         {peak / 1048576:6.1f} MB (goal: under 64; "
          "a round of its own, sampled every 20 ms)")


if __name__ == "__main__":
    main()
