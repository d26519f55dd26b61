#!/usr/bin/env bash
# Prints how many window operations a worker thread gets through per second,
# with the old sleeping message loop and with the program's loop, under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRIN_BUILD:-$root/build}
bash "$root/scripts/build.sh" "$build" >/dev/null
. "$root/scripts/wine_session.sh"
trap tavrin_stop_display EXIT
tavrin_private_session
wine "$build/bench_window_operations.exe" | tr -d '\r'
