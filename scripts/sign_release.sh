#!/usr/bin/env bash
# Signs a release for the self-update of a build made with
# -DTAVRIN_RELEASE_KEY: writes <Tavrin.exe>.sig, the ECDSA P-256 signature
# of the file's SHA-256, and checks it against the key's public half.
# Usage: scripts/sign_release.sh <private.pem> <Tavrin.exe>
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 <private.pem> <Tavrin.exe>" >&2; exit 2; }
key=$1
release=$2

# The program takes P-256 keys only; another curve would sign a release it refuses.
openssl ec -in "$key" -noout -text 2>/dev/null | grep -q 'ASN1 OID: prime256v1' \
  || { echo "$key is no P-256 private key" >&2; exit 1; }

openssl dgst -sha256 -sign "$key" -out "$release.sig" "$release"

public=$(mktemp)
trap 'rm -f "$public"' EXIT
openssl ec -in "$key" -pubout -out "$public" 2>/dev/null
if ! openssl dgst -sha256 -verify "$public" -signature "$release.sig" "$release" >/dev/null; then
  rm -f "$release.sig"
  echo "the signature of $release does not verify" >&2
  exit 1
fi
