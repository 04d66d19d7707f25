#!/usr/bin/env bash
# Builds the third-party libraries from their Debian source packages with the
# MinGW-w64 compilers, once, into a cache outside the work tree:
#   cJSON        static library + header, per architecture
#   GoogleTest   static libraries, x86_64 only (tests run only there)
#   7-Zip        7z.dll (Format7zF, no RAR), x86_64 (tests) and i686 (ship)
# Prints nothing when everything is already built. The cache root is
# $LUMO_DEPS (default ~/.cache/lumo-deps).
set -euo pipefail

deps=${LUMO_DEPS:-$HOME/.cache/lumo-deps}
src=$deps/src
jobs=$(nproc)
mkdir -p "$src"

fetch_source() { # package -> unpacked directory name
  local pkg=$1 dir=$src/$1
  if [ ! -d "$dir" ]; then
    (cd "$src" && apt-get source --download-only "$pkg" >/dev/null 2>&1)
    local dsc
    dsc=$(ls "$src"/"${pkg}"_*.dsc | head -n 1)
    (cd "$src" && dpkg-source -x --skip-patches "$dsc" "$pkg" >/dev/null)
  fi
}

triplet() { case $1 in i686) echo i686-w64-mingw32 ;; x86_64) echo x86_64-w64-mingw32 ;; esac; }

build_cjson() {
  local arch=$1 out=$deps/$1/cjson t
  [ -f "$out/lib/libcjson.a" ] && return
  fetch_source cjson
  t=$(triplet "$arch")
  mkdir -p "$out/include/cjson" "$out/lib"
  "$t-gcc-posix" -O2 -std=c89 -c "$src/cjson/cJSON.c" -o "$out/cJSON.o"
  "$t-ar" rcs "$out/lib/libcjson.a" "$out/cJSON.o"
  rm -f "$out/cJSON.o"
  cp "$src/cjson/cJSON.h" "$out/include/cjson/"
}

build_gtest() {
  local arch=$1 out=$deps/$1/googletest t
  [ -f "$out/lib/libgtest.a" ] && return
  t=$(triplet "$arch")
  local b=$deps/build/googletest-$arch
  rm -rf "$b"
  cmake -S /usr/src/googletest -B "$b" -G Ninja \
    -DCMAKE_SYSTEM_NAME=Windows \
    -DCMAKE_C_COMPILER="$t-gcc-posix" -DCMAKE_CXX_COMPILER="$t-g++-posix" \
    -DCMAKE_RC_COMPILER="$t-windres" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF \
    -DCMAKE_INSTALL_PREFIX="$out" >/dev/null
  cmake --build "$b" -j "$jobs" >/dev/null
  cmake --install "$b" >/dev/null
  rm -rf "$b"
}

build_7z() {
  local arch=$1 out=$deps/$1/7zip t
  [ -f "$out/7z.dll" ] && return
  fetch_source 7zip
  t=$(triplet "$arch")
  local b=$deps/build/7zip-$arch
  rm -rf "$b" && mkdir -p "$b"
  local flags=(IS_MINGW=1 DISABLE_RAR=1 "O=$b" "CROSS_COMPILE=$t-"
               "CC=$t-gcc-posix" "CXX=$t-g++-posix" "RC=$t-windres"
               "MY_ARCH=" "CFLAGS_WARN_WALL=-w")
  [ "$arch" = x86_64 ] && flags+=(IS_X64=1) || flags+=(IS_X86=1)
  make -C "$src/7zip/CPP/7zip/Bundles/Format7zF" -f makefile.gcc -j "$jobs" "${flags[@]}" >"$b.log" 2>&1 \
    || { tail -n 30 "$b.log"; exit 1; }
  mkdir -p "$out"
  cp "$b/7z.dll" "$out/7z.dll"
  rm -rf "$b" "$b.log"
}

for arch in x86_64 i686; do
  build_cjson "$arch"
done
build_gtest x86_64
build_7z x86_64
build_7z i686
