#!/usr/bin/env bash
# Packs the setup project and the root-directory list into the 7z package
# that Uninstall.exe carries as resource SETUPCONFIG 209: both files turned
# from their UTF-8 sources into UTF-16 LE with a byte-order mark, LZMA2,
# solid, one block, at the archive root.
# Usage: make-package.sh <source dir> <output .7z> <output .rc>
set -euo pipefail
src=$1 out=$2 rc=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for name in lumo.brixprj UninstallRootDirFileList.xml; do
  { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$src/$name"; } > "$work/$name"
done
rm -f "$out"
(cd "$work" && 7zz a -bd -bso0 -t7z -m0=lzma2 -ms=on -mx=9 "$out" lumo.brixprj UninstallRootDirFileList.xml)
cat > "$rc" <<RC
#include <windows.h>
LANGUAGE LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED
209 SETUPCONFIG "$out"
RC
