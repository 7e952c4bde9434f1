#!/usr/bin/env bash
# Sets up and builds (scripts/setup.sh --build-only: no demo), then runs every test
# under Wine: the 64-bit build's tests, then the 32-bit build's release checks (unless
# TARVELO_SKIP_WIN32=1).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --build-only
ctest --preset win64 "$@"
if [ "${TARVELO_SKIP_WIN32:-0}" != 1 ]; then
  ctest --preset win32 "$@"
fi
