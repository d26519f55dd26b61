"""A catalogue that names paths leading out of the installation folder (a
record folder climbing up, a file name climbing up through backslashes, an
absolute record folder, a name Windows reserves) writes nothing outside it,
installed into a folder and with an empty folder box; its good items install
and the run ends below 100 %."""
import io
import os
import shutil
import tempfile
import unittest
import zipfile

from catalogue_text import Item, catalogue_text
from harness import MIRROR_PORTS, Mirrors, TavrinRun, windows_path

STATUS_LINE = ("10", "0")
HOSTILE_NAMES = ("up.cfg", "slash.cfg", "abs.cfg", "nul.cfg")


def every_path(root):
    found = set()
    for folder, folders, files in os.walk(root):
        for name in folders + files:
            found.add(os.path.relpath(os.path.join(folder, name), root))
    return found


def catalogue_and_files(absolute_folder):
    base = f"http://127.0.0.1:{MIRROR_PORTS[0]}/files/"
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as archive:
        archive.writestr("maps/dm1.bsp", b"a map\n" * 500)
    files = {"files/maps.zip": buffer.getvalue(), "files/autoexec.cfg": b"seta r_mode 6\n",
             "files/up.cfg": b"climbed\n", "files/abs.cfg": b"absolute\n", "files/nul.cfg": b"device\n"}
    records = [
        ("Maps", "baseq3", "maps.zip"),
        ("Climb", "..\\..\\up", "up.cfg"),
        ("Slash", "baseq3", "x\\..\\..\\..\\..\\slash.cfg"),
        ("Absolute", absolute_folder, "abs.cfg"),
        ("Device", "baseq3", "nul.cfg"),
        ("Config", "baseq3", "autoexec.cfg"),
    ]
    items = [Item(name, [(folder, len(files.get("files/" + file_name, b"x")), base + file_name)])
             for name, folder, file_name in records]
    return catalogue_text(items, base + "none.exe"), files


class HostilePathsTest(unittest.TestCase):
    def install_into(self, folder_box):
        """Runs one install with `folder_box` as the folder ("" for an empty
        box, the program's own folder then); returns the run and its status."""
        self.sandbox = tempfile.mkdtemp(prefix="tavrin-hostile-")
        self.addCleanup(shutil.rmtree, self.sandbox, True)
        # Two levels above the program stay inside the sandbox.
        program = os.path.join(self.sandbox, "a", "b", "run")
        os.makedirs(program)
        absolute = os.path.join(self.sandbox, "abs")
        catalogue, files = catalogue_and_files(windows_path(absolute))
        mirrors = Mirrors(catalogue, ("ok", None, None), files=files)
        self.addCleanup(mirrors.stop)
        run = TavrinRun(folder=program)
        self.addCleanup(run.cleanup)
        target = os.path.join(program, folder_box) if folder_box else program
        run.write_settings(target if folder_box else "")
        before = every_path(self.sandbox)
        run.start()
        self.assertTrue(run.wait_unlocked())
        code, out = run.install(60)
        self.assertEqual(code, 0, out)
        self.assertTrue(run.wait_unlocked())
        status = run.driver("text", *STATUS_LINE)[1].strip()
        log = run.log_lines()
        self.assertTrue(run.close())
        self.assertEqual(run.wait_exit(), 0)

        # The program's own log is the one file it writes beside itself.
        new = every_path(self.sandbox) - before - {os.path.relpath(os.path.join(program, "log.txt"), self.sandbox)}
        inside = os.path.relpath(target, self.sandbox)
        outside = sorted(path for path in new if not (path + os.sep).startswith(inside + os.sep))
        self.assertEqual(outside, [], "written outside the installation folder")
        self.assertEqual([path for path in new if os.path.basename(path).lower() in HOSTILE_NAMES], [])
        with open(os.path.join(target, "baseq3", "autoexec.cfg"), "rb") as handle:
            self.assertEqual(handle.read(), b"seta r_mode 6\n")
        with open(os.path.join(target, "baseq3", "maps", "dm1.bsp"), "rb") as handle:
            self.assertEqual(handle.read(), b"a map\n" * 500)
        self.assertRegex(status, r"^Installation finished \((\d|[1-9]\d)%\)$")
        refused = [line for line in log if line.startswith("Refused path: ")]
        self.assertEqual(refused, [
            'Refused path: ..\\..\\up\\up.cfg (it holds a ".." part)',
            'Refused path: baseq3\\x\\..\\..\\..\\..\\slash.cfg (it holds a ".." part)',
            "Refused path: %s\\abs.cfg (it holds a drive)" % windows_path(absolute),
            "Refused path: baseq3\\nul.cfg (it holds a name Windows reserves)",
        ])
        self.assertIn("At least one item not downloaded.", log)

    def test_into_a_folder(self):
        self.install_into("Quake III Arena")

    def test_with_an_empty_folder_box(self):
        self.install_into("")


if __name__ == "__main__":
    unittest.main()
