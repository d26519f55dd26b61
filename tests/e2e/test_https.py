"""A program whose mirrors are "https://": the catalogue and the item files
arrive over TLS through Windows' own Schannel. Under Wine the program checks
the chain against the authorities of the Windows trust store, so a test puts
its throw-away authority there while it runs."""
import io
import os
import random
import unittest
import zipfile

from catalogue_text import Group, Item, catalogue_text
from harness import BUILD, Mirrors, TavrinRun, built_mirrors, built_version, status_text, trust_authority

HTTPS_BUILD = os.path.join(BUILD, "https")
TITLE = "Tavrin " + built_version(HTTPS_BUILD)
PORT = built_mirrors(HTTPS_BUILD)[0][0]

CONFIG = Item("Config", [("", 300, "https://localhost:1/files/config.cfg")], "A config.")
CATALOGUE = catalogue_text([CONFIG], "https://localhost:1/none.exe", tree=[Group("Configs", CONFIG)],
                           message="Over TLS.")


class HttpsTest(unittest.TestCase):
    def test_a_mirror_is_taken_only_once_its_authority_is_trusted(self):
        with Mirrors(CATALOGUE, ("ok", "ok", "ok"), build=HTTPS_BUILD) as mirrors:
            with TavrinRun(exe=os.path.join(HTTPS_BUILD, "Tavrin.exe")) as run:
                run.start()
                self.assertEqual(run.driver("wait-window", "60", title="Tavrin", timeout=90)[0], 0,
                                 "no retry question")
                self.assertEqual(run.driver("click", "Cancel", title="Tavrin")[0], 0)
                self.assertEqual(run.wait_exit(60), 0)
                log = run.log_lines()
                for index in range(3):
                    self.assertIn(f"Config file downloading error: 60 ({index}/3)", log)

            trust_authority(self, mirrors.authority)
            with TavrinRun(exe=os.path.join(HTTPS_BUILD, "Tavrin.exe")) as run:
                run.start()
                self.assertTrue(run.wait_unlocked(60, title=TITLE))
                self.assertEqual(run.driver("close", title=TITLE)[0], 0)
                self.assertEqual(run.wait_exit(), 0)
                self.assertIn("Config file downloaded ! (0/3)", run.log_lines())

    def test_the_catalogue_comes_from_an_https_mirror(self):
        with Mirrors(CATALOGUE, (None, "ok", None), build=HTTPS_BUILD) as mirrors, \
                TavrinRun(exe=os.path.join(HTTPS_BUILD, "Tavrin.exe")) as run:
            trust_authority(self, mirrors.authority)
            run.start()
            self.assertTrue(run.driver("wait-unlocked", "60", title=TITLE, timeout=90)[0] == 0)
            self.assertEqual(run.driver("tree", title=TITLE)[1], "[ ] Configs\n  [x] Config\n")
            self.assertEqual(run.driver("close", title=TITLE)[0], 0)
            self.assertEqual(run.wait_exit(), 0)
            log = run.log_lines()
            self.assertIn("Config file downloading error: 7 (0/3)", log)
            self.assertIn("Config file downloaded ! (1/3)", log)

    def test_files_come_over_https_and_a_broken_archive_is_resumed(self):
        rnd = random.Random(5)
        entries = {f"maps/map{i}.bsp": rnd.randbytes(20000) for i in range(20)}
        buffer = io.BytesIO()
        with zipfile.ZipFile(buffer, "w", zipfile.ZIP_STORED) as archive:
            for name, data in entries.items():
                archive.writestr(name, data)
        maps = buffer.getvalue()
        config = b"seta r_picmip 0\n" * 100
        broken_at = len(maps) * 4 // 10
        base = f"https://localhost:{PORT}/"
        items = [Item("Maps", [("baseq3", len(maps), f"{base}drop:{broken_at}/files/maps.zip")], "Maps."),
                 Item("Config", [("baseq3", len(config), f"{base}files/autoexec.cfg")], "A config.")]
        catalogue = catalogue_text(items, base + "none.exe", message="Over TLS.")
        files = {"files/maps.zip": maps, "files/autoexec.cfg": config}
        with Mirrors(catalogue, ("ok", None, None), files=files, build=HTTPS_BUILD) as mirrors, \
                TavrinRun(exe=os.path.join(HTTPS_BUILD, "Tavrin.exe")) as run:
            trust_authority(self, mirrors.authority)
            target = os.path.join(run.folder, "Quake III Arena")
            run.write_settings(target)
            run.start()
            self.assertTrue(run.wait_unlocked(60, title=TITLE))
            code, out = run.install(title=TITLE)
            self.assertEqual(code, 0, out)
            self.assertEqual(status_text(out), "Installation finished (100%)")
            # Both bars end full, as after an unbroken download.
            self.assertEqual(run.driver("progress", title=TITLE)[1].split(), ["101", "100", "102", "100"])
            self.assertTrue(run.driver("close", title=TITLE)[0] == 0)
            self.assertEqual(run.wait_exit(), 0)

            baseq3 = os.path.join(target, "baseq3")
            for name, data in entries.items():
                with open(os.path.join(baseq3, *name.split("/")), "rb") as handle:
                    self.assertEqual(handle.read(), data, name)
            self.assertFalse(os.path.exists(os.path.join(baseq3, "maps.zip")))
            with open(os.path.join(baseq3, "autoexec.cfg"), "rb") as handle:
                self.assertEqual(handle.read(), config)
            log = run.log_lines()
            at = log.index("Item name: Maps")
            # Over TLS a connection closed early is a receive error (56).
            self.assertEqual(log[at + 2:at + 6], [
                "Is file ? (0)", f"Connecting to: {base}drop:{broken_at}/files/maps.zip",
                f"Connecting error: 56 ({broken_at})", f"Downloading complete ! ({len(maps)})"])
            self.assertIn(f"Connecting to: {base}files/autoexec.cfg", log)
            self.assertNotIn("At least one item not downloaded.", log)


if __name__ == "__main__":
    unittest.main()
