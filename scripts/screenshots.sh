#!/usr/bin/env bash
# Screenshots of the main window and of the About dialog: builds, serves the
# sample catalogue on the first mirror, starts Tavrin.exe under Wine on a
# private Xvfb display, presses About and saves both pictures.
# Usage: scripts/screenshots.sh [folder]   (default: build/screenshots)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRIN_BUILD:-$root/build}
out=$(mkdir -p "${1:-$build/screenshots}" && cd "${1:-$build/screenshots}" && pwd)
bash "$root/scripts/build.sh" "$build"

run=$(mktemp -d)
mirror=$(mktemp -d)
cp "$build/Tavrin.exe" "$run/"
cp "$root/tests/data/sample_catalogue.txt" "$mirror/tavrin.txt"
python3 "$root/tests/servers/http_server.py" --root "$mirror" --port 47001 --lifetime 600 >/dev/null 2>&1 &
server=$!

. "$root/scripts/wine_session.sh"
finish() {
  kill "$server" 2>/dev/null || true
  tavrin_stop_display
  rm -rf "$run" "$mirror"
}
trap finish EXIT
tavrin_private_session

driver() { wine "$build/driver.exe" "$@" >/dev/null; }

(cd "$run" && wine Tavrin.exe >/dev/null 2>&1 &)
driver "Tavrin 2.0.4" wait-unlocked 60
sleep 1
import -window root "$out/main_window.png"

driver "Tavrin 2.0.4" click About
driver "Tavrin 2" wait-window 10
sleep 1
import -window root "$out/about_dialog.png"

driver "Tavrin 2" click Ok
driver "Tavrin 2" gone 10
driver "Tavrin 2.0.4" close
wineserver -w
echo "screenshots: $out/main_window.png $out/about_dialog.png"
