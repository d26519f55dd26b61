"""Prints how long the window takes to answer again after "Select all",
"Select none" and a click on a group of 1000 items, for 2000 items in 100
groups of 20 (half of them in one group), and after "Select all" for the
100,000 nested groups of the hardening test. Each figure runs from the click
to the window's first answer that shows its result; the driver's own round
trip is printed for reference."""
import os
import sys

# The harness and the catalogues live with the end-to-end tests.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from big_catalogue import catalogue, nested_groups
from harness import Mirrors, TavrinRun

CHECKED, UNCHECKED = "2", "1"


def seconds(run, *command, limit):
    code, out = run.driver(*command, str(limit), timeout=limit + 60)
    try:
        return f"{float(out):6.3f} s" if code == 0 else f"more than {limit} s"
    except ValueError:
        return f"no figure: {out.strip()!r} (driver exit code {code})"


def measure(text, steps, limit):
    mirrors = Mirrors(text)
    run = TavrinRun()
    try:
        run.start()
        if not run.wait_unlocked(300):
            print("the window never unlocked")
            return
        round_trip = float(run.driver("watch", "", "5")[1].split()[0])
        print(f"  {'driver round trip':<36} {round_trip:6.3f} s")
        for label, command in steps:
            print(f"  {label:<36} {seconds(run, *command, limit=limit)}")
            sys.stdout.flush()
    finally:
        run.cleanup()
        mirrors.stop()


if __name__ == "__main__":
    limit = int(sys.argv[1]) if len(sys.argv) > 1 else 120
    print("from the click until the window answers again, under Wine:")
    print("2000 items in 100 groups of 20, 1000 of them in group \"Half\":")
    measure(catalogue(100, 20, outer=50), [
        # First, while "Half" is in view at the top.
        ("check box of \"Half\" (1000 items)", ("timed-check", "Half", CHECKED)),
        ("Select all", ("timed-click", "Select all", "Group 99", CHECKED)),
        ("Select none", ("timed-click", "Select none", "Group 99", UNCHECKED)),
    ], limit)
    print("100,000 nested groups:")
    measure(nested_groups(), [("Select all", ("timed-click", "Select all", "a", CHECKED))], limit)
