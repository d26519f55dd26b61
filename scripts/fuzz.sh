#!/usr/bin/env bash
# Runs each fuzz target of the native build for a fixed time and prints, per
# target, its executions and its findings (inputs that crashed it, leaked or
# timed out; they are kept in the build's findings folder).
# Usage: scripts/fuzz.sh [seconds per target, default 60]   (honours TAVRIN_BUILD)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=${TAVRIN_BUILD:-$root/build}/native
bash "$root/scripts/build_native.sh" "$build" >/dev/null

# The targets and their arguments are the fuzz tests' own; only the time differs.
ctest --test-dir "$build" -L fuzz --show-only=json-v1 | python3 -c '
import json, sys
for test in json.load(sys.stdin)["tests"]:
    print("\t".join(test["command"]))' >"$build/fuzz-commands.txt"

total=0
while IFS=$'\t' read -r -a command; do
  name=$(basename "${command[0]}")
  args=()
  for arg in "${command[@]:1}"; do
    case $arg in -max_total_time=*) arg=-max_total_time=$seconds ;; esac
    args+=("$arg")
  done
  log=$build/fuzz-$name.log
  before=$(ls "$build/findings" | grep -c "^$name-" || true)
  "${command[0]}" "${args[@]}" >"$log" 2>&1 || true
  after=$(ls "$build/findings" | grep -c "^$name-" || true)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  findings=$((after - before))
  total=$((total + findings))
  printf '%-24s %10s executions in %s s, %d findings\n' "$name" "${runs:-?}" "$seconds" "$findings"
  [ "$findings" -eq 0 ] || grep -m 3 -E 'ERROR|SUMMARY|Test unit written' "$log" | sed 's/^/    /'
done <"$build/fuzz-commands.txt"
[ "$total" -eq 0 ]
