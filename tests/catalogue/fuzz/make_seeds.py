#!/usr/bin/env python3
"""Writes the catalogue fuzz target's seeds into <out>: the sample catalogue
and every catalogue text the unit tests read (their fixture writes each one
into the folder that TAVRIN_CATALOGUE_SEEDS names).

Usage: make_seeds.py <unit test binary> <sample catalogue> <out>
"""
import os
import shutil
import subprocess
import sys

binary, sample, out = sys.argv[1:4]
shutil.rmtree(out, ignore_errors=True)
os.makedirs(out)
shutil.copy(sample, os.path.join(out, "sample_catalogue.txt"))
# A failing test still leaves its texts; the test run reports the failure.
subprocess.run([binary, "--gtest_brief=1"], env=dict(os.environ, TAVRIN_CATALOGUE_SEEDS=out),
               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
