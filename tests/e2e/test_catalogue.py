"""The real program fetches its catalogue from loopback mirrors and shows it
as a tree; the retry question when no mirror delivers."""
import os
import time
import unittest

from big_catalogue import catalogue
from catalogue_text import Group, Item, catalogue_text
from harness import EXIT_LINES, Mirrors, TavrinRun

MAP_PACK = Item("Map pack", [("baseq3", 5000000, "http://127.0.0.1:47001/files/maps.zip")], "Twenty maps for duels.")
CONFIG = Item("Config", [("", 300, "http://127.0.0.1:47001/files/config.cfg")], "A config.", checked=False)
TOOL = Item("Tool", [("tools", 10, "http://127.0.0.1:47001/files/tool.zip")], "", checked=False)
CATALOGUE = catalogue_text([MAP_PACK, CONFIG, TOOL], "http://127.0.0.1:47001/none.exe",
                           tree=[Group("Maps", MAP_PACK, Group("Extra", TOOL)), CONFIG],
                           message="Welcome to the test mirror.")

DEFAULT_SETTINGS = (b"C:\\Program Files\\Quake III Arena\\baseq3\\pak0.pk3\r\n"
                    b"D:\\Quake III Arena\r\nmessage")

TREE_AT_START = """[ ] Maps
  [x] Map pack
  [ ] Extra
    [ ] Tool
[ ] Config
"""


def large_tree_states(box):
    """What "Select all" ("[x]") or "Select none" ("[ ]") leaves of the large
    catalogue: the groups inside "Half" open, the top nodes closed, and the
    selection on the last top group, where closing it moved the selection
    from its last item."""
    lines = [f"{box} Half -"]
    for g in range(100):
        indent, inner = ("  ", True) if g < 50 else ("", False)
        lines.append(f"{indent}{box} Group {g} {'+' if inner else '-'}" + (" <" if g == 99 else ""))
        lines += [f"{indent}  {box} Item {g}-{i}" for i in range(20)]
    return "\n".join(lines) + "\n"


class CatalogueTest(unittest.TestCase):
    def start(self, modes):
        mirrors = Mirrors(CATALOGUE, modes)
        self.addCleanup(mirrors.stop)
        run = TavrinRun()
        self.addCleanup(run.cleanup)
        return run.start()

    def test_second_mirror_fills_the_tree_and_a_group_click_checks_its_subtree(self):
        run = self.start((None, "ok", None))
        self.assertTrue(run.wait_unlocked())
        self.assertEqual(run.tree(), TREE_AT_START)
        self.assertEqual(run.driver("text", "10", "0")[1], "\n")  # status line cleared

        self.assertEqual(run.driver("check", "Maps")[0], 0)
        self.assertEqual(run.tree(), "[x] Maps\n  [x] Map pack\n  [x] Extra\n    [x] Tool\n[ ] Config\n")
        self.assertEqual(run.driver("check", "Extra")[0], 0)
        self.assertEqual(run.tree(), "[x] Maps\n  [x] Map pack\n  [ ] Extra\n    [ ] Tool\n[ ] Config\n")

        self.assertTrue(run.close())
        self.assertEqual(run.wait_exit(), 0)
        log = run.log_lines()
        self.assertIn("Config file downloading error: 7 (0/3)", log)
        self.assertIn("Config file downloaded ! (1/3)", log)
        self.assertLess(log.index("Config file downloading error: 7 (0/3)"),
                        log.index("Config file downloaded ! (1/3)"))

    def test_select_all_then_none_on_2000_items_leaves_every_node_in_its_state(self):
        with Mirrors(catalogue(100, 20, outer=50)), TavrinRun() as run:
            run.start()
            self.assertTrue(run.wait_unlocked(120))
            for button, state, box in (("Select all", "2", "[x]"), ("Select none", "1", "[ ]")):
                with self.subTest(button=button):
                    code, out = run.driver("timed-click", button, "Half", state, "60", timeout=120)
                    self.assertEqual(code, 0, out)
                    self.assertEqual(run.driver("tree-states")[1], large_tree_states(box))
                    # The info texts: the closing moved the selection without a word.
                    self.assertEqual(run.driver("text", "0", "0")[1], "Item 99-19\n")
                    self.assertEqual(run.driver("text", "0", "1")[1], "A benchmark item.\n")
                    shots = os.environ.get("TAVRIN_SCREENSHOTS")
                    if shots:
                        run.screenshot(os.path.join(shots, button.replace(" ", "_").lower() + ".png"))
            self.assertTrue(run.close())

    def test_no_mirror_asks_to_retry_and_cancel_ends_the_program(self):
        run = self.start((None, "404", None))
        code, _ = run.driver("wait-window", "60", title="Tavrin")
        self.assertEqual(code, 0, "no retry question")
        self.assertEqual(run.driver("click", "&Retry", title="Tavrin")[0], 0)
        code, _ = run.driver("wait-window", "60", title="Tavrin")
        self.assertEqual(code, 0, "no second retry question")
        self.assertEqual(run.driver("click", "Cancel", title="Tavrin")[0], 0)
        self.assertEqual(run.wait_exit(60), 0)

        log = run.log_lines()
        self.assertEqual(log.count("Retry"), 1)
        self.assertIn("Config downloading failure.", log)
        self.assertEqual(log[-4:], EXIT_LINES)

    def test_closing_during_a_slow_fetch_ends_cleanly_at_once(self):
        # A silent mirror and one that drips a byte at a time: neither may
        # hold the close, nor write after the exit lines.
        for mode in ("stall", "drip"):
            with self.subTest(mode=mode), Mirrors(CATALOGUE, (mode, None, None)), TavrinRun() as run:
                run.start()
                self.assertEqual(run.driver("wait-window", "30")[0], 0)
                time.sleep(1)  # the fetch is under way
                closed_at = time.monotonic()
                self.assertTrue(run.close())
                self.assertEqual(run.wait_exit(30), 0)
                self.assertLess(time.monotonic() - closed_at, 10, "the close waited for the mirror")
                log = run.log_lines()
                self.assertEqual(log[-4:], EXIT_LINES)
                self.assertIn("Local config file overwrited.", log)
                self.assertEqual(run.file("settings.cfg"), DEFAULT_SETTINGS)

if __name__ == "__main__":
    unittest.main()
