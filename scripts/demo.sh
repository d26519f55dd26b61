#!/usr/bin/env bash
# The demo: builds Tavrin.exe, serves a sample catalogue from a local mirror
# on 127.0.0.1:47001 (the first of the mirrors the demo build knows), and
# starts the program under Wine in build/demo (log.txt and settings.cfg land
# there). With a working X display the window opens there and the demo ends
# when you close it; without one (or with DISPLAY empty) it runs on a private
# Xvfb display, waits for the controls to unlock, saves screenshots of the
# main window and of the About dialog in build/demo and closes it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRIN_BUILD:-$root/build}
bash "$root/scripts/build.sh" "$build"

demo=$build/demo
mirror=$build/demo-mirror
rm -rf "$demo" "$mirror"
mkdir -p "$demo" "$mirror"
cp "$build/Tavrin.exe" "$demo/"
cp "$root/tests/data/sample_catalogue.txt" "$mirror/tavrin.txt"
[ -d "$root/tests/data/sample_files" ] && cp -r "$root/tests/data/sample_files" "$mirror/files"

python3 "$root/tests/servers/http_server.py" --root "$mirror" --port 47001 --lifetime 86400 >/dev/null 2>&1 &
server=$!
. "$root/scripts/wine_session.sh"
finish() {
  kill "$server" 2>/dev/null || true
  tavrin_stop_display
}
trap finish EXIT

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  tavrin_prepare_prefix
  (cd "$demo" && wine Tavrin.exe)
else
  tavrin_private_session
  driver() { wine "$build/driver.exe" "$@" >/dev/null; }
  (cd "$demo" && wine Tavrin.exe >/dev/null 2>&1 &)
  driver "Tavrin 2.0.4" wait-unlocked 60
  sleep 1
  import -window root "$demo/main_window.png"
  driver "Tavrin 2.0.4" click About
  driver "Tavrin 2" wait-window 10
  sleep 1
  import -window root "$demo/about_dialog.png"
  driver "Tavrin 2" click Ok
  driver "Tavrin 2" gone 10
  driver "Tavrin 2.0.4" close
  wineserver -w
  echo "screenshots: $demo/main_window.png $demo/about_dialog.png"
fi
echo "log: $demo/log.txt"
tr -d '\r' < "$demo/log.txt"
