"""Files side by side give the one-at-a-time run exactly: generated
catalogues (alternatives that fail, files already there, two records for one
target, archives whose entries a later record replaces, a later archive over
an earlier file, items with no files, refused paths, many small files) are
installed by the program that fetches one file at a time and by the default
one, and the log, the final status, both bars, the item tree and the
installed files must be the same, byte for byte."""
import os
import random
import unittest

from catalogue_text import Item, catalogue_text
from harness import BUILD, MIRROR_PORTS, Mirrors, TavrinRun, windows_path
from test_install import zip_of

ONE_TRANSFER = os.path.join(BUILD, "one-transfer", "Tavrin.exe")
HOST = f"http://127.0.0.1:{MIRROR_PORTS[0]}/"
# Nothing listens there: an alternative that fails at once.
REFUSED = f"http://127.0.0.1:{MIRROR_PORTS[2]}/files/"
CATALOGUES = 8


def generated(seed):
    """A catalogue, the files its mirror serves, and the files the player
    already has ({path below the installation folder: bytes})."""
    rnd = random.Random(seed)
    files, present, items = {}, {}, []
    names = []  # (folder, file name, bytes) of the records so far, for collisions

    def record(folder, name, data, urls=None):
        files["files/%s/%s" % (seed, name)] = data
        url = HOST + "files/%s/%s" % (seed, name)
        names.append((folder, name, data))
        return (folder, len(data), urls or [url])

    for number in range(rnd.randint(4, 8)):
        records = []
        for _ in range(rnd.randint(1, 4)):
            kind = rnd.choice(["loose", "loose", "archive", "alternative", "present", "duplicate", "hostile",
                               "over", "small"])
            folder = rnd.choice(["baseq3", "baseq3\\cfg", "mod"])
            name = "f%d_%d.dat" % (number, len(records))
            if kind == "loose":
                records.append(record(folder, name, rnd.randbytes(rnd.randint(0, 40000))))
            elif kind == "archive":
                entries = {"e%d.cfg" % i: rnd.randbytes(rnd.randint(10, 5000)) for i in range(rnd.randint(1, 8))}
                # An entry that a later record of the same folder may replace.
                entries["shared.cfg"] = rnd.randbytes(300)
                records.append(record(folder, "a%d_%d.zip" % (number, len(records)), zip_of(entries)))
            elif kind == "alternative":
                data = rnd.randbytes(rnd.randint(1, 20000))
                files["files/%s/%s" % (seed, name)] = data
                records.append((folder, len(data), [REFUSED + name, HOST + "404/files/%s/%s" % (seed, name),
                                                    HOST + "files/%s/%s" % (seed, name)]))
            elif kind == "present":
                data = rnd.randbytes(rnd.randint(1, 9000))
                present[os.path.join(*folder.split("\\"), name)] = data
                records.append(record(folder, name, data))
            elif kind == "duplicate" and names:
                old_folder, old_name, old_data = rnd.choice(names)
                data = old_data if rnd.random() < 0.5 else rnd.randbytes(len(old_data) + 1)
                key = "files/%s/dup%d/%s" % (seed, len(files), old_name)
                files[key] = data
                records.append((old_folder, len(data), [HOST + key]))
            elif kind == "hostile":
                records.append(record("..\\escape", name, b"never written"))
            elif kind == "over":
                data = rnd.randbytes(rnd.randint(1, 400))
                records.append(record(folder, "shared.cfg", data))
            elif kind == "small":
                for i in range(30):
                    records.append(record("baseq3\\small", "s%d_%d.cfg" % (number, i), b"seta s %d\n" % i))
        items.append(Item("Item %d" % number, records))
    # Named in the items block, with no section: a group of nothing.
    missing = Item("Nothing here", [])
    return catalogue_text([i for i in items], HOST + "none.exe", tree=items + [missing]), files, present


