#!/usr/bin/env bash
# Runs a command beside a test server of its own on a free port of 127.0.0.1,
# serving a fresh empty folder; stops the servers and removes the folder after.
# Usage: with_http_server.sh [--tls] [http_server.py options] -- command [arguments...]
# The command finds the server through the environment:
#   TAVRIN_SERVER_URL    http://127.0.0.1:<port>
#   TAVRIN_SERVER_ROOT   the served folder (a Unix path)
# With --tls two HTTPS servers serve the same folder as well, one with a
# certificate from the test's own authority and one from another:
#   TAVRIN_HTTPS_URL           https://localhost:<port>
#   TAVRIN_HTTPS_OTHER_CA_URL  https://localhost:<port>
#   TAVRIN_TEST_CA             the test authority's certificate (a Unix path)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tls=0
serverOptions=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  if [ "$1" = "--tls" ]; then tls=1; else serverOptions+=("$1"); fi
  shift
done
[ $# -gt 1 ] || { echo "usage: $0 [--tls] [server options] -- command..." >&2; exit 2; }
shift

root=$(mktemp -d)
work=$(mktemp -d)
servers=()
cleanup() {
  for server in "${servers[@]}"; do
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
  done
  rm -rf "$root" "$work"
}
trap cleanup EXIT

start_server() { # port-file-name [extra options...]; prints the port
  local portFile=$work/$1
  shift
  python3 "$here/http_server.py" --root "$root" --port-file "$portFile" "${serverOptions[@]}" "$@" >/dev/null &
  servers+=($!)
  for _ in $(seq 100); do
    [ -s "$portFile" ] && break
    kill -0 "${servers[-1]}" 2>/dev/null || { echo "the test server did not start" >&2; exit 1; }
    sleep 0.1
  done
  [ -s "$portFile" ] || { echo "the test server gave no port" >&2; exit 1; }
}

start_server plain.port
start_server kept.port --keep-alive
export TAVRIN_SERVER_URL="http://127.0.0.1:$(cat "$work/plain.port")"
export TAVRIN_KEEP_ALIVE_URL="http://127.0.0.1:$(cat "$work/kept.port")"
export TAVRIN_SERVER_ROOT="$root"
if [ "$tls" = 1 ]; then
  bash "$here/make_test_certificates.sh" "$work/certificates"
  start_server good.port --tls-cert "$work/certificates/server.pem" --tls-key "$work/certificates/server.key"
  start_server other.port --tls-cert "$work/certificates/other.pem" --tls-key "$work/certificates/other.key"
  export TAVRIN_HTTPS_URL="https://localhost:$(cat "$work/good.port")"
  export TAVRIN_HTTPS_OTHER_CA_URL="https://localhost:$(cat "$work/other.port")"
  export TAVRIN_TEST_CA="$work/certificates/ca.pem"
fi
"$@"
