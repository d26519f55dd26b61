#!/usr/bin/env bash
# Builds and runs the tree-building benchmark under Wine: 2000 items in 100
# groups inserted by a worker into a real tree view; prints the times.
# Usage: scripts/bench_catalogue.sh (honours TAVRIN_BUILD and WINEPREFIX)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRIN_BUILD:-$root/build}
bash "$root/scripts/build.sh" "$build" >/dev/null
. "$root/scripts/wine_session.sh"
trap tavrin_stop_display EXIT
tavrin_private_session
for run in 1 2 3; do
  echo "run $run:"
  wine "$build/tests/catalogue/catalogue_bench.exe" | tr -d '\r' | sed 's/^/  /'
done
wineserver -w
