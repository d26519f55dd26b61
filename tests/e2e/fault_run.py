"""The whole program under Wine against a server that fails a share of its
answers (drops, stalls, slow patches, 404, 500), with a folder of the
installation turning read-only in the middle of one run and the window closed
in the middle of a transfer of another; then a run against a healthy server
must finish at 100 % with every file byte-identical and the player's own
files untouched. Prints the figures; exit code 1 when anything was lost.

    python3 fault_run.py [--rounds N] [--share 0.3] [--seed 7]
"""
import argparse
import hashlib
import io
import os
import random
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request
import zipfile

from catalogue_text import Item, catalogue_text
from harness import EXIT_LINES, MIRROR_PORTS, Mirrors, TavrinRun, status_text

# Items in install order: (name, record folder, served file name); an item
# may have several records.
ITEMS = [
    ("Maps", [("baseq3", "maps.zip"), ("baseq3", "maplist.txt")]),
    ("Config", [("baseq3", "autoexec.cfg")]),
    ("Textures", [("baseq3", "textures.zip")]),
    ("CPMA", [("cpma", "cpma.zip"), ("cpma", "cpma_readme.txt")]),
    ("Defrag", [("defrag", "defrag.zip"), ("defrag", "defrag.cfg")]),
    ("Sounds", [("baseq3", "sounds.pk3")]),
]
# This folder turns read-only at the faulty run's first write, which belongs
# to an item before it.
READ_ONLY_FOLDER = "cpma"
# What the player had in the folder before: never to be touched.
PLAYER_LOST = "player's files lost"
PLAYER_FILES = {
    "baseq3/q3config.cfg": b"seta name \"player\"\nseta sensitivity 3\n",
    "cpma/my_hud.cfg": b"hud custom\n",
    "screenshots/shot0001.tga": bytes(range(256)) * 64,
}


def make_files(rnd):
    """{file name: bytes}: archives of many entries, and loose files."""
    files = {}
    for _, records in ITEMS:
        for _, name in records:
            if name.endswith(".zip"):
                stem = name[:-4]
                buffer = io.BytesIO()
                with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as archive:
                    for i in range(rnd.randint(30, 60)):
                        text = (b"%s line %d\n" % (stem.encode(), i)) * rnd.randint(10, 400)
                        archive.writestr(f"{stem}/part{i % 4}/file{i}.dat", text + rnd.randbytes(rnd.randint(1000, 9000)))
                files[name] = buffer.getvalue()
            else:
                files[name] = rnd.randbytes(rnd.randint(2000, 300000))
    return files


def catalogue_for(files, port):
    base = f"http://127.0.0.1:{port}/"
    # Two URLs of the same file, as a catalogue gives a mirror.
    items = [Item(item, [(folder, len(files[name]), [f"{base}files/{name}", f"{base}backup/{name}"])
                         for folder, name in records], f"{item}.") for item, records in ITEMS]
    return catalogue_text(items, base + "none.exe", message="Faults.")


def digest(data):
    return hashlib.sha256(data).hexdigest()


def read(path):
    with open(path, "rb") as handle:
        return handle.read()


def expected_tree(files):
    """{path below the installation folder: bytes} once everything is in."""
    tree = {}
    for _, records in ITEMS:
        for folder, name in records:
            if name.endswith(".zip"):
                with zipfile.ZipFile(io.BytesIO(files[name])) as archive:
                    for info in archive.infolist():
                        tree[f"{folder}/{info.filename}"] = archive.read(info)
            else:
                tree[f"{folder}/{name}"] = files[name]
    return tree


class ReadOnlyFolder:
    """A folder where no file can be made: the mode bits; for root, whom they
    do not stop, the immutable flag, or else a read-only mount of itself."""

    def __init__(self, path):
        self.path = path
        self.immutable = False
        self.mounted = False

    def writable(self):
        probe = os.path.join(self.path, ".probe")
        try:
            with open(probe, "wb"):
                pass
        except OSError:
            return False
        os.remove(probe)
        return True

    def __enter__(self):
        os.chmod(self.path, 0o555)
        if self.writable():
            self.immutable = subprocess.run(["chattr", "+i", self.path], capture_output=True).returncode == 0
        if self.writable():
            self.mounted = subprocess.run(["mount", "--bind", "-o", "ro", self.path, self.path],
                                          capture_output=True).returncode == 0
        if self.writable():
            self.__exit__()
            raise RuntimeError("no way to make a folder read-only here")
        return self

    def __exit__(self, *_):
        if self.mounted:
            subprocess.run(["umount", self.path], check=True)
            self.mounted = False
        if self.immutable:
            subprocess.run(["chattr", "-i", self.path], check=True)
            self.immutable = False
        os.chmod(self.path, 0o755)


