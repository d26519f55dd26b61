"""The real program never costs the player an installed file: archive entries
that cannot be unpacked (encrypted, a bad checksum, cut short), a window
closed in the middle of a long entry, and a disk that fills up all leave the
old bytes where they were and no side file behind."""
import io
import os
import struct
import subprocess
import tempfile
import unittest
import zipfile
import zlib

from catalogue_text import Item, catalogue_text
from harness import MIRROR_PORTS, InstallCase

BASE = f"http://127.0.0.1:{MIRROR_PORTS[0]}/files/"
SIDE_SUFFIXES = (".download", ".unpacking", ".part", ".new")


def catalogue_of(records):
    """One checked item per record, each (item name, folder, file name, size)."""
    return catalogue_text([Item(name, [(folder, size, BASE + file_name)]) for name, folder, file_name, size in records],
                          BASE + "none.exe")


def patch(data, offset, fmt, *values):
    return data[:offset] + struct.pack(fmt, *values) + data[offset + struct.calcsize(fmt):]


def headers_of(data, name):
    """Offsets of the local and the central header of the entry `name`."""
    with zipfile.ZipFile(io.BytesIO(data)) as archive:
        local = archive.getinfo(name).header_offset
    central = data.index(b"PK\x01\x02")
    while data[central + 46:central + 46 + len(name)] != name.encode() or \
            struct.unpack_from("<H", data, central + 28)[0] != len(name):
        central = data.index(b"PK\x01\x02", central + 4)
    return local, central


