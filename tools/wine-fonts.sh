#!/usr/bin/env bash
# Makes the UI font faces that CDefaultFont::ChooseFace looks for available in
# the Wine prefix, backed by the Debian CJK font WenQuanYi Micro Hei. Installs
# no package (tools/install-packages.sh does); safe to run again. Expects
# WINEPREFIX to be set and, normally, the session's wineserver running.
#
# ChooseFace matches the *full* name of each enumerated family, and Wine
# reports a font replacement under the full name of the font behind it, so a
# replacement alone is never picked. The prefix therefore gets a copy of the
# CJK font whose names are "Microsoft YaHei" (English) and "微软雅黑"
# (Simplified Chinese); the other candidate faces become replacements so
# that text asked for by those names still finds CJK glyphs.
set -euo pipefail

: "${WINEPREFIX:?WINEPREFIX must be set}"
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=wine64

source_font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
target_family="WenQuanYi Micro Hei"
fonts_dir="$WINEPREFIX/drive_c/windows/Fonts"
renamed_file=lumo-msyh.ttf

if [ ! -f "$source_font" ]; then
  echo "wine-fonts: $source_font missing; run tools/install-packages.sh" >&2
  exit 1
fi
mkdir -p "$fonts_dir"

if [ ! -s "$fonts_dir/$renamed_file" ] || [ "$source_font" -nt "$fonts_dir/$renamed_file" ]; then
  /usr/bin/python3 - "$source_font" "$fonts_dir/$renamed_file.tmp" <<'PY'
import sys
from fontTools.ttLib import TTFont

src, dst = sys.argv[1], sys.argv[2]
font = TTFont(src, fontNumber=0)
name = font["name"]
name.names = []
records = {
    0x409: ("Microsoft YaHei", "Microsoft YaHei"),
    0x804: ("微软雅黑", "微软雅黑"),
}
for lang, (family, full) in records.items():
    name.setName(family, 1, 3, 1, lang)
    name.setName("Regular", 2, 3, 1, lang)
    name.setName(full + " Regular", 3, 3, 1, lang)
    name.setName(full, 4, 3, 1, lang)
    name.setName("Version 1.00", 5, 3, 1, lang)
    name.setName("MicrosoftYaHei", 6, 3, 1, lang)
font.save(dst)
PY
  mv -f "$fonts_dir/$renamed_file.tmp" "$fonts_dir/$renamed_file"
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]\r\n'
  printf '"Microsoft YaHei (TrueType)"="%s"\r\n\r\n' "$renamed_file"
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  for face in "Microsoft YaHei UI" "宋体" "SimSun" "新細明體" "PMingLiU"; do
    printf '"%s"="%s"\r\n' "$face" "$target_family"
  done
  printf '\r\n'
} > "$tmp/fonts.utf8.reg"
# regedit reads non-ASCII text reliably only as UTF-16 with a byte-order mark.
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$tmp/fonts.utf8.reg"; } > "$tmp/fonts.reg"
# Wine maps the Unix root to drive Z:.
"$wine" regedit /S "Z:${tmp//\//\\}\\fonts.reg" >/dev/null 2>&1 </dev/null
