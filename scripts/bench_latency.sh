#!/usr/bin/env bash
# The latency benchmark: Tavrin.exe fetching 100 files of 24 KB from nginx
# behind a relay that plays a 40 ms round trip, and the curl tool for Windows
# fetching the same, when the dependency cache holds it (or with --curl-tool,
# which builds it first), and aria2c (Debian's aria2, installed here if
# missing), over http and over https. Prints every round's times and the
# connections opened. Files and round trip can be given, e.g. 1000 1 for
# a thousand files over a 1 ms line.
# Usage: scripts/bench_latency.sh [--curl-tool] [rounds] [files] [round trip ms]   (honours TAVRIN_BUILD, WINEPREFIX)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRIN_BUILD:-$root/build}

bash "$root/scripts/build.sh" "$build" >/dev/null
if [ "${1:-}" = --curl-tool ]; then
  shift
  deps=$(bash "$root/scripts/setup.sh" --curl-tool | tail -n 1)
else
  deps=$(bash "$root/scripts/setup.sh" | tail -n 1)
fi
if ! command -v aria2c >/dev/null; then
  sudo_cmd=""; [ "$(id -u)" -ne 0 ] && sudo_cmd=sudo
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q --no-install-recommends aria2 >/dev/null
fi
curl_exe=""
[ -f "$deps/bin/curl.exe" ] && curl_exe=$deps/bin/curl.exe

export TAVRIN_BUILD_DIR=$build PYTHONDONTWRITEBYTECODE=1
. "$root/scripts/wine_session.sh"
trap tavrin_stop_display EXIT
tavrin_private_session
wineserver -p  # one server for every run, so no run pays its start
python3 "$root/tests/bench/bench_latency.py" "$curl_exe" "${1:-3}" "${2:-100}" "${3:-40}"
