#!/usr/bin/env bash
# Sets up and builds (scripts/setup.sh), then runs every test under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
ctest --preset win64 "$@"
