#!/usr/bin/env bash
# Creates a Wine prefix for the tests and the demo:
#   make-prefix.sh PREFIX_DIR
# GDI+ draws no text until the prefix has fonts, and Chinese text needs a CJK
# face under the names the installer asks for, so Wine's own fonts are copied
# in and the Chinese face names are mapped to WenQuanYi Micro Hei. Crash
# dialogs are turned off so a crashing test fails instead of hanging, and the
# prefix reports Windows 10. With ZELK_PLAIN_PREFIX=1 the fonts and the face
# replacements are left out: a desktop without the faces the layouts name.
set -euo pipefail
. "$(dirname "$0")/wine-loader.sh"
prefix=${1:?prefix folder}
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="

rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
"$ZELK_WINE" wineboot -i >/dev/null 2>&1
wineserver -w

plain=${ZELK_PLAIN_PREFIX:-}
if [ -z "$plain" ]; then
  cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
fi

reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  if [ -z "$plain" ]; then
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for face in "Microsoft YaHei" "微软雅黑" "SimSun" "宋体" "NSimSun" "SimHei" "黑体"; do
      printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face"
    done
  fi
  printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n'
  printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine]\r\n"Version"="win10"\r\n'
} | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
"$ZELK_WINE" regedit /S "$("$ZELK_WINE" winepath -w "$reg")" >/dev/null 2>&1
wineserver -w
touch "$prefix/.zelk-ready"
