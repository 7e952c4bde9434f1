#!/usr/bin/env bash
# A Wine prefix of its own for the release checks, apart from the one the other tests
# share: the installer and uninstaller run in it, so it must start clean.
# Usage: release-prefix.sh create|destroy BUILD_DIR ARCH
#        release-prefix.sh run BUILD_DIR ARCH PROGRAM [ARGS...]
# ARCH is win64 or win32 (a 32-bit prefix, which needs the 32-bit Wine).
# Programs run without a display unless TARVELO_RELEASE_DISPLAY names one.
set -euo pipefail
action=$1
build=$2
arch=$3
shift 3
export WINEPREFIX="$build/release-prefix" WINEARCH="$arch" WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
export LC_ALL=C.UTF-8
if [ -n "${TARVELO_RELEASE_DISPLAY:-}" ]; then
  export DISPLAY=$TARVELO_RELEASE_DISPLAY
else
  unset DISPLAY
fi

case "$action" in
create)
  if [ "$arch" = win32 ] && [ ! -x /usr/lib/wine/wine ]; then
    echo "The 32-bit Wine is missing (wine32:i386); run scripts/setup.sh" >&2
    exit 1
  fi
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
  wineboot -i >"$build/release-prefix-boot.log" 2>&1
  # A crashing program must end, not wait in the debugger.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f >/dev/null
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 0 /f >/dev/null
  wineserver -w
  echo "Release prefix ($arch) ready in $WINEPREFIX"
  ;;
run)
  exec wine "$@"
  ;;
destroy)
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
  ;;
*)
  echo "usage: $0 create|run|destroy BUILD_DIR ARCH [PROGRAM ARGS...]" >&2
  exit 2
  ;;
esac
