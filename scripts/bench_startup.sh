#!/usr/bin/env bash
# Prints the time from the program's start to unlocked controls under Wine,
# for a catalogue of 2000 items in 100 groups served on 127.0.0.1:47001,
# and for a catalogue of one item as the baseline (Wine's own start-up).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRIN_BUILD:-$root/build}
bash "$root/scripts/build.sh" "$build" >/dev/null
. "$root/scripts/wine_session.sh"
work=$(mktemp -d)
server=""
finish() {
  [ -n "$server" ] && kill "$server" 2>/dev/null
  tavrin_stop_display
  rm -rf "$work"
}
trap finish EXIT
tavrin_private_session

make_catalogue() { # groups items-per-group
  python3 - "$1" "$2" <<'PY'
import sys
groups, per = int(sys.argv[1]), int(sys.argv[2])
out = ["v2.0.4", "http://127.0.0.1:47001/none.exe", "0", "<message>", "Benchmark", "</message>"]
items = ["<items>"]
for g in range(groups):
    items.append(f"#Group {g};")
    for i in range(per):
        name = f"Item {g}-{i}"
        out += [f"[{name}]", "{A benchmark item.}", "-baseq3", "1000",
                f"http://127.0.0.1:47001/files/{g}-{i}.zip"]
        items.append(f"[{name}]" + ("+" if i == 0 else ""))
    items.append("!")
sys.stdout.write("\n".join(out + items) + "\n")
PY
}

measure() { # label groups items-per-group
  mkdir -p "$work/mirror" "$work/run"
  make_catalogue "$2" "$3" > "$work/mirror/tavrin.txt"
  python3 "$root/tests/servers/http_server.py" --root "$work/mirror" --port 47001 --lifetime 300 >/dev/null 2>&1 &
  server=$!
  sleep 0.5
  cp "$build/Tavrin.exe" "$work/run/"
  local start end
  start=$(date +%s.%N)
  (cd "$work/run" && wine Tavrin.exe >/dev/null 2>&1 &)
  wine "$build/driver.exe" "Tavrin 2.0.4" wait-unlocked 60 >/dev/null
  end=$(date +%s.%N)
  local nodes
  nodes=$(wine "$build/driver.exe" "Tavrin 2.0.4" tree | wc -l)
  wine "$build/driver.exe" "Tavrin 2.0.4" close >/dev/null
  wineserver -w
  kill "$server"; wait "$server" 2>/dev/null || true; server=""
  rm -rf "$work/mirror" "$work/run"
  printf '%-34s %6.2f s  (%s nodes)\n' "$1" "$(python3 -c "print($end - $start)")" "$nodes"
}

echo "from start to unlocked controls, under Wine:"
measure "1 item (Wine's start-up)" 1 1
measure "2000 items in 100 groups" 100 20
