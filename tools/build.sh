#!/usr/bin/env bash
# Installs what the build needs, builds the third-party libraries once, then
# both architectures: build/i686 (the shipped 32-bit Uninstall.exe) and
# build/x86_64 (the same sources plus the tests, for wine64).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash tools/install-packages.sh
bash tools/build-deps.sh

cmake -S . -B build/i686 -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build/i686

cmake -S . -B build/x86_64 -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DLUMO_BUILD_TESTS=ON \
  -DLUMO_I686_EXE="$root/build/i686/bin/Uninstall.exe" >/dev/null
cmake --build build/x86_64
