#!/usr/bin/env bash
# Throwaway code-signing certificates for the test build, made once per
# build directory and never committed:
#   accepted.{key,crt}  subject "Kesto Technology Co., Ltd." (an accepted signer)
#   wrong.{key,crt}     subject "Unrelated Sample Ltd." (not accepted)
# Usage: make-test-certs.sh <output dir>
set -euo pipefail
out=$1
mkdir -p "$out"
make_cert() { # name subject
  [ -f "$out/$1.crt" ] && [ -f "$out/$1.key" ] && return
  openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -utf8 \
    -subj "$2" -keyout "$out/$1.key" -out "$out/$1.crt" \
    -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=digitalSignature" \
    -addext "basicConstraints=critical,CA:FALSE" >/dev/null 2>&1
  chmod 600 "$out/$1.key"
}
make_cert accepted "/O=Kesto Technology Co., Ltd./CN=Kesto Technology Co., Ltd."
make_cert wrong "/O=Unrelated Sample Ltd./CN=Unrelated Sample Ltd."
