"""What the real window shows while a run goes on, read from its controls:
the status line and both bars stand in each file's true end state when the
next file waits, and in the run's end state after a run that ends below
100 %; a window closed while a file waits ends cleanly."""
import os
import time
import unittest

from catalogue_text import Item, catalogue_text
from harness import MIRROR_PORTS, Mirrors, TavrinRun

HOST = f"http://127.0.0.1:{MIRROR_PORTS[0]}/"


def catalogue_of(records):
    """One checked item per record, each (item name, file name, size, paths)."""
    items = [Item(name, [("baseq3", size, [HOST + p for p in paths])]) for name, _, size, paths in records]
    return catalogue_text(items, HOST + "none.exe")


class WindowRouteTest(unittest.TestCase):
    def setUp(self):
        # The second file's first URL says nothing for 3 s, then hangs up.
        records = [("First", "a.cfg", 1000, ["files/a.cfg"]),
                   ("Second", "b.cfg", 1000, ["stall/files/b.cfg", "files/b.cfg"]),
                   ("Third", "c.cfg", 1000, ["404/files/c.cfg"])]
        files = {"files/%s" % r[1]: bytes([65 + i]) * r[2] for i, r in enumerate(records)}
        self.mirrors = Mirrors(catalogue_of(records), ("ok", None, None), files=files,
                               server_options=("--stall-seconds", "3"))
        self.addCleanup(self.mirrors.stop)
        self.run_ = TavrinRun()
        self.addCleanup(self.run_.cleanup)
        self.target = os.path.join(self.run_.folder, "Quake III Arena")
        self.run_.write_settings(self.target)
        self.run_.start()
        self.assertTrue(self.run_.wait_unlocked())

    def bars(self):
        """(upper bar, lower bar) as the window answers."""
        code, out = self.run_.driver("progress")
        self.assertEqual(code, 0, out)
        fields = out.split()
        return int(fields[fields.index("102") + 1]), int(fields[fields.index("101") + 1])

    def wait_for_log(self, line, seconds=30):
        deadline = time.monotonic() + seconds
        while line not in self.run_.log_lines():
            self.assertLess(time.monotonic(), deadline, "the log never showed " + line)
            time.sleep(0.05)

    def test_each_file_and_the_run_end_in_their_true_state_on_the_window(self):
        run = self.run_
        self.assertEqual(run.driver("click", "3. Install")[0], 0)
        self.wait_for_log("Connecting to: %sstall/files/b.cfg" % HOST)
        time.sleep(0.5)
        # The first file is whole: a third of the run; the second has nothing yet.
        code, out = run.driver("watch", "Connecting ... (b.cfg)", "2")
        self.assertEqual(code, 0, out)
        self.assertEqual(self.bars(), (0, 33))

        self.assertEqual(run.final_status(), "Installation finished (66%)")
        self.assertEqual(self.bars(), (0, 66))
        self.assertTrue(run.wait_unlocked())
        self.assertTrue(run.close())
        self.assertEqual(run.wait_exit(), 0)

    def test_a_window_closed_while_a_file_waits_ends_cleanly(self):
        run = self.run_
        self.assertEqual(run.driver("click", "3. Install")[0], 0)
        self.wait_for_log("Connecting to: %sstall/files/b.cfg" % HOST)
        time.sleep(0.3)
        self.assertEqual(self.bars(), (0, 33))
        closed_at = time.monotonic()
        self.assertTrue(run.close())
        self.assertEqual(run.wait_exit(), 0)
        self.assertLess(time.monotonic() - closed_at, 2.0)
        log = run.log_lines()
        self.assertIn("Installation stopped.", log)
        self.assertEqual(log[-4:], ["Exit code: 0", "", "---=== Tavrin Log ===---", ""])
        self.assertFalse(os.path.exists(os.path.join(self.target, "baseq3", "b.cfg")))


if __name__ == "__main__":
    unittest.main()
