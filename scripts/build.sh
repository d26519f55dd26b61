#!/usr/bin/env bash
# Installs what is missing and builds Tavrin.exe and its tests.
# Usage: scripts/build.sh [build folder] [extra cmake options...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shift || true
deps=$(bash "$root/scripts/setup.sh" | tail -n 1)
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DTAVRIN_DEPS="$deps" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine_run.sh" "$@" >/dev/null
cmake --build "$build"
