#!/usr/bin/env bash
# Makes throw-away certificates for the HTTPS tests in the given folder:
#   ca.pem              the test's certificate authority
#   server.pem/.key     "localhost", signed by it
#   other.pem/.key      "localhost", signed by another authority
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
quiet() { "$@" >/dev/null 2>&1; }
authority() { # name
  quiet openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=$1" \
    -keyout "$1.key" -out "$1.pem"
}
server() { # name authority
  quiet openssl req -newkey rsa:2048 -nodes -subj "/CN=localhost" -keyout "$1.key" -out "$1.csr"
  printf 'subjectAltName=DNS:localhost\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' > "$1.ext"
  quiet openssl x509 -req -in "$1.csr" -CA "$2.pem" -CAkey "$2.key" -CAcreateserial -days 2 \
    -extfile "$1.ext" -out "$1.pem"
}
authority ca
authority other-ca
server server ca
server other other-ca
