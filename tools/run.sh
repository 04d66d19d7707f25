#!/usr/bin/env bash
# The program's main job, simulated under wine64: installs and builds what is
# needed, lays out a product installation in the project's Wine prefix, runs
# the x86_64 Uninstall.exe from it and shows what it logged.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

build_log=$(mktemp)
bash tools/build.sh >"$build_log" 2>&1 || { tail -n 40 "$build_log"; rm -f "$build_log"; exit 1; }
rm -f "$build_log"

source tools/wine-session.sh
wine_session_begin
trap wine_session_end EXIT

wine() { /usr/lib/wine/wine64 "$@"; }
drive_c=$WINEPREFIX/drive_c
install_dir="$drive_c/Program Files (x86)/KestoWallPaper"
mkdir -p "$install_dir/Utils" "$install_dir/wallpaperhelper"
cp build/x86_64/bin/Uninstall.exe "$install_dir/Uninstall.exe"
cp build/x86_64/bin/7z.dll "$install_dir/Utils/7z.dll"
: > "$install_dir/Vodureda.dll"
wine reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\kestowp.exe' \
  /v path /t REG_SZ /d 'C:\Program Files (x86)\KestoWallPaper' /f /reg:32 >/dev/null

temp=$(wine cmd /c 'echo %TEMP%' | tr -d '\r')
log=$(wine winepath -u "$temp\\lumo_uninst.log" | tr -d '\r')
rm -f "$log"

echo "Running: C:\\Program Files (x86)\\KestoWallPaper\\Uninstall.exe $*"
set +e
wine "C:\\Program Files (x86)\\KestoWallPaper\\Uninstall.exe" "$@"
code=$?
set -e
echo "Exit code: $code"
sleep 3  # the staged copy goes on by itself for a moment
echo "--- $temp\\lumo_uninst.log ---"
[ -f "$log" ] && iconv -f CP936 -t UTF-8 "$log" | tr -d '\r' || echo "(no log)"
