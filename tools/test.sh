#!/usr/bin/env bash
# Builds both architectures and runs every test under wine64. Exits non-zero
# when anything fails.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash tools/build.sh

source tools/wine-session.sh
wine_session_begin
trap wine_session_end EXIT
ctest --test-dir build/x86_64 --output-on-failure "$@"
