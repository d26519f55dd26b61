#!/usr/bin/env bash
# Installs under Wine against a server that fails a share of its answers,
# with a folder turning read-only and the window closed mid-transfer, then
# against a healthy one; prints requests, faults, resumes, files verified
# and anything lost. Usage: scripts/fault_run.sh [rounds] [share]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRIN_BUILD:-$root/build}
bash "$root/scripts/build.sh" "$build" >/dev/null
export TAVRIN_BUILD_DIR=$build PYTHONDONTWRITEBYTECODE=1
. "$root/scripts/wine_session.sh"
trap tavrin_stop_display EXIT
tavrin_private_session
cd "$root/tests/e2e"
python3 fault_run.py --rounds "${1:-3}" --share "${2:-0.3}"
