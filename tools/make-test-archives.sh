#!/usr/bin/env bash
# Crafted 7z archives for the unpacker's tests: a plain one, one whose items
# climb out of the extraction folder, one with an absolute path, one with a
# drive-like name, and a password-protected one.
# Usage: make-test-archives.sh <output dir>
set -euo pipefail
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
z() { 7zz a -bd -bso0 -bsp0 "$@"; }

mkdir -p "$work/plain/sub" "$work/deep/a/b"
echo "first" > "$work/plain/one.txt"
echo "second" > "$work/plain/sub/two.txt"
(cd "$work/plain" && rm -f "$out/plain.7z" && z "$out/plain.7z" one.txt sub)

echo "escaped" > "$work/deep/evil.txt"
echo "inside" > "$work/deep/a/b/good.txt"
(cd "$work/deep/a/b" && rm -f "$out/traversal.7z" && z -spf "$out/traversal.7z" good.txt ../../evil.txt)
(cd "$work" && rm -f "$out/absolute.7z" && z -spf "$out/absolute.7z" "$work/deep/evil.txt")
echo "stream" > "$work/C:evil.txt"
(cd "$work" && rm -f "$out/drive.7z" && z "$out/drive.7z" "C:evil.txt")
(cd "$work/plain" && rm -f "$out/encrypted.7z" && z -pSecret "$out/encrypted.7z" one.txt)
