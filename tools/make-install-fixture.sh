#!/usr/bin/env bash
# Lays out a simulated product installation in the Wine prefix, for the
# removal tests, end-to-end runs and the main job; and takes it away again.
#
#   make-install-fixture.sh setup   <bin-dir> <windows-install-dir> <state-dir>
#   make-install-fixture.sh restore <state-dir> <bin-dir>
#
# setup writes:
#   - every top-level directory and file of res/setup/UninstallRootDirFileList.xml,
#     directories with nested content, one file name in other letter case;
#   - foreign top-level entries: a text file, a folder, an unsigned program and
#     a library signed by an accepted signer (copies of the signing fixtures);
#   - ".tmp" files at several depths in several letter cases;
#   - Utils\locked.dll, held open without sharing by fixtures/file_holder.exe,
#     which keeps running until restore;
#   - HKLM App Paths\kestowp.exe (32-bit view): "path" and the "file_list" and
#     "file_pe" subkeys naming files of the installation;
#   - what the product registers (bin/register_product.exe): "Kesto壁纸.lnk" on
#     both desktops, the start-menu folder, kestowp\cef_cache and other user
#     data, HKCU Software\KestoWallPaper, HKCR KestoWallpaper, the uninstall
#     key, the Run values, the "kestowp-srv" task and the services "KestoDrv"
#     and "KsSvc".
# The state folder records what restore needs: the helper's process id, the
# App Paths key as it was before, and the installation folder made here.
# Runs inside a wine session (tools/wine-session.sh), WINEPREFIX set.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
wine() { /usr/lib/wine/wine64 "$@" </dev/null; }
app_paths='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\kestowp.exe'

setup() {
  local bin=$1 install_win=$2 state=$3
  mkdir -p "$state"
  local install
  install=$(wine winepath -u "$install_win" 2>/dev/null | tr -d '\r')
  [ -e "$install" ] && { echo "already exists: $install_win" >&2; exit 1; }
  echo "$install" > "$state/install_dir"

  # Shipped entries, straight from the root-directory list.
  local list=$root/res/setup/UninstallRootDirFileList.xml
  local xml section name
  xml=$(tr -d '\r' < "$list")  # kept as UTF-8 text in the repository
  section=dirs
  while IFS= read -r line; do
    case $line in
      *"<File>"*) section=files ;;
      *'Item Name="'*)
        name=${line#*Item Name=\"}; name=${name%%\"*}
        if [ "$section" = dirs ]; then
          mkdir -p "$install/$name/sub/deeper"
          printf 'x' > "$install/$name/$name.dat"
          printf 'x' > "$install/$name/sub/nested.dll"
          printf 'x' > "$install/$name/sub/deeper/nested.cfg"
        else
          printf 'x' > "$install/$name"
        fi ;;
    esac
  done <<< "$xml"
  # The list test ignores letter case.
  mv "$install/ZetaCommon.dll" "$install/ZETACOMMON.DLL"

  # Foreign entries: two unsigned (they stay), one signed by an accepted signer.
  printf 'mine' > "$install/foreign_notes.txt"
  mkdir -p "$install/ForeignDir"
  printf 'mine' > "$install/ForeignDir/keep.dat"
  cp "$bin/fixtures/signing/tiny_program_unsigned.exe" "$install/foreign_unsigned.exe"
  cp "$bin/fixtures/signing/tiny_library_accepted.dll" "$install/foreign_signed.dll"

  # ".tmp" files at several depths and letter cases.
  printf 't' > "$install/top.tmp"
  printf 't' > "$install/log/UPPER.TMP"
  printf 't' > "$install/plugin/sub/Mixed.Tmp"
  printf 't' > "$install/ForeignDir/foreign.tmp"

  # Registry: the App Paths values the engine reads, kept restorable.
  if wine reg query "$app_paths" /reg:32 >/dev/null 2>&1; then
    wine reg export "$app_paths" "$(wine winepath -w "$state/app_paths.reg" | tr -d '\r')" /reg:32 /y >/dev/null 2>&1
  fi
  wine reg add "$app_paths" /v path /t REG_SZ /d "$install_win" /f /reg:32 >/dev/null
  local value
  for value in 'Config\Config.dat' 'update' 'listed_only_by_registry.dll'; do
    wine reg add "$app_paths\\file_list" /v "$value" /t REG_SZ /d '' /f /reg:32 >/dev/null
  done
  printf 'x' > "$install/listed_only_by_registry.dll"
  for value in 'wpplugin.exe' 'Utils\sub\nested.dll'; do
    wine reg add "$app_paths\\file_pe" /v "$value" /t REG_SZ /d '' /f /reg:32 >/dev/null
  done

  # A file in use: held without sharing by a helper that stays running.
  local locked_win marker_win
  locked_win="$install_win\\Utils\\locked.dll"
  rm -f "$state/holder_ready"
  marker_win=$(wine winepath -w "$state/holder_ready" | tr -d '\r')
  /usr/lib/wine/wine64 "$bin/fixtures/file_holder.exe" "$locked_win" "$marker_win" </dev/null >/dev/null 2>&1 &
  echo $! > "$state/holder_pid"
  local i
  for i in $(seq 1 300); do
    [ -e "$state/holder_ready" ] && break
    sleep 0.1
  done
  [ -e "$state/holder_ready" ] || { echo "the file holder did not start" >&2; exit 1; }

  # What the product registers in the system: shortcuts, start menu, cache
  # and user data, product and class keys, uninstall key, Run values, the
  # logon task and the two services.
  wine "$bin/register_product.exe" register "$install_win" >/dev/null 2>&1 \
    || { echo "the product's registrations could not all be made" >&2; exit 1; }
  echo registered > "$state/registered"
  echo "installation laid out in $install_win"
}

restore() {
  local state=$1 bin=${2:-}
  if [ -f "$state/registered" ] && [ -n "$bin" ]; then
    wine "$bin/register_product.exe" unregister >/dev/null 2>&1 || true
    rm -f "$state/registered"
  fi
  if [ -f "$state/holder_pid" ]; then
    kill "$(cat "$state/holder_pid")" 2>/dev/null || true
    rm -f "$state/holder_pid" "$state/holder_ready"
  fi
  wine reg delete "$app_paths" /f /reg:32 >/dev/null 2>&1 || true
  if [ -f "$state/app_paths.reg" ]; then
    wine reg import "$(wine winepath -w "$state/app_paths.reg" | tr -d '\r')" /reg:32 >/dev/null 2>&1
    rm -f "$state/app_paths.reg"
  fi
  if [ -f "$state/install_dir" ]; then
    rm -rf "$(cat "$state/install_dir")"
    rm -f "$state/install_dir"
  fi
}

case ${1:-} in
  setup) shift; setup "$@" ;;
  restore) shift; restore "$@" ;;
  *) sed -n '2,8p' "$0" >&2; exit 2 ;;
esac
