#!/usr/bin/env bash
# The install benchmark: Tavrin.exe installing one archive of about 90 MB
# (3000 files) and 20 loose files of 1 MB from a loopback mirror, against the
# curl tool (built from the same curl source as our libcurl) fetching the
# same files plus our zip layer alone unpacking the archive, under the same
# Wine. Prints the times, their ratio, the slowest answer of the window to a
# status probe every 10 ms, and the peak private memory of Tavrin.exe.
# Usage: scripts/bench_install.sh [rounds]   (honours TAVRIN_BUILD, WINEPREFIX)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRIN_BUILD:-$root/build}
rounds=${1:-3}

bash "$root/scripts/build.sh" "$build" >/dev/null
cmake --build "$build" --target zip_bench >/dev/null
deps=$(bash "$root/scripts/setup.sh" --curl-tool | tail -n 1)

export TAVRIN_BUILD_DIR=$build PYTHONDONTWRITEBYTECODE=1
. "$root/scripts/wine_session.sh"
trap tavrin_stop_display EXIT
tavrin_private_session
wineserver -p  # one server for every run, so no run pays its start
python3 "$root/tests/bench/bench_install.py" "$build/bench-install" "$deps/bin/curl.exe" \
  "$build/tests/zip/zip_bench.exe" "$deps/bin/miniunz.exe" "$rounds"
