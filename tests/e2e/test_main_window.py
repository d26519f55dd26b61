"""The real program under Wine: the window after start-up, closing it, and
what it leaves behind (log.txt, settings.cfg)."""
import os
import re
import unittest

from harness import VERSION, Mirrors, TavrinRun, sample_catalogue

# class, text, x, y, width, height, id, in creation order
EXPECTED_CONTROLS = [
    ("SysTreeView32", "Tree View", 354, 2, 275, 300, 100),
    ("msctls_progress32", "", 2, 260, 350, 20, 101),
    ("msctls_progress32", "", 2, 230, 350, 20, 102),
    ("Static", "", 2, 290, 350, 15, 0),
    ("Static", "", 2, 307, 350, 400, 0),
    ("Button", "1.Point to pak0.pk3 file on your disk drive or CD       ", 2, 85, 350, 23, 105),
    ("Button", "2.Select new installation folder                                  ", 2, 133, 350, 23, 106),
    ("Button", "3. Install", 2, 179, 80, 23, 103),
    ("Button", "4. Update Punk Buster", 84, 179, 184, 23, 106),
    ("Button", "5. Readme", 270, 179, 80, 23, 106),
    ("Button", "Select all", 354, 305, 90, 23, 106),
    ("Button", "Select none", 449, 305, 90, 23, 106),
    ("Button", "About", 544, 305, 80, 23, 104),
    ("Button", "", 354, 360, 33, 33, 106),
    ("Button", "", 392, 360, 32, 32, 106),
    ("Button", "", 506, 360, 32, 32, 106),
    ("Button", "", 544, 360, 32, 32, 106),
    ("Edit", None, 2, 110, 350, 18, 107),
    ("Edit", None, 2, 156, 350, 18, 108),
    ("Static", "", 2, 206, 300, 18, 10),
    ("Static", "", 2, 2, 350, 75, 10),
    ("Button", "6. Create shortcuts on your desktop", 354, 333, 270, 23, 0),
]

DEFAULT_PAK0 = "C:\\Program Files\\Quake III Arena\\baseq3\\pak0.pk3"
DEFAULT_FOLDER = "D:\\Quake III Arena"


class MainWindowTest(unittest.TestCase):
    def setUp(self):
        mirrors = Mirrors(sample_catalogue())
        self.addCleanup(mirrors.stop)
        self.run_ = TavrinRun()
        self.addCleanup(self.run_.cleanup)

    def test_window_unlocks_shows_every_control_and_exits_cleanly(self):
        run = self.run_.start()
        self.assertTrue(run.wait_unlocked(), "controls never unlocked")
        shots = os.environ.get("TAVRIN_SCREENSHOTS")
        if shots:
            os.makedirs(shots, exist_ok=True)
            run.screenshot(os.path.join(shots, "main_window.png"))

        controls = run.controls()
        self.assertEqual(len(controls), len(EXPECTED_CONTROLS))
        for got, (cls, text, x, y, w, h, cid) in zip(controls, EXPECTED_CONTROLS):
            where = f"{cls} {text!r}"
            self.assertEqual(got["cls"].lower(), cls.lower(), where)
            if text is not None:
                self.assertEqual(got["text"], text, where)
            self.assertEqual((got["x"], got["y"], got["w"], got["h"]), (x, y, w, h), where)
            self.assertEqual(got["id"], cid, where)
            self.assertTrue(got["enabled"], where)
        self.assertEqual(controls[17]["text"], DEFAULT_PAK0)
        self.assertEqual(controls[18]["text"], DEFAULT_FOLDER)

        self.assertTrue(run.close())
        self.assertEqual(run.wait_exit(), 0)

        log = run.file("log.txt").decode("cp1250")
        lines = log.split("\r\n")
        self.assertEqual(lines[0], "---=== Tavrin Log ===---")
        self.assertEqual(lines[1], "version: " + VERSION)
        self.assertRegex(lines[2], r"^[1-9]\d?\.[1-9]\d?\.\d{4}  \d{1,2}:\d{1,2}$")
        self.assertIn("Local config file doesn't exists", lines)
        self.assertIn("Local config file overwrited.", lines)
        self.assertTrue(log.endswith("\r\n\r\n\r\nExit code: 0\r\n\r\n---=== Tavrin Log ===---\r\n"), log[-80:])

        settings = run.file("settings.cfg")
        self.assertEqual(settings, (DEFAULT_PAK0 + "\r\n" + DEFAULT_FOLDER + "\r\nmessage").encode())

    def test_settings_file_fills_the_boxes_and_is_written_back(self):
        with open(os.path.join(self.run_.folder, "settings.cfg"), "wb") as handle:
            handle.write(b"E:\\games\\pak0.pk3\nE:\\Q3\ninformed")
        run = self.run_.start()
        self.assertTrue(run.wait_unlocked())
        controls = run.controls()
        self.assertEqual((controls[17]["text"], controls[18]["text"]), ("E:\\games\\pak0.pk3", "E:\\Q3"))
        self.assertTrue(run.close())
        self.assertEqual(run.wait_exit(), 0)
        self.assertEqual(run.file("settings.cfg"), b"E:\\games\\pak0.pk3\r\nE:\\Q3\r\ninformed")
        self.assertIn(b"Local config file found.", run.file("log.txt"))

    def test_a_log_that_cannot_be_created_is_reported_once_and_the_run_goes_on(self):
        # A folder in the place of log.txt: even root cannot open it as a file.
        os.mkdir(os.path.join(self.run_.folder, "log.txt"))
        run = self.run_.start()
        self.assertEqual(run.driver("wait-window", "30", title="Log")[0], 0, "no Log message box")
        self.assertEqual(run.driver("click", "OK", title="Log")[0], 0)
        self.assertTrue(run.wait_unlocked())
        self.assertEqual(run.driver("wait-window", "1", title="Log")[0], 1, "a second Log box")
        self.assertTrue(run.close())
        self.assertEqual(run.wait_exit(), 0)
        self.assertTrue(os.path.isdir(os.path.join(run.folder, "log.txt")))
        self.assertTrue(run.file("settings.cfg").endswith(b"message"))


if __name__ == "__main__":
    unittest.main()
