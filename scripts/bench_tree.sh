#!/usr/bin/env bash
# Prints how long the window takes to answer again after "Select all",
# "Select none" and a click on a group of 1000 items (2000 items in 100
# groups), and after "Select all" on 100,000 nested groups, under Wine:
# scripts/bench_tree.sh [seconds to wait at most, 120 by default]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/run_e2e.sh" "$root/tests/bench/bench_tree.py" "$@"
