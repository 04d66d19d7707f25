#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and enables the
# source archive so that third-party libraries can be built from their Debian
# sources. Safe to run again: it does nothing when everything is present.
set -euo pipefail

packages=(
  cmake ninja-build dpkg-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 xvfb xauth x11-utils imagemagick
  7zip osslsigncode openssl file
  googletest fonts-wqy-microhei python3-fonttools
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done

need_src=0
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  need_src=1
fi

if [ "$need_src" = 1 ]; then
  # Mirror the binary entries of the deb822 list as deb-src entries.
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      > /etc/apt/sources.list.d/debian-src.sources
  else
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > /etc/apt/sources.list.d/debian-src.list
  fi
fi

if [ "${#missing[@]}" -gt 0 ] || [ "$need_src" = 1 ] || [ ! -d /var/lib/apt/lists ] \
   || ! ls /var/lib/apt/lists/*Sources* >/dev/null 2>&1; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi
