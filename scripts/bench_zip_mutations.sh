#!/usr/bin/env bash
# Puts a few hundred damaged copies of the test archives (truncated, bytes
# flipped in headers and data, wrong sizes, counts, offsets and lengths, and
# two overlapping-entry bombs) through the zip layer under Wine, as the
# install run calls it, and prints the figures: archives tried, results by
# code, crashes, hangs, files outside the target folder.
# Usage: scripts/bench_zip_mutations.sh [count, default 300] [seed, default 1]
#        (honours TAVRIN_BUILD, WINEPREFIX)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRIN_BUILD:-$root/build}
count=${1:-300}
seed=${2:-1}
bash "$root/scripts/build.sh" "$build" >/dev/null
. "$root/scripts/wine_session.sh"
tavrin_prepare_prefix
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
python3 "$root/tests/zip/mutation/zip_mutations.py" --exe "$build/tests/zip/zip_mutation_run.exe" \
  --fixtures "$build/tests/zip/fixtures" --work "$build/zip-mutations" --count "$count" --seed "$seed" --check
