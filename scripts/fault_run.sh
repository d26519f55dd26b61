#!/usr/bin/env bash
# Installs under Wine against a server that fails a share of its answers,
# with a folder turning read-only and the window closed mid-transfer, then
# against a healthy one; prints requests, faults, resumes, files verified
# and anything lost. Usage: scripts/fault_run.sh [rounds, 3] [share, 0.3]
set -euo pipefail
bash "$(dirname "$0")/run_e2e.sh" fault_run.py --rounds "${1:-3}" --share "${2:-0.3}"