def installed(folder):
    found = {}
    for top, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(top, name)
            with open(path, "rb") as handle:
                found[os.path.relpath(path, folder)] = handle.read()
    return found


class SideBySideTest(unittest.TestCase):
    def install(self, exe, catalogue, files, present):
        """What a user sees of one install run with `exe`."""
        mirrors = Mirrors(catalogue, ("ok", None, None), files=files)
        self.addCleanup(mirrors.stop)
        run = TavrinRun(exe=exe)
        self.addCleanup(run.cleanup)
        target = os.path.join(run.folder, "Quake III Arena")
        for path, data in present.items():
            os.makedirs(os.path.dirname(os.path.join(target, path)), exist_ok=True)
            with open(os.path.join(target, path), "wb") as handle:
                handle.write(data)
        run.write_settings(target)
        run.start()
        self.assertTrue(run.wait_unlocked())
        self.assertEqual(run.driver("click", "3. Install")[0], 0)
        status = run.final_status()
        self.assertTrue(run.wait_unlocked())
        code, bars = run.driver("progress")
        tree = run.tree()
        self.assertTrue(run.close())
        self.assertEqual(run.wait_exit(), 0)
        # Without the date and time of the start, and the run's own folder.
        log = [line.replace(windows_path(run.folder), "<folder>") for line in run.log_lines()]
        del log[2]
        files_there = installed(target)
        mirrors.stop()
        return {"log": log, "status": status, "bars": bars, "tree": tree, "files": files_there}

    def test_generated_catalogues_install_alike_one_at_a_time_and_side_by_side(self):
        self.assertTrue(os.path.exists(ONE_TRANSFER), ONE_TRANSFER)
        compared = 0
        for seed in range(CATALOGUES):
            with self.subTest(catalogue=seed):
                catalogue, files, present = generated(seed)
                one = self.install(ONE_TRANSFER, catalogue, files, present)
                many = self.install(None, catalogue, files, present)
                self.maxDiff = None
                self.assertEqual(one["log"], many["log"])
                for what in ("status", "bars", "tree", "files"):
                    self.assertEqual(one[what], many[what], what)
                compared += 1
        print("\ncatalogues compared: %d" % compared)

    def test_a_close_during_transfers_and_an_unpacking_ends_at_once_and_replaces_nothing(self):
        big = zip_of({"big.bin": b"0123456789abcdef" * (48 * 1024 * 1024)})
        slow = {"files/close/slow%d.cfg" % i: b"new bytes %d\n" % i * 50 for i in range(6)}
        # One byte a fifth of a second: still coming when the window closes.
        items = [Item("Big", [("mod", len(big), HOST + "files/close/big.zip")])] + [
            Item(path, [("mod", len(data), HOST + "drip:0.2/" + path)]) for path, data in slow.items()]
        mirrors = Mirrors(catalogue_text(items, HOST + "none.exe"), ("ok", None, None), files={"files/close/big.zip": big, **slow})
        self.addCleanup(mirrors.stop)
        run = TavrinRun()
        self.addCleanup(run.cleanup)
        target = os.path.join(run.folder, "Quake III Arena")
        mine = {}
        for name in ["big.bin"] + [path.rsplit("/", 1)[1] for path in slow]:
            mine[name] = b"the player's own " + name.encode()
            os.makedirs(os.path.join(target, "mod"), exist_ok=True)
            with open(os.path.join(target, "mod", name), "wb") as handle:
                handle.write(mine[name])
        run.write_settings(target)
        run.start()
        self.assertTrue(run.wait_unlocked())
        took, code = run.close_while_unpacking()
        self.assertEqual(code, 0)
        self.assertLess(took, 2.0, "the program took %.1f s to end" % took)
        self.assertIn("Installation stopped.", run.log_lines())
        self.assertEqual(installed(target), {os.path.join("mod", name): data for name, data in mine.items()})


if __name__ == "__main__":
    unittest.main()
