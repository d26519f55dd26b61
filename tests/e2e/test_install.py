"""The real program installs from loopback mirrors: the sample catalogue into
a folder, the catalogue's message once, a run closed half way through an
archive that the next run completes, and only one run however the clicks on
"3. Install" come."""
import io
import os
import random
import time
import unittest
import zipfile

from catalogue_text import Item, catalogue_text
from harness import (EXIT_LINES, MIRROR_PORTS, InstallCase, Mirrors, TavrinRun, sample_catalogue, status_text,
                     windows_path)
from sample_files import file_records, files_for, with_build_ports


def archive_entries(data):
    """{entry name: bytes} of the files of a zip archive."""
    with zipfile.ZipFile(io.BytesIO(data)) as archive:
        return {info.filename: archive.read(info) for info in archive.infolist() if not info.is_dir()}


def run_starts(run, seconds=2.5):
    """How many runs the log shows begun, looked at for `seconds` so that a
    late second run shows too."""
    end = time.monotonic() + seconds
    while True:
        count = run.log_lines().count("-= Installation =-")
        if count > 1 or time.monotonic() >= end:
            return count
        time.sleep(0.1)


def zip_of(entries):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, data in entries.items():
            archive.writestr(name, data)
    return buffer.getvalue()


def two_item_catalogue(first, second, crlf=False):
    """A catalogue of two checked items of one file each, given as (item name,
    record folder, file name, bytes), and the files its first mirror serves."""
    base = f"http://127.0.0.1:{MIRROR_PORTS[0]}/files/"
    items = [Item(name, [(folder, len(data), base + file_name)]) for name, folder, file_name, data in (first, second)]
    files = {"files/" + file_name: data for _, _, file_name, data in (first, second)}
    return catalogue_text(items, base + "none.exe", crlf=crlf), files


def archive_and_loose_file(loose_size):
    """An archive and a loose file of `loose_size` random bytes."""
    rnd = random.Random(23)
    maps = zip_of({f"maps/part{i % 5}/map{i}.bsp": rnd.randbytes(rnd.randint(100, 20000)) for i in range(200)})
    return two_item_catalogue(("Maps", "maps", "maps.zip", maps), ("Big", "baseq3", "big.pk3", rnd.randbytes(loose_size)))


