#!/usr/bin/env bash
# Signs a PE file with one of the test certificates (Authenticode, SHA-256).
# Usage: sign.sh <cert dir> <accepted|wrong> <input> <output>
set -euo pipefail
certs=$1 which=$2 in=$3 out=$4
tmp="$out.signing"
rm -f "$tmp"
osslsigncode sign -certs "$certs/$which.crt" -key "$certs/$which.key" -h sha256 \
  -n "Kesto WallPaper" -in "$in" -out "$tmp" >/dev/null
mv -f "$tmp" "$out"
