#!/usr/bin/env bash
# Runs a command beside a test server of its own on a free port of 127.0.0.1,
# serving a fresh empty folder; stops the server and removes the folder after.
# Usage: with_http_server.sh [http_server.py options] -- command [arguments...]
# The command finds the server through the environment:
#   TAVRIN_SERVER_URL    http://127.0.0.1:<port>
#   TAVRIN_SERVER_ROOT   the served folder (a Unix path)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
serverOptions=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  serverOptions+=("$1")
  shift
done
[ $# -gt 1 ] || { echo "usage: $0 [server options] -- command..." >&2; exit 2; }
shift

root=$(mktemp -d)
portFile=$root.port
python3 "$here/http_server.py" --root "$root" --port-file "$portFile" "${serverOptions[@]}" >/dev/null &
server=$!
cleanup() {
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  rm -rf "$root" "$portFile"
}
trap cleanup EXIT
for _ in $(seq 100); do
  [ -s "$portFile" ] && break
  kill -0 "$server" 2>/dev/null || { echo "the test server did not start" >&2; exit 1; }
  sleep 0.1
done
[ -s "$portFile" ] || { echo "the test server gave no port" >&2; exit 1; }

export TAVRIN_SERVER_URL="http://127.0.0.1:$(cat "$portFile")"
export TAVRIN_SERVER_ROOT="$root"
"$@"
