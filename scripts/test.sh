#!/usr/bin/env bash
# Sets up and builds (scripts/setup.sh --build-only: no demo), then runs every test
# under Wine: the 64-bit build's tests, then the 32-bit build's release checks (unless
# TARVELO_SKIP_WIN32=1). The tests run inside a private network namespace
# (scripts/private-network.sh: loopback only, plus the test modem that the tests of the
# connection checks add), so no packet they send can reach another machine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --build-only
scripts/private-network.sh ctest --preset win64 "$@"
if [ "${TARVELO_SKIP_WIN32:-0}" != 1 ]; then
  scripts/private-network.sh ctest --preset win32 "$@"
fi
