# Sourced by the Wine scripts: picks the 64-bit loader explicitly. Debian's `wine`
# wrapper prefers the 32-bit loader once wine32 is installed, and that loader cannot
# start 64-bit programs in a prefix made without 32-bit support.
if [ -x /usr/lib/wine/wine64 ]; then
  TARVELO_WINE=/usr/lib/wine/wine64
elif command -v wine64 >/dev/null 2>&1; then
  TARVELO_WINE=$(command -v wine64)
else
  TARVELO_WINE=wine
fi
export WINELOADER="$TARVELO_WINE"
# Whether 32-bit programs can run too; a prefix records this when it is made.
if [ -x /usr/lib/wine/wine ]; then TARVELO_WINE_WOW64=yes; else TARVELO_WINE_WOW64=no; fi
if [ -x /usr/lib/wine/wineserver64 ]; then
  TARVELO_WINESERVER=/usr/lib/wine/wineserver64
else
  TARVELO_WINESERVER=wineserver
fi
export WINESERVER="$TARVELO_WINESERVER"
