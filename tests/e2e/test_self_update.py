"""Self-update under Wine: the real 2.0.4 program downloads a real 2.0.5
build, hands over to it and ends; failures leave it running; the new release
closes the window of an older one by its title. A keyed pair of builds does
the same only for a release signed with its key."""
import os
import re
import subprocess
import tempfile
import threading
import time
import unittest
import urllib.request

from catalogue_text import Group, Item, catalogue_text
from harness import (BUILD, EXIT_LINES, MIRROR_PORTS, ROOT, WINE_RUN, Mirrors, TavrinRun, built_mirrors,
                     built_version, log_lines_of, wine)

NEXT_BUILD = os.path.join(BUILD, "next-release")
KEYED_BUILD = os.path.join(BUILD, "keyed")
KEYED_NEXT_BUILD = os.path.join(BUILD, "keyed-next-release")
RELEASE_KEYS = os.path.join(BUILD, "release-keys")
SIGN_RELEASE = os.path.join(ROOT, "scripts", "sign_release.sh")
NOT_SIGNED = ["Update signature not verified.", "Update failure (1000)."]
NEXT_TITLE = "Tavrin " + built_version(NEXT_BUILD)
RELEASE_125_TITLE = "Quake 3 Tavrin 1.25 by Ostrel & Vimbo"
MIRROR = "http://127.0.0.1:%d/" % MIRROR_PORTS[0]
TREE = "[ ] Maps\n  [x] Map pack\n"


def catalogue(version, update_path, size):
    """A catalogue of one map pack that announces release `version`, `size` bytes at `update_path`."""
    map_pack = Item("Map pack", [("baseq3", 5000000, MIRROR + "files/maps.zip")], "Twenty maps for duels.")
    return catalogue_text([map_pack], MIRROR + update_path, tree=[Group("Maps", map_pack)],
                          message="A newer release is out.", version=version, update_size=size)


def read(path):
    with open(path, "rb") as handle:
        return handle.read()


def signed(release, key):
    """The signature that scripts/sign_release.sh writes for `release` with
    the private key `key` of the build's release keys."""
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "Tavrin.exe")
        with open(path, "wb") as handle:
            handle.write(release)
        subprocess.run(["bash", SIGN_RELEASE, os.path.join(RELEASE_KEYS, key + ".pem"), path], check=True)
        return read(path + ".sig")


def tampered(program):
    """The program with one byte in its middle changed: still a Windows program of the same size."""
    middle = len(program) // 2
    return program[:middle] + bytes([program[middle] ^ 1]) + program[middle + 1 :]


def for_other_processor(program):
    """The program marked for 32-bit ARM: a Windows program this machine cannot start."""
    header = int.from_bytes(program[0x3C:0x40], "little")
    return program[: header + 4] + (0x01C4).to_bytes(2, "little") + program[header + 6 :]


class LogWatcher(threading.Thread):
    """Keeps the last text of log.txt that holds `marker`: the old instance's
    whole log, read before the new instance starts its own in the same file."""

    def __init__(self, folder, marker):
        super().__init__(daemon=True)
        self.path = os.path.join(folder, "log.txt")
        self.marker = marker
        self.text = b""
        self.done = threading.Event()
        self.start()

    def run(self):
        while not self.done.wait(0.01):
            try:
                data = read(self.path)
            except OSError:
                continue
            if self.marker in data:
                self.text = data

    def stop(self):
        self.done.set()
        self.join()
        return self.text


class HeldWindow:
    """A window of another program, made by the driver; `ended_by()` tells
    which message ended it."""

    def __init__(self, title, seconds=90):
        self.output = tempfile.TemporaryFile()
        self.process = subprocess.Popen([WINE_RUN, os.path.join(BUILD, "driver.exe"), title, "hold-window",
                                         str(seconds)], stdout=self.output, stderr=subprocess.DEVNULL,
                                        stdin=subprocess.DEVNULL)

    def ended_by(self, seconds=30):
        try:
            self.process.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            return None
        self.output.seek(0)
        return self.output.read().decode().strip()

    def running(self):
        return self.process.poll() is None

    def cleanup(self):
        if self.running():
            self.process.kill()
            self.process.wait()
        self.output.close()


