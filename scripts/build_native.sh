#!/usr/bin/env bash
# Installs what is missing and builds the native (Linux) build: the parts that
# touch neither Windows nor the network, with sanitizers, their unit tests and
# fuzz targets.
# Usage: scripts/build_native.sh [build folder]   (default: build/native)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${TAVRIN_BUILD:-$root/build}/native}
bash "$root/scripts/setup.sh" --packages
cmake -S "$root/tests/native" -B "$build" -G Ninja >/dev/null
cmake --build "$build"