def resumes_in(log):
    """Transfers taken up again: a broken-off attempt not followed by a new connection."""
    return sum(1 for line, after in zip(log, log[1:])
               if line.startswith("Connecting error: ")
               and after.startswith(("Connecting error: ", "Downloading complete", "Range error", "File changed")))


def wait_for_first_file(target, known, seconds=120):
    """Waits until a file the player did not have appears below `target`:
    the program's first write of the run. Its path, or None."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        for dirpath, _, names in os.walk(target):
            for name in names:
                path = os.path.relpath(os.path.join(dirpath, name), target).replace(os.sep, "/")
                if path not in known:
                    return path
        time.sleep(0.005)
    return None


def closed_run(folder, target, port, problems):
    """A run whose window is closed while its first file comes in, slowly."""
    first = ITEMS[0][1][0][1]
    for mirror in ("files", "backup"):
        control(port, f"mode?path=/{mirror}/{first}&set=slow")
    run = TavrinRun(folder=folder)
    run.write_settings(target)
    run.start()
    try:
        if not run.wait_unlocked(60):
            problems.append("the window did not unlock")
            return
        run.driver("click", "3. Install")
        if wait_for_first_file(target, set(PLAYER_FILES)) is None:
            problems.append("nothing came in before the close")
        if not run.close():
            problems.append("the window did not close")
        if run.wait_exit(15) != 0:
            problems.append("the program did not end with code 0 after a close")
        log = run.log_lines()
        if log[-4:] != EXIT_LINES:
            problems.append("the log of a closed run does not end with its exit lines")
        if "Installation stopped." not in log:
            problems.append("the close came after the install had ended")
    finally:
        for mirror in ("files", "backup"):
            control(port, f"mode?path=/{mirror}/{first}&set=ok")
        run.process and run.process.poll() is None and run.process.kill()


def install_run(folder, target, problems, figures, read_only=None):
    """A run that installs everything; its final status. With `read_only`,
    that folder turns read-only at the run's first write."""
    run = TavrinRun(folder=folder)
    run.write_settings(target)
    run.start()
    watcher = None
    try:
        if not run.wait_unlocked(60):
            problems.append("the window did not unlock")
            return "stuck"
        if read_only:
            before = {os.path.relpath(os.path.join(d, n), target).replace(os.sep, "/")
                      for d, _, names in os.walk(target) for n in names}

            def turn_read_only():
                first = wait_for_first_file(target, before)
                if first is None or first.startswith(READ_ONLY_FOLDER + "/"):
                    problems.append(f"{READ_ONLY_FOLDER} turned read-only too late (first write: {first})")
                try:
                    read_only.__enter__()
                except (OSError, RuntimeError) as error:
                    problems.append(f"{read_only.path} did not turn read-only: {error}")
            watcher = threading.Thread(target=turn_read_only)
            watcher.start()
        code, out = run.install(600)
        if code != 0:
            problems.append("the install did not finish: " + out.strip())
        if not run.close() or run.wait_exit(15) != 0:
            problems.append("the program did not end cleanly after the install")
        log = run.log_lines()
        figures["resumed"] += resumes_in(log)
        if read_only:
            figures["refused"] += sum(1 for line in log if line.startswith(("Connecting error: 23 ", "Unzipping error")))
        return status_text(out)
    finally:
        if watcher:
            watcher.join()
        if read_only:
            read_only.__exit__()
        run.process and run.process.poll() is None and run.process.kill()


def control(port, path):
    with urllib.request.urlopen(f"http://127.0.0.1:{port}/-/{path}", timeout=10) as answer:
        return answer.read().decode().splitlines()