def damaged_archive(healthy, encrypted, bad_crc, cut):
    """An archive made by the zip tool: the healthy entries, `encrypted`
    under a password nobody gives, `bad_crc` whose stored bytes no longer
    match their checksum, and `cut`, whose deflated data ends half way."""
    with tempfile.TemporaryDirectory() as work:
        path = os.path.join(work, "pack.zip")
        for name, data in list(healthy.items()) + [encrypted]:
            os.makedirs(os.path.dirname(os.path.join(work, name)) or work, exist_ok=True)
            with open(os.path.join(work, name), "wb") as handle:
                handle.write(data)
        subprocess.run(["zip", "-q", path] + list(healthy), cwd=work, check=True)
        subprocess.run(["zip", "-q", "-P", "nobody knows", path, encrypted[0]], cwd=work, check=True)
        packer = zlib.compressobj(9, zlib.DEFLATED, -15)
        stream = packer.compress(cut[1]) + packer.flush()
        with zipfile.ZipFile(path, "a", zipfile.ZIP_STORED) as archive:
            archive.writestr(bad_crc[0], bad_crc[1])
            archive.writestr(cut[0], stream[:len(stream) // 2])
        with open(path, "rb") as handle:
            data = handle.read()
    local, _ = headers_of(data, bad_crc[0])
    data = patch(data, local + 30 + len(bad_crc[0]) + 10, "<B", data[local + 30 + len(bad_crc[0]) + 10] ^ 0xFF)
    local, central = headers_of(data, cut[0])
    for at in (local + 8, central + 10):
        data = patch(data, at, "<H", 8)
    crc = zlib.crc32(cut[1])
    data = patch(data, local + 14, "<I", crc)
    data = patch(data, central + 16, "<I", crc)
    data = patch(data, local + 22, "<I", len(cut[1]))
    data = patch(data, central + 24, "<I", len(cut[1]))
    return data


def side_files(folder):
    return [os.path.join(top, name) for top, _, names in os.walk(folder) for name in names
            if name.endswith(SIDE_SUFFIXES)]


class KeepingFilesTest(InstallCase):
    def own(self, relative, data):
        """A file the player has in the installation folder."""
        path = os.path.join(self.target, *relative.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as handle:
            handle.write(data)
        return path

    def assert_holds(self, path, data):
        with open(path, "rb") as handle:
            self.assertEqual(handle.read(), data, path)

    def test_entries_that_cannot_be_unpacked_leave_the_players_files(self):
        healthy = {"fresh.cfg": b"seta fresh 1\n", "maps/new.bsp": os.urandom(30000)}
        archive = damaged_archive(healthy, ("keep.cfg", b"secret config\n" * 500),
                                  ("keep2.cfg", os.urandom(4000)), ("keep3.cfg", os.urandom(300000)))
        catalogue = catalogue_of([("Pack", "mod", "pack.zip", len(archive))])
        mine = {name: self.own("mod/" + name, b"the player's own " + name.encode() + b"\n" * 200)
                for name in ("keep.cfg", "keep2.cfg", "keep3.cfg")}
        run = self.started(catalogue, {"files/pack.zip": archive})

        self.assertRegex(self.install_status(run), r"^Installation finished \(\d\d?%\)$")
        for name, path in mine.items():
            self.assert_holds(path, b"the player's own " + name.encode() + b"\n" * 200)
        for name, data in healthy.items():
            self.assert_holds(os.path.join(self.target, "mod", *name.split("/")), data)
        self.assertEqual(side_files(self.target), [])
        self.assertFalse(os.path.exists(os.path.join(self.target, "mod", "pack.zip")))
        log = run.log_lines()
        errors = [line for line in log if line.startswith("Unzipping error")]
        self.assertEqual(len(errors), 3, "\n".join(log))
        self.assertTrue(any(line.startswith("Unzipping error: 0x1000 ") and "keep.cfg" in line for line in errors))
        self.assertEqual(sum(line.startswith("Unzipping error: 0x5000000 ") for line in errors), 2)
        self.assertIn("At least one item not downloaded.", log)
        self.assert_exited_cleanly(run)

    def test_a_close_during_a_long_entry_keeps_the_old_file_and_ends_at_once(self):
        big = b"0123456789abcdef" * (48 * 1024 * 1024)  # 768 MB unpacked, under 1 MB packed
        buffer = io.BytesIO()
        with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as archive:
            archive.writestr("big.bin", big)
        archive = buffer.getvalue()
        del big
        catalogue = catalogue_of([("Big", "mod", "big.zip", len(archive))])
        mine = self.own("mod/big.bin", b"the player's big.bin\n" * 1000)
        run = self.started(catalogue, {"files/big.zip": archive})

        # Its one entry takes seconds to write.
        took, code = run.close_while_unpacking()
        self.assertEqual(code, 0)
        self.assertLess(took, 2.0, "the program took %.1f s to end" % took)
        self.assertIn("Installation stopped.", run.log_lines())
        self.assert_holds(mine, b"the player's big.bin\n" * 1000)
        self.assertEqual(side_files(self.target), [])
        self.assertEqual([n for n in os.listdir(os.path.dirname(mine)) if n.startswith("big.zip")], [])

    def test_a_full_disk_leaves_the_old_files_and_a_later_small_file_installs(self):
        os.makedirs(self.target)
        mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=6m", "tmpfs", self.target],
                                 capture_output=True, text=True)
        if mounted.returncode != 0:
            self.skipTest("cannot mount a 6 MB tmpfs for the installation folder here (this test needs root): "
                          + mounted.stderr.strip())
        self.addCleanup(subprocess.run, ["umount", "-l", self.target])
        old_pak = self.own("mod/huge.pk3", b"old pak " * 128 * 1024)  # 1 MB
        old_cfg = self.own("mod/own.cfg", b"the player's own.cfg\n" * 60000)  # 1.2 MB
        buffer = io.BytesIO()
        with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as archive:
            archive.writestr("own.cfg", b"a much longer new own.cfg\n" * 200000)  # 5.2 MB
        pack = buffer.getvalue()
        huge = os.urandom(8 * 1024 * 1024)
        small = b"seta small 1\n"
        catalogue = catalogue_of([("Huge", "mod", "huge.pk3", len(huge)), ("Pack", "mod", "pack.zip", len(pack)),
                                  ("Small", "mod", "small.cfg", len(small))])
        run = self.started(catalogue, {"files/huge.pk3": huge, "files/pack.zip": pack, "files/small.cfg": small})

        self.assertRegex(self.install_status(run), r"^Installation finished \(\d\d?%\)$")
        self.assert_holds(old_pak, b"old pak " * 128 * 1024)
        self.assert_holds(old_cfg, b"the player's own.cfg\n" * 60000)
        self.assert_holds(os.path.join(self.target, "mod", "small.cfg"), small)
        self.assertEqual(sorted(os.listdir(os.path.join(self.target, "mod"))), ["huge.pk3", "own.cfg", "small.cfg"])
        log = run.log_lines()
        self.assertIn("Connecting error: 23 (", "\n".join(log))
        self.assertTrue(any(line.startswith("Unzipping error: 0x400 (entry 0: own.cfg)") for line in log),
                        "\n".join(log))
        self.assert_exited_cleanly(run)


if __name__ == "__main__":
    unittest.main()
