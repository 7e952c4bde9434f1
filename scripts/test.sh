#!/usr/bin/env bash
# Sets up and builds (scripts/setup.sh --build-only: no demo), then runs every test
# under Wine: the 64-bit build's tests, then the 32-bit build's release checks (unless
# TARVELO_SKIP_WIN32=1; without the 32-bit Wine, only those that need none). The tests
# run inside a private network namespace (scripts/private-network.sh: loopback only,
# plus the test modem that the tests of the connection checks add), so no packet they
# send can reach another machine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --build-only
scripts/private-network.sh ctest --preset win64 "$@"
if [ "${TARVELO_SKIP_WIN32:-0}" != 1 ]; then
  # The same test of the 32-bit loader as the Wine scripts make (in a subshell: it
  # exports the 64-bit loader).
  if (. scripts/wine-loader.sh && [ "$TARVELO_WINE_WOW64" = yes ]); then
    scripts/private-network.sh ctest --preset win32 "$@"
  else
    # setup.sh could not install the 32-bit Wine (it said why): the checks that run the
    # 32-bit programs cannot run here, the others still do.
    echo "WARNING: no 32-bit Wine (wine32:i386); skipping the 32-bit checks labelled release-prefix" >&2
    scripts/private-network.sh ctest --preset win32 -LE release-prefix "$@"
  fi
fi
