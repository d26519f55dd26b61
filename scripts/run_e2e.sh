#!/usr/bin/env bash
# Runs a Python program that drives the build under Wine (one of tests/e2e by
# its name, or any by its path, e.g. a benchmark of tests/bench), on a private
# Xvfb display: scripts/run_e2e.sh <script.py> [arguments...]
# (honours TAVRIN_BUILD)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRIN_BUILD:-$root/build}
bash "$root/scripts/build.sh" "$build" >/dev/null
export TAVRIN_BUILD_DIR=$build PYTHONDONTWRITEBYTECODE=1
. "$root/scripts/wine_session.sh"
trap tavrin_stop_display EXIT
tavrin_private_session
cd "$root/tests/e2e"
python3 "$@"
