#!/usr/bin/env bash
# Prepares what the tests need in a build tree: a Big5 locale for Wine's code page 950
# and a booted Wine prefix with crash dialogs off, window captions without a window
# manager, and a Traditional Chinese font for the dialogs' face name. The font is a
# Ming face with proportional Latin letters, as the face the layout was drawn for;
# with fixed-width Latin letters the labels do not fit their controls.
# Usage: make-wine-prefix.sh BUILD_DIR
set -euo pipefail
build=$1
locale_dir="$build/locale"
prefix="$build/wineprefix"
. "$(dirname "$0")/wine-loader.sh"

if [ ! -d "$locale_dir/zh_TW.BIG5" ]; then
  mkdir -p "$locale_dir"
  # localedef warns about characters Big5 cannot hold; the locale is still usable.
  localedef -i zh_TW -f BIG5 "$locale_dir/zh_TW.BIG5" >/dev/null 2>&1 || [ -d "$locale_dir/zh_TW.BIG5" ]
fi
if [ ! -d "$locale_dir/en_US.CP1252" ]; then
  localedef -i en_US -f CP1252 "$locale_dir/en_US.CP1252" >/dev/null 2>&1 || [ -d "$locale_dir/en_US.CP1252" ]
fi

# A prefix made before 32-bit Wine was installed cannot run 32-bit programs: remake it.
if [ -f "$prefix/.tarvelo-ready" ] && [ "$(cat "$prefix/.tarvelo-ready")" = "wow64=$TARVELO_WINE_WOW64 fonts=2" ]; then
  exit 0
fi
rm -rf "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH=win64 LOCPATH="$locale_dir"
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
unset DISPLAY
echo "Creating the test Wine prefix in $prefix ..."
LC_ALL=zh_TW.BIG5 "$TARVELO_WINE" wineboot -i >"$build/wineprefix-boot.log" 2>&1
"$TARVELO_WINESERVER" -w

reg="$build/wineprefix-setup.reg"
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]\r\n'
  printf '"Debugger"=""\r\n"Auto"="0"\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n'
  printf '"Managed"="N"\r\n"Decorated"="Y"\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  printf '"新細明體"="Noto Serif CJK TC"\r\n'
  printf '"PMingLiU"="Noto Serif CJK TC"\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n'
  printf '"ShowCrashDialog"=dword:00000000\r\n'
} | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
LC_ALL=zh_TW.BIG5 "$TARVELO_WINE" regedit /S "Z:$(printf '%s' "$reg" | tr '/' '\\')" >>"$build/wineprefix-boot.log" 2>&1
"$TARVELO_WINESERVER" -w
echo "wow64=$TARVELO_WINE_WOW64 fonts=2" >"$prefix/.tarvelo-ready"
echo "Test Wine prefix ready."
