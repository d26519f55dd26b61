#!/usr/bin/env bash
# Extracts one archive of about 100 MB and a few thousand files with our zip
# layer and with minizip's own miniunz, both under the same Wine, and prints
# the ratio of their times; Debian's native unzip is printed for reference.
# Usage: scripts/bench_zip.sh [build folder]   (honours TAVRIN_BUILD, WINEPREFIX)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-${TAVRIN_BUILD:-$root/build}}
rounds=${BENCH_ROUNDS:-3}

bash "$root/scripts/build.sh" "$build" >/dev/null
cmake --build "$build" --target zip_bench >/dev/null
deps=$(bash "$root/scripts/setup.sh" | tail -n 1)

work=$build/bench-zip
archive=$work/bench.zip
mkdir -p "$work"
if [ ! -f "$archive" ]; then
  echo "making $archive"
  python3 "$root/tests/zip/bench/make_bench_archive.py" "$archive.part" 3000
  mv "$archive.part" "$archive"
fi
# Wine should reach the archive through its drive Z:, as a Windows path.
win() { printf 'Z:%s' "${1//\//\\}"; }

. "$root/scripts/wine_session.sh"
tavrin_prepare_prefix
wineserver -p  # one server for every run, so no run pays its start
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

seconds() { # command...: prints the wall time of the command
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }'
}
best() { sort -g | head -n 1; }

layer=() miniunz=() native=()
for round in $(seq "$rounds"); do
  rm -rf "$work/layer" "$work/miniunz" "$work/unzip"
  mkdir -p "$work/layer" "$work/miniunz" "$work/unzip"
  sync
  layer+=("$(seconds wine "$build/tests/zip/zip_bench.exe" "$(win "$archive")" "$(win "$work/layer")")")
  miniunz+=("$(seconds bash -c "cd '$work/miniunz' && wine '$deps/bin/miniunz.exe' -x -o '$(win "$archive")'")")
  native+=("$(seconds unzip -q -o "$archive" -d "$work/unzip")")
done
diff -r "$work/layer" "$work/miniunz" >/dev/null && diff -r "$work/layer" "$work/unzip" >/dev/null \
  || { echo "the extracted trees differ" >&2; exit 1; }

l=$(printf '%s\n' "${layer[@]}" | best)
m=$(printf '%s\n' "${miniunz[@]}" | best)
n=$(printf '%s\n' "${native[@]}" | best)
files=$(unzip -Z1 "$archive" | wc -l)
mb=$(( $(stat -c %s "$archive") / 1048576 ))
printf 'archive: %d MB, %d files; best of %d rounds\n' "$mb" "$files" "$rounds"
printf 'zip layer (Wine):     %6.2f s\n' "$l"
printf 'miniunz (Wine):       %6.2f s\n' "$m"
printf 'unzip (native):       %6.2f s   (reference)\n' "$n"
printf 'ratio layer/miniunz:  %6.2f   (goal: at most 1.10)\n' "$(awk -v a="$l" -v b="$m" 'BEGIN { print a / b }')"
