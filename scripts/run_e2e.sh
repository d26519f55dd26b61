#!/usr/bin/env bash
# Runs one of the programs of tests/e2e against the build, on a private Xvfb
# display: scripts/run_e2e.sh <script.py> [arguments...]
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