class InstallTest(InstallCase):
    def install(self, run, expected="Installation finished (100%)"):
        self.assertEqual(self.install_status(run), expected)

    def assert_installed(self, catalogue, files):
        """Every file of every record where the catalogue puts it, archives unpacked and gone."""
        for folder_text, _, paths in file_records(catalogue):
            folder = os.path.join(self.target, *folder_text.split("\\"))
            path = paths[0]
            name = path.rsplit("/", 1)[-1]
            if ".zip" in name:
                self.assertFalse(os.path.exists(os.path.join(folder, name)), name)
                for entry, data in archive_entries(files[path]).items():
                    with open(os.path.join(folder, *entry.split("/")), "rb") as handle:
                        self.assertEqual(handle.read(), data, entry)
            else:
                with open(os.path.join(folder, name), "rb") as handle:
                    self.assertEqual(handle.read(), files[path], name)

    def test_the_sample_catalogue_installs_and_its_message_shows_once(self):
        catalogue = with_build_ports(sample_catalogue())
        files = files_for(catalogue)
        mirrors = Mirrors(catalogue, ("ok", None, None), files=files)
        self.addCleanup(mirrors.stop)
        run = self.run_
        pak0 = os.path.join(run.folder, "pak0.pk3")
        with open(pak0, "wb") as handle:
            handle.write(b"the game's own pak0\n" * 100)
        run.write_settings(self.target, pak0, message=True)
        run.start()
        self.assertTrue(run.wait_unlocked())
        self.assertEqual(run.driver("click", "Select all")[0], 0)

        self.install(run)
        self.assertEqual(run.driver("wait-window", "30", title="Punk Buster info")[0], 0, "no message")
        self.assertEqual(run.driver("click", "OK", title="Punk Buster info")[0], 0)
        self.assertEqual(run.driver("gone", "10", title="Punk Buster info")[0], 0)
        self.assertEqual(run.driver("progress")[1].split(), ["101", "100", "102", "100"])
        self.assertEqual(run.final_status(), "Installation finished (100%)")

        self.assert_installed(catalogue, files)
        with open(os.path.join(self.target, "baseq3", "pak0.pk3"), "rb") as handle:
            self.assertEqual(handle.read(), b"the game's own pak0\n" * 100)

        log = run.log_lines()
        start = log.index("-= Installation =-")
        self.assertIn("Install path: " + windows_path(self.target), log[start:])
        self.assertIn("Total bytes: %d" % sum(size for _, size, _ in file_records(catalogue)), log[start:])
        at = log.index("Item name: Duel maps", start)
        base = f"http://127.0.0.1:{MIRROR_PORTS[0]}/files/"
        self.assertEqual(log[at:at + 5], ["Item name: Duel maps", "Item size: 8192", "Is file ? (0)",
                                          "Connecting to: " + base + "duelmaps.zip", "Downloading complete ! (8192)"])
        self.assertRegex(log[at + 5], r"^Status: \d+ \(TotalBytesGained: \d+\)$")
        self.assertEqual(log[at + 6], "Delete file")
        self.assertRegex(log[at + 7], r"^Unzipped, \(TotalBytesGained: \d+ \)$")
        self.assertEqual(log[log.index("End", start) - 1], "")
        self.assertNotIn("At least one item not downloaded.", log)

        # The same choices again: no message this time, pak0.pk3 left alone.
        self.assertTrue(run.wait_unlocked())
        self.install(run)
        self.assertEqual(run.driver("wait-window", "3", title="Punk Buster info")[0], 1, "the message again")
        self.assertEqual(run.log_lines().count("Can't copy pak0.pk3"), 1)
        self.assert_installed(catalogue, files)
        self.assertTrue(run.close())
        self.assertEqual(run.wait_exit(), 0)
        self.assertTrue(run.file("settings.cfg").endswith(b"\r\ninformed"))

    def test_closing_in_the_middle_of_an_unpacking_then_the_next_run_completes(self):
        rnd = random.Random(11)
        entries = {f"pack/part{i % 9}/file{i}.dat": rnd.randbytes(rnd.randint(10, 3000)) for i in range(4000)}
        catalogue, files = two_item_catalogue(("Pack", "pack", "pack.zip", zip_of(entries)),
                                              ("After", "baseq3", "after.cfg", b"seta r_mode 6\n"))
        run = self.started(catalogue, files)
        code, out = run.driver("click-and-watch", "3. Install", "Unzipping", "60", timeout=90)
        self.assertEqual(code, 0, out)
        self.assertTrue(run.close())
        self.assertEqual(run.wait_exit(), 0)

        log = run.log_lines()
        self.assertIn("Installation stopped.", log, "the unpacking was over before the close")
        self.assertEqual(log[-4:], EXIT_LINES)
        self.assertEqual(run.file("settings.cfg"), b"\r\n%s\r\ninformed" % windows_path(self.target).encode())
        archive_folder = os.path.join(self.target, "pack")
        self.assertEqual([n for n in os.listdir(archive_folder) if n.startswith("pack.zip")], [])
        self.assertFalse(os.path.exists(os.path.join(self.target, "baseq3", "after.cfg")))

        again = TavrinRun(folder=run.folder)
        again.start()
        self.assertTrue(again.wait_unlocked())
        self.install(again)
        self.assertTrue(again.close())
        self.assertEqual(again.wait_exit(), 0)
        self.assert_installed(catalogue, files)

    def test_a_crlf_catalogue_installs_like_its_lf_twin_with_the_log_in_its_shape(self):
        maps = zip_of({"maps/dm%d.bsp" % i: b"map %d\n" % i * 300 for i in range(5)})
        catalogue, files = two_item_catalogue(("Maps", "baseq3", "maps.zip", maps),
                                              ("Config", "baseq3\\cfg", "autoexec.cfg", b"seta r_mode 6\n"),
                                              crlf=True)
        os.makedirs(os.path.join(self.target, "baseq3"))
        run = self.started(catalogue, files)
        self.install(run)
        self.assert_installed(catalogue, files)

        log = run.log_lines()
        start = log.index("-= Installation =-")
        base = f"http://127.0.0.1:{MIRROR_PORTS[0]}/files/"
        expected = ["-= Installation =-", "pak0.pk3 file not selected", "", "",
                    "Install path: " + windows_path(self.target), "Total bytes: %d" % (len(maps) + 14), "", "",
                    "Item name: Maps", "Item size: %d" % len(maps), "Is file ? (0)", "Connecting to: " + base + "maps.zip",
                    "Downloading complete ! (%d)" % len(maps), r"Status: \d+ \(TotalBytesGained: \d+\)", "Delete file",
                    r"Unzipped, \(TotalBytesGained: \d+ \)", "", "",
                    "Item name: Config", "Item size: 14", "Is file ? (0)", "Connecting to: " + base + "autoexec.cfg",
                    "Downloading complete ! (14)", r"Status: \d+ \(TotalBytesGained: \d+\)", "", "", "End"]
        shown = log[start:start + len(expected)]
        self.assertEqual(len(shown), len(expected), "\n".join(shown))
        for line, pattern in zip(shown, expected):
            if pattern.startswith(("Status", "Unzipped")):
                self.assertRegex(line, "^" + pattern + "$")
            else:
                self.assertEqual(line, pattern)
        self.assertTrue(run.close())
        self.assertEqual(run.wait_exit(), 0)

    def test_two_clicks_queued_on_install_start_one_run(self):
        catalogue, files = archive_and_loose_file(4 * 1024 * 1024)
        run = self.started(catalogue, files)

        code, out = run.driver("double-click-and-watch", "3. Install", "Installation finished", "60", timeout=90)
        self.assertEqual(run_starts(run), 1, "\n".join(run.log_lines()))
        self.assertEqual(code, 0, out)
        self.assertEqual(status_text(out), "Installation finished (100%)")
        self.assertTrue(run.wait_unlocked())
        self.assertEqual(run.final_status(), "Installation finished (100%)")
        self.assert_installed(catalogue, files)
        self.assert_exited_cleanly(run)

    def test_a_click_on_install_while_the_message_is_open_starts_nothing(self):
        catalogue, files = archive_and_loose_file(256 * 1024)
        run = self.started(catalogue, files, message=True)

        self.install(run)
        self.assertEqual(run.driver("wait-window", "30", title="Punk Buster info")[0], 0, "no message")
        self.assertEqual(run.driver("click", "3. Install")[0], 0)
        self.assertEqual(run_starts(run), 1, "\n".join(run.log_lines()))
        self.assertEqual(run.driver("click", "OK", title="Punk Buster info")[0], 0)
        self.assertEqual(run.driver("gone", "10", title="Punk Buster info")[0], 0)
        # A click held back until the box was answered must not start a run either.
        self.assertEqual(run_starts(run), 1, "\n".join(run.log_lines()))
        self.assertTrue(run.wait_unlocked())
        self.assertEqual(run.final_status(), "Installation finished (100%)")
        self.assert_installed(catalogue, files)
        self.assert_exited_cleanly(run)


if __name__ == "__main__":
    unittest.main()
