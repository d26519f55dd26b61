#!/usr/bin/env bash
# The test command: installs what is missing, builds, and runs every test:
# the native build's (sanitizers, short fuzz runs) here, the rest under Wine
# on a private X display.
# Usage: scripts/test.sh [ctest options...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRIN_BUILD:-$root/build}
bash "$root/scripts/build.sh" "$build"
bash "$root/scripts/build_native.sh" "$build/native"
status=0
ctest --test-dir "$build/native" --output-on-failure "$@" || status=$?
. "$root/scripts/wine_session.sh"
trap tavrin_stop_display EXIT
tavrin_private_session
ctest --test-dir "$build" --output-on-failure "$@" || status=$?
exit $status
