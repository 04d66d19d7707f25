#!/usr/bin/env bash
# Checks the two builds of Uninstall.exe: i686 is a 32-bit GUI program and
# x86_64 a 64-bit one, and neither needs a MinGW runtime DLL beside it.
set -u
i686=$1 x64=$2 status=0
fail() { echo "FAIL: $*"; status=1; }

file -b "$i686" | grep -q '^PE32 executable (GUI) Intel 80386' || fail "$i686 is not a 32-bit GUI PE: $(file -b "$i686")"
file -b "$x64" | grep -q '^PE32+ executable (GUI) x86-64' || fail "$x64 is not a 64-bit GUI PE: $(file -b "$x64")"
for exe in "$i686" "$x64"; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
  if echo "$dlls" | grep -qiE 'libstdc|libgcc|libwinpthread'; then
    fail "$exe imports MinGW runtime DLLs: $(echo $dlls)"
  fi
  x86_64-w64-mingw32-objdump -s -j .rsrc "$exe" | grep -q 'requireAdm' \
    || strings -el "$exe" | grep -q requireAdministrator \
    || strings "$exe" | grep -q requireAdministrator \
    || fail "$exe carries no manifest asking for administrator rights"
done
[ $status = 0 ] && echo "both binaries ok"
exit $status
