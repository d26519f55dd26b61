#!/usr/bin/env bash
# The signature check's cases, made at build time into <folder>, which holds
# the key pairs "release" and "other": a file of several hash pieces signed
# with each key, a signature of it whose r or s is shorter than 32 bytes,
# and a public key of another curve.
# Usage: make_signing_fixtures.sh <folder>
set -euo pipefail
folder=$1
sign_release=$(cd "$(dirname "$0")/../../scripts" && pwd)/sign_release.sh
cd "$folder"

openssl rand -out release.bin 200000
bash "$sign_release" release.pem release.bin
openssl dgst -sha256 -sign other.pem -out other.sig release.bin

# About one signature in 256 has a short integer; DER of 69 bytes or fewer has one.
for _ in $(seq 5000); do
  openssl dgst -sha256 -sign release.pem -out short.sig release.bin
  [ "$(stat -c %s short.sig)" -le 69 ] && break
done
[ "$(stat -c %s short.sig)" -le 69 ] || { echo "no short signature came" >&2; exit 1; }

openssl ecparam -name secp384r1 -genkey -noout -out p384.pem
openssl pkey -in p384.pem -pubout -out p384.pub.pem
