#!/usr/bin/env bash
# Installs what the project needs on Debian 12 (idempotent, non-interactive), builds
# both programs and their installer for 64-bit Windows, and for 32-bit Windows unless
# TARVELO_SKIP_WIN32=1, then runs the wizard for real in a sandbox Wine prefix
# (scripts/demo.sh: on the desktop when there is one, otherwise headless).
# Usage: scripts/setup.sh [--build-only] [--headless|--interactive]
set -euo pipefail
cd "$(dirname "$0")/.."

build_only=0
demo_args=()
for arg in "$@"; do
  case "$arg" in
  --build-only) build_only=1 ;;
  --headless | --interactive) demo_args+=("$arg") ;;
  *) echo "usage: $0 [--build-only] [--headless|--interactive]" >&2; exit 2 ;;
  esac
done

packages=(
  cmake ninja-build
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
  googletest
  wine wine64
  xvfb xdotool x11-utils imagemagick
  fonts-noto-cjk
  locales
  iproute2 util-linux python3 dnsmasq-base
  nsis
)

# The 32-bit Wine, for the 32-bit build's checks that run its programs; it comes from
# the i386 architecture.
wine32=wine32:i386

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q '^install ok installed$'
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ] || ! installed "$wine32"; then
  wanted=("${missing[@]}")
  installed "$wine32" || wanted+=("$wine32")
  echo "Installing: ${wanted[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  # A mirror in the middle of a sync fails one index now and then: try again, then go
  # on with the indexes that did load (the install itself fails if a package is missing).
  for attempt in 1 2 3; do
    if "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q; then break; fi
    if [ "$attempt" = 3 ]; then
      echo "apt-get update failed three times; installing from the indexes it did load" >&2
    else
      sleep 15
    fi
  done
  if [ ${#missing[@]} -gt 0 ]; then
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
  # Without the i386 index of a mirror (or with it out of step with the amd64 one) the
  # 32-bit Wine cannot be installed; everything else can still be built and tested.
  if ! installed "$wine32" &&
    ! "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$wine32"; then
    echo "WARNING: $wine32 could not be installed; scripts/test.sh will run only the 32-bit" \
      "build's checks that need no 32-bit Wine" >&2
  fi
fi

cmake --preset win64
cmake --build --preset win64
if [ "${TARVELO_SKIP_WIN32:-0}" != 1 ]; then
  cmake --preset win32
  cmake --build --preset win32
fi

if [ "$build_only" = 0 ]; then
  scripts/demo.sh "${demo_args[@]}"
fi
