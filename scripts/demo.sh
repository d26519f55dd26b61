#!/usr/bin/env bash
# The demo: builds Tavrin.exe, serves the sample catalogue and files of the
# sizes it declares from the first of the mirrors the build knows
# (127.0.0.1:47001 by default), and starts the program under Wine in
# build/demo (log.txt, settings.cfg and the installation folder land there).
# With a working X display the window opens there and the demo ends when you
# close it; without one (or with DISPLAY empty) it runs on a private Xvfb
# display, saves screenshots of the main window and of the About dialog,
# installs the checked items, saves a screenshot of the finished install in
# build/demo and closes it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRIN_BUILD:-$root/build}
bash "$root/scripts/build.sh" "$build"
export TAVRIN_BUILD_DIR=$build PYTHONDONTWRITEBYTECODE=1
. "$root/scripts/wine_session.sh"
trap tavrin_stop_display EXIT

demo=$build/demo
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  tavrin_prepare_prefix
  python3 "$root/tests/e2e/demo.py" "$demo"
else
  tavrin_private_session
  python3 "$root/tests/e2e/demo.py" "$demo" --screenshots
fi
echo "log: $demo/log.txt"
tr -d '\r' < "$demo/log.txt"
