#!/usr/bin/env bash
# Prints the time from the program's start to unlocked controls under Wine,
# for a catalogue of 2000 items in 100 groups served on 127.0.0.1:47001, and
# for a catalogue of one item as the baseline (Wine's own start-up).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRIN_BUILD:-$root/build}
bash "$root/scripts/build.sh" "$build" >/dev/null
export TAVRIN_BUILD_DIR=$build PYTHONDONTWRITEBYTECODE=1
. "$root/scripts/wine_session.sh"
trap tavrin_stop_display EXIT
tavrin_private_session
python3 "$root/tests/e2e/bench_startup.py"
