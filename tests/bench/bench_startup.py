"""Prints the time from the program's start to unlocked controls under Wine,
for a catalogue of 2000 items in 100 groups, and for a catalogue of one item
as the baseline (Wine's own start-up)."""
import os
import sys
import time

# The harness and the catalogues live with the end-to-end tests.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from big_catalogue import catalogue
from harness import Mirrors, TavrinRun


def measure(label, groups, per):
    mirrors = Mirrors(catalogue(groups, per))
    run = TavrinRun()
    try:
        start = time.monotonic()
        run.start()
        run.wait_unlocked(60)
        seconds = time.monotonic() - start
        nodes = len(run.tree().splitlines())
        run.close()
        run.wait_exit(30)
    finally:
        run.cleanup()
        mirrors.stop()
    print(f"{label:<34} {seconds:6.2f} s  ({nodes} nodes)")


if __name__ == "__main__":
    print("from start to unlocked controls, under Wine:")
    measure("1 item (Wine's start-up)", 1, 1)
    measure("2000 items in 100 groups", 100, 20)
