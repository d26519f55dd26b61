"""The real program follows a real nginx's redirects: an archive behind two
hops, a file moved for good, a loop given up for the record's next URL, a
redirect to nothing, a catalogue mirror that answers 301, and every file of
a run over kept connections."""
import os
import random
import re
import unittest

from catalogue_text import Item, catalogue_text
from harness import MIRROR_PORTS, InstallCase, Mirrors, Nginx, free_port
from test_install import archive_entries, zip_of


def redirect(path, code, target):
    return "location = %s { return %d %s; }\n" % (path, code, target)


def catalogue_of(items):
    """A catalogue of checked items, each (name, [(folder, size, URLs)])."""
    return catalogue_text([Item(name, records) for name, records in items],
                          f"http://127.0.0.1:{MIRROR_PORTS[0]}/none.exe")


@unittest.skipUnless(Nginx.BINARY, "nginx is not installed")
class RedirectTest(InstallCase):
    def nginx(self, files, locations, port=None):
        server = Nginx(files, locations, port)
        self.addCleanup(server.stop)
        return server

    def installed_files(self):
        """{path under the installation folder: bytes} of every file there."""
        found = {}
        for folder, _, names in os.walk(self.target):
            for name in names:
                path = os.path.join(folder, name)
                with open(path, "rb") as handle:
                    found[os.path.relpath(path, self.target)] = handle.read()
        return found

    def test_two_hops_a_permanent_move_and_plain_files_install_over_kept_connections(self):
        rnd = random.Random(5)
        maps = zip_of({f"maps/dm{i}.bsp": rnd.randbytes(rnd.randint(100, 9000)) for i in range(20)})
        big = rnd.randbytes(300000)
        plain = {f"files/cfg{i}.cfg": b"seta r_mode %d\n" % i * (i + 1) for i in range(5)}
        files = {"files/maps.zip": maps, "files/big.pk3": big, **plain}
        port = free_port()
        here = f"http://127.0.0.1:{port}/"
        server = self.nginx(files, redirect("/hop1/maps.zip", 302, here + "hop2/maps.zip")
                            + redirect("/hop2/maps.zip", 301, here + "files/maps.zip")
                            + redirect("/old/big.pk3", 301, here + "files/big.pk3"), port)
        catalogue = catalogue_of([
            ("Maps", [("maps", len(maps), [here + "hop1/maps.zip"])]),
            ("Big", [("baseq3", len(big), [here + "old/big.pk3"])]),
            ("Configs", [("baseq3\\cfg", len(data), [here + name]) for name, data in plain.items()]),
        ])
        run = self.started(catalogue, {})
        self.assertEqual(self.install_status(run), "Installation finished (100%)")

        installed = self.installed_files()
        self.assertNotIn(os.path.join("maps", "maps.zip"), installed)
        for entry, data in archive_entries(maps).items():
            self.assertEqual(installed[os.path.join("maps", *entry.split("/"))], data, entry)
        self.assertEqual(installed[os.path.join("baseq3", "big.pk3")], big)
        for name, data in plain.items():
            self.assertEqual(installed[os.path.join("baseq3", "cfg", name.split("/")[1])], data, name)
        self.assertEqual(len(installed), 20 + 1 + 5)

        log = run.log_lines()
        self.assertIn("Connecting to: " + here + "hop1/maps.zip", log)
        self.assertIn("Connecting to: " + here + "old/big.pk3", log)
        self.assertIn("Downloading complete ! (%d)" % len(big), log)
        requests = server.requests()
        # Files come side by side: each file's own requests keep their order,
        # and the connections are kept, at most one for each transfer.
        self.assertEqual([(s, p) for _, s, p in requests if "maps" in p],
                         [(302, "/hop1/maps.zip"), (301, "/hop2/maps.zip"), (200, "/files/maps.zip")])
        self.assertEqual(len(requests), 3 + 2 + 5)
        self.assertLessEqual(len({c for c, _, _ in requests}), 8, requests)

    def test_a_loop_falls_to_the_next_url_and_a_redirect_to_nothing_stores_nothing(self):
        good = b"seta cl_maxpackets 125\n" * 40
        port = free_port()
        here = f"http://127.0.0.1:{port}/"
        server = self.nginx({"files/good.cfg": good},
                   redirect("/loop/good.cfg", 302, here + "back/good.cfg")
                   + redirect("/back/good.cfg", 302, here + "loop/good.cfg")
                   + redirect("/gone/missing.pk3", 301, here + "files/missing.pk3"), port)
        catalogue = catalogue_of([
            ("Looped", [("baseq3", len(good), [here + "loop/good.cfg", here + "files/good.cfg"])]),
            ("Gone", [("baseq3", 5000, [here + "gone/missing.pk3"])]),
        ])
        run = self.started(catalogue, {})
        status = self.install_status(run)
        self.assertRegex(status, r"^Installation finished \((\d|[1-9]\d)%\)$")

        self.assertEqual(self.installed_files(), {os.path.join("baseq3", "good.cfg"): good})
        log = run.log_lines()
        at = log.index("Connecting to: " + here + "loop/good.cfg")
        self.assertEqual(log[at + 1:at + 4], ["Connecting error: 47 (0)", "Connecting to: " + here + "files/good.cfg",
                                              "Downloading complete ! (%d)" % len(good)])
        self.assertIn("At least one item not downloaded.", log)
        # The first request and ten hops followed, then the eleventh answer ends it.
        self.assertEqual(sum(1 for _, status, _ in server.requests() if status == 302), 11)

    def test_a_catalogue_mirror_that_answers_301_leads_to_the_catalogue(self):
        catalogue = catalogue_of([("Nothing", [("baseq3", 3, [f"http://127.0.0.1:{MIRROR_PORTS[2]}/files/x.cfg"])])])
        mirrors = Mirrors(catalogue, (None, None, "ok"), files={"files/x.cfg": b"ok\n"})
        self.addCleanup(mirrors.stop)
        server = self.nginx({}, redirect("/tavrin.txt", 301, f"http://127.0.0.1:{MIRROR_PORTS[2]}/tavrin.txt"),
                            MIRROR_PORTS[1])
        run = self.run_
        run.write_settings(self.target)
        run.start()
        self.assertTrue(run.wait_unlocked())
        self.assertEqual([(s, p) for _, s, p in server.requests()], [(301, "/tavrin.txt")])
        log = run.log_lines()
        self.assertIn("Config file downloaded ! (1/3)", log)
        self.assertNotIn("Config file downloaded ! (2/3)", log)
        self.assertEqual(self.install_status(run), "Installation finished (100%)")
        self.assertEqual(self.installed_files(), {os.path.join("baseq3", "x.cfg"): b"ok\n"})


if __name__ == "__main__":
    unittest.main()