def fault_round(seed, share, figures):
    rnd = random.Random(seed)
    files = make_files(rnd)
    served = {}
    for name, data in files.items():
        served["files/" + name] = data
        served["backup/" + name] = data
    port = MIRROR_PORTS[0]
    catalogue = catalogue_for(files, port)
    mirrors = Mirrors(catalogue, ("ok", None, None), files=served,
                      server_options=("--faults", str(share), "--fault-seed", str(seed), "--stall-seconds", "8"))
    folder = tempfile.mkdtemp(prefix="tavrin-fault-")
    target = os.path.join(folder, "Quake III Arena")
    problems = []
    try:
        for path, data in PLAYER_FILES.items():
            os.makedirs(os.path.dirname(os.path.join(target, path)), exist_ok=True)
            with open(os.path.join(target, path), "wb") as handle:
                handle.write(data)

        closed_run(folder, target, port, problems)
        faulty = install_run(folder, target, problems, figures,
                             read_only=ReadOnlyFolder(os.path.join(target, READ_ONLY_FOLDER)))
        control(port, "faults?share=0")
        healthy = install_run(folder, target, problems, figures)
        if healthy != "Installation finished (100%)":
            problems.append("the healthy run ended with: " + healthy)

        tree = expected_tree(files)
        wrong = [path for path, data in tree.items()
                 if not os.path.isfile(os.path.join(target, path))
                 or digest(read(os.path.join(target, path))) != digest(data)]
        lost = [path for path, data in PLAYER_FILES.items()
                if not os.path.isfile(os.path.join(target, path)) or read(os.path.join(target, path)) != data]
        known = set(tree) | set(PLAYER_FILES)
        stray = sorted(os.path.relpath(os.path.join(dirpath, name), target).replace(os.sep, "/")
                       for dirpath, _, names in os.walk(target) for name in names
                       if os.path.relpath(os.path.join(dirpath, name), target).replace(os.sep, "/") not in known)

        faults = control(port, "faults")
        figures["rounds"] += 1
        figures["requests"] += len([r for r in control(port, "requests") if r != "/tavrin.txt"])
        for line in faults:
            kind = line.split(" ")[0]
            figures["faults"][kind] = figures["faults"].get(kind, 0) + 1
        figures["files verified"] += len(tree) - len(wrong)
        figures["files wrong or missing"] += len(wrong)
        figures[PLAYER_LOST] += len(lost)
        figures["stray files"] += len(stray)
        print(f"round {figures['rounds']} (seed {seed}): faulty run: {faulty}; "
              f"healthy run: {healthy}; {len(faults)} faults", flush=True)
        for path in wrong:
            print("  wrong or missing:", path)
        for path in lost:
            print("  player's file lost:", path)
        for path in stray:
            print("  stray file:", path)
        for problem in problems:
            print("  problem:", problem)
        figures["problems"] += len(problems)
    finally:
        mirrors.stop()
        subprocess.run(["chattr", "-R", "-i", folder], capture_output=True)
        subprocess.run(["chmod", "-R", "u+w", folder], capture_output=True)
        shutil.rmtree(folder, ignore_errors=True)


def main():
    options = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    options.add_argument("--rounds", type=int, default=3)
    options.add_argument("--share", type=float, default=0.3, help="share of file requests answered with a fault")
    options.add_argument("--seed", type=int, default=7)
    arguments = options.parse_args()
    figures = {"rounds": 0, "requests": 0, "faults": {}, "files verified": 0, "files wrong or missing": 0,
               PLAYER_LOST: 0, "stray files": 0, "problems": 0, "resumed": 0, "refused": 0}
    for round_ in range(arguments.rounds):
        fault_round(arguments.seed + round_, arguments.share, figures)
    print()
    print(f"rounds:                 {figures['rounds']}")
    print(f"file requests:          {figures['requests']}")
    print(f"faults injected:        {sum(figures['faults'].values())} "
          f"({', '.join(f'{kind} {count}' for kind, count in sorted(figures['faults'].items()))})")
    print(f"transfers resumed:      {figures['resumed']}")
    print(f"writes refused by the read-only folder: {figures['refused']}")
    print(f"files verified:         {figures['files verified']}")
    print(f"files wrong or missing: {figures['files wrong or missing']}")
    print(f"player's files lost:    {figures[PLAYER_LOST]}")
    print(f"stray files:            {figures['stray files']}")
    print(f"other problems:         {figures['problems']}")
    bad = (figures["files wrong or missing"] + figures[PLAYER_LOST] + figures["stray files"]
           + figures["problems"])
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