class SelfUpdateTest(unittest.TestCase):
    def setUp(self):
        for build in (NEXT_BUILD, KEYED_BUILD, KEYED_NEXT_BUILD):
            self.assertEqual(built_mirrors(build)[0], MIRROR_PORTS, build + " names other mirrors")
        self.new_release = read(os.path.join(NEXT_BUILD, "Tavrin.exe"))
        self.keyed_new_release = read(os.path.join(KEYED_NEXT_BUILD, "Tavrin.exe"))

    def serve(self, version, update_path, release, signature=None):
        """Mirrors whose catalogue announces `version` at `update_path`, with
        the release's signature beside it when there is one."""
        files = {"files/Tavrin.exe": release}
        if signature is not None:
            files["files/Tavrin.exe.sig"] = signature
        return Mirrors(catalogue(version, update_path, len(release)), files=files)

    def start(self, build=BUILD):
        run = TavrinRun(exe=os.path.join(build, "Tavrin.exe"))
        self.addCleanup(run.cleanup)
        return run.start()

    def requests(self):
        """The paths the first mirror was asked for so far."""
        with urllib.request.urlopen(MIRROR + "-/requests") as answer:
            return answer.read().decode().split()

    def keep(self, run, name, data=None):
        """Keeps a screenshot (or `data`) as an artifact when TAVRIN_SCREENSHOTS names a folder."""
        folder = os.environ.get("TAVRIN_SCREENSHOTS")
        if not folder:
            return
        os.makedirs(folder, exist_ok=True)
        if data is None:
            time.sleep(1)  # let the window paint
            run.screenshot(os.path.join(folder, name))
        else:
            with open(os.path.join(folder, name), "wb") as handle:
                handle.write(data)

    def test_the_old_release_hands_over_to_the_new_one(self):
        self.hand_over("self_update", BUILD, self.new_release)
        self.assertNotIn("/files/Tavrin.exe.sig", self.requests(), "a build without a key asked for a signature")

    def test_a_keyed_release_hands_over_to_a_release_signed_with_its_key(self):
        self.hand_over("signed_update", KEYED_BUILD, self.keyed_new_release, signed(self.keyed_new_release, "release"))
        self.assertEqual(self.requests().count("/files/Tavrin.exe.sig"), 1)

    def hand_over(self, artifacts, old_build, new_release, signature=None):
        """`old_build`'s program updates to `new_release`; its screenshot
        and logs are kept under names that begin with `artifacts`."""
        self.addCleanup(self.serve("2.0.5", "files/Tavrin.exe", new_release, signature).stop)
        run = self.start(old_build)
        # Whatever happens, no new instance outlives the test.
        self.addCleanup(lambda: run.driver("close", title=NEXT_TITLE))
        watcher = LogWatcher(run.folder, b"Update from:")

        self.assertTrue(run.wait_unlocked(120, title=NEXT_TITLE), "the new release never came up")
        self.assertEqual(run.wait_exit(30), 0, "the old release is still running")
        old_log = watcher.stop()
        self.assertEqual(run.tree(title=NEXT_TITLE), TREE)
        self.assertEqual(run.driver("wait-window", "1", title="Tavrin-")[0], 1, "a window still has the hand-over title")
        self.keep(run, artifacts + "_new_release.png")

        self.assertEqual(read(run.exe), new_release, "Tavrin.exe is not the new release")
        self.assertFalse(os.path.exists(os.path.join(run.folder, "tmp.exe")))

        # The old log stops where the new release took over.
        old = log_lines_of(old_log)
        self.assertEqual(old[1], "version: 2.0.4")
        self.assertIn("Updating to 2.05", old)
        self.assertEqual(old[-2:], ["Update from: " + MIRROR + "files/Tavrin.exe", ""])
        self.assertNotIn("Exit code: 0", old)

        # The new release, against the same catalogue, does not update again.
        new = run.log_lines()
        self.assertEqual(new[1], "version: 2.0.5")
        self.assertTrue(any(re.fullmatch(r"MoveFileEx success ! \(\d\)", line) for line in new), new)
        self.assertIn("No update avaliable", new)
        self.assertEqual(self.requests().count("/files/Tavrin.exe"), 1)

        self.assertEqual(run.driver("close", title=NEXT_TITLE)[0], 0)
        new = run.log_lines()
        self.assertEqual(new[-4:], EXIT_LINES)
        self.keep(run, artifacts + "_old_log.txt", old_log)
        self.keep(run, artifacts + "_new_log.txt", run.file("log.txt"))

    def test_a_failing_update_leaves_this_release_running_and_usable(self):
        keyed = self.keyed_new_release
        good = signed(keyed, "release")
        cases = (
            ("an error answer", BUILD, "2.0.5", "404/files/Tavrin.exe", self.new_release, None,
             ["Update failure (22)."]),
            ("a program this machine cannot start", BUILD, "2.0.5", "files/Tavrin.exe",
             for_other_processor(self.new_release), None, ["Update start failure (11)."]),
            ("a signed release with a byte changed", KEYED_BUILD, "2.0.5", "files/Tavrin.exe", tampered(keyed), good,
             NOT_SIGNED),
            ("another key's signature", KEYED_BUILD, "2.0.5", "files/Tavrin.exe", keyed, signed(keyed, "other"),
             NOT_SIGNED),
            ("no signature published", KEYED_BUILD, "2.0.5", "files/Tavrin.exe", keyed, None, NOT_SIGNED),
            # Started, 2.0.5 would see 2.0.9 announced and update again at every start.
            ("the signed 2.0.5 announced as 2.0.9", KEYED_BUILD, "2.0.9", "files/Tavrin.exe", keyed, good,
             NOT_SIGNED),
        )
        for what, build, version, path, release, signature, failure in cases:
            with self.subTest(what), self.serve(version, path, release, signature), \
                    TavrinRun(exe=os.path.join(build, "Tavrin.exe")) as run:
                run.start()

                self.assertEqual(run.driver("wait-window", "60", title="Q3 Tavrin")[0], 0, "no failure box")
                self.assertEqual(run.driver("wait-window", "1", title=NEXT_TITLE)[0], 1, "a second instance came up")
                self.assertIn("Can't update Quake3 Tavrin !", run.driver("controls", title="Q3 Tavrin")[1])
                self.keep(run, "self_update_failure_%s.png" % what.replace(" ", "_").replace("'", ""))
                self.assertEqual(run.driver("click", "OK", title="Q3 Tavrin")[0], 0)
                self.assertTrue(run.wait_unlocked(), "not unlocked under its own title")
                self.assertEqual(run.tree(), TREE)
                self.assertEqual(run.driver("check", "Maps")[0], 0)
                self.assertEqual(run.tree(), "[x] Maps\n  [x] Map pack\n")
                self.assertTrue(run.close())
                self.assertEqual(run.wait_exit(), 0)

                self.assertEqual(read(run.exe), read(os.path.join(build, "Tavrin.exe")))
                self.assertFalse(os.path.exists(os.path.join(run.folder, "tmp.exe")))
                # One log from the header to the exit lines; the failure right after the download.
                log = run.log_lines()
                self.assertEqual(log[:2], ["---=== Tavrin Log ===---", "version: 2.0.4"])
                start = log.index("Update from: " + MIRROR + path) + 1
                self.assertEqual(log[start : start + len(failure)], failure)
                self.assertEqual(log[-4:], EXIT_LINES)

    def test_closing_during_the_update_download_ends_cleanly(self):
        self.addCleanup(self.serve("2.0.5", "drip/files/Tavrin.exe", self.new_release).stop)
        run = self.start()
        for _ in range(300):
            if run.driver("text", "10", "0")[1] == "Downloading update\n":
                break
            time.sleep(0.1)
        else:
            self.fail("the update download never began")

        self.assertTrue(run.close())
        self.assertEqual(run.wait_exit(30), 0)

        log = run.log_lines()
        self.assertIn("Update failure (42).", log)
        self.assertEqual(log[-4:], EXIT_LINES)
        self.assertFalse(os.path.exists(os.path.join(run.folder, "tmp.exe")))
        self.assertIn(b"message", run.file("settings.cfg"))

    def test_the_new_release_closes_only_the_hand_over_window(self):
        self.addCleanup(self.serve("2.0.4", "files/Tavrin.exe", self.new_release).stop)
        hand_over = HeldWindow("Tavrin-")
        release_125 = HeldWindow(RELEASE_125_TITLE)
        for held in (hand_over, release_125):
            self.addCleanup(held.cleanup)
        for title in ("Tavrin-", RELEASE_125_TITLE):
            self.assertEqual(wine(os.path.join(BUILD, "driver.exe"), title, "wait-window", "30")[0], 0)

        for expected in ("Old version closed.", "Ostrel's tavrin closed."):
            with self.subTest(expected), TavrinRun() as run:
                run.start()
                self.assertTrue(run.wait_unlocked())
                self.assertTrue(run.close())
                self.assertEqual(run.wait_exit(), 0)
                log = run.log_lines()
                self.assertIn(expected, log)
                self.assertEqual(len({"Old version closed.", "Ostrel's tavrin closed."} & set(log)), 1)
                if expected == "Old version closed.":
                    self.assertEqual(hand_over.ended_by(), "WM_DESTROY")
                    self.assertTrue(release_125.running(), "release 1.25 was closed too")
                else:
                    self.assertEqual(release_125.ended_by(), "WM_QUIT")


if __name__ == "__main__":
    unittest.main()
