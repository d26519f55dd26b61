#!/usr/bin/env bash
# The test command: installs what is missing, builds, and runs every test
# under Wine on a private X display.
# Usage: scripts/test.sh [ctest options...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRIN_BUILD:-$root/build}
bash "$root/scripts/build.sh" "$build"
. "$root/scripts/wine_session.sh"
trap tavrin_stop_display EXIT
tavrin_private_session
ctest --test-dir "$build" --output-on-failure "$@"
