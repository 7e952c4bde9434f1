#!/usr/bin/env bash
# Runs the real wizard in a sandbox Wine prefix of its own (build/win64/demo-prefix, a
# copy of the test prefix, removed afterwards) seeded with a demo laptop as Windows 10
# lays it out: wired Ethernet, Wi-Fi and a Bluetooth network. Never touches ~/.wine or the host's network settings.
#
# With a usable desktop display (and not CI=true) the wizard opens there for the user;
# otherwise, or with --headless, it runs on an Xvfb display of its own and a demo
# driver types 192.168.5.20, presses Next and Finish and saves a screenshot of each
# page in build/win64/demo/. Either way the adapters' settings are printed before and
# after (the wired one changed, the others not), and the restart that Finish asks for
# is caught by a stand-in. The whole demo runs in a private network namespace
# (scripts/private-network.sh) with a test modem that answers the wizard's connection
# checks (scripts/modem.sh), so its packets reach no other machine.
# Usage: scripts/demo.sh [--headless|--interactive]
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${TARVELO_PRIVATE_NETWORK:-}" != "$$" ] && ! scripts/private-network.sh --check; then
  exec scripts/private-network.sh scripts/demo.sh "$@"
fi
build="$PWD/build/win64"
prefix="$build/demo-prefix"
output="$build/demo"
mode=auto
for arg in "$@"; do
  case "$arg" in
  --headless) mode=headless ;;
  --interactive) mode=interactive ;;
  *) echo "usage: $0 [--headless|--interactive]" >&2; exit 2 ;;
  esac
done
if [ "$mode" = auto ]; then
  if [ "${CI:-}" != true ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    mode=interactive
  else
    mode=headless
  fi
fi

. scripts/wine-loader.sh
driver="$build/wizard/demo/tarvelo_demo.exe"
if [ ! -f "$build/wineprefix/.tarvelo-ready" ] || [ ! -f "$driver" ]; then
  echo "demo: build first (scripts/setup.sh --build-only)" >&2
  exit 1
fi
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }

export WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH=win64 LOCPATH="$build/locale"
export WINEDLLOVERRIDES="winemenubuilder.exe=d"
export TARVELO_BUILD_DIR="$(winpath "$build")"
xvfb_pid=
cleanup() {
  scripts/modem.sh down "$build/demo-env" >/dev/null 2>&1 || true
  "$TARVELO_WINESERVER" -k >/dev/null 2>&1 || true
  "$TARVELO_WINESERVER" -w >/dev/null 2>&1 || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" >/dev/null 2>&1 || true
  rm -rf "$prefix"
}
trap cleanup EXIT

echo "== Demo ($mode): TarveloIP in a sandbox Wine prefix ($prefix)"
rm -rf "$prefix" "$output"
mkdir -p "$output"
cp -a "$build/wineprefix" "$prefix"
# The modem answers: the closing page shows both checks passed.
scripts/modem.sh up "$build/demo-env" 192.168.5.254 "$(sed -n 's/^#define TARVELO_DNS_PRIMARY "\(.*\)"$/\1/p' \
  "$build/wizard/generated/ProviderDns.h")"

if [ "$mode" = headless ]; then
  fifo="$build/demo-xvfb.fifo"
  rm -f "$fifo"
  mkfifo "$fifo"
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" </dev/null >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r -t 30 display <"$fifo" || true
  rm -f "$fifo"
  [ -n "${display:-}" ] || { echo "demo: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$display"
fi

# One session for the whole demo (Wine refills the network cards when a session
# starts, so the driver seeds after this), its services writing nowhere.
setsid "$TARVELO_WINESERVER" -p </dev/null >/dev/null 2>&1 || true
env LC_ALL=zh_TW.BIG5 "$TARVELO_WINE" cmd /c exit </dev/null >/dev/null 2>&1
if [ "$mode" = interactive ]; then
  # On a desktop, let the window manager frame the wizard's windows.
  env LC_ALL=zh_TW.BIG5 "$TARVELO_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d Y /f \
    </dev/null >/dev/null 2>&1
fi

status=0
env LC_ALL=zh_TW.BIG5 "$TARVELO_WINE" "$driver" "--$mode" "$(winpath "$output")" </dev/null || status=$?

for shot in "$output"/*.bmp; do
  [ -e "$shot" ] || continue
  convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"
done
if ls "$output"/*.png >/dev/null 2>&1; then
  echo "Screenshots:"
  ls -1 "$output"/*.png | sed 's/^/  /'
fi
[ "$status" -eq 0 ] && echo "== Demo done" || echo "== Demo failed (status $status)" >&2
exit "$status"
