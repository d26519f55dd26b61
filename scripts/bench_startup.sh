#!/usr/bin/env bash
# Prints the time from the program's start to unlocked controls under Wine,
# for a catalogue of 2000 items in 100 groups served on 127.0.0.1:47001, and
# for a catalogue of one item as the baseline (Wine's own start-up).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/run_e2e.sh" "$root/tests/bench/bench_startup.py"
