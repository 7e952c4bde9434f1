#!/usr/bin/env bash
# Reliability figure for "Adapset /restore" (not a CI test): the built Adapset.exe
# restores files mutated from real snapshots it wrote on a seeded machine, under Wine in
# the build's test prefix and a Wine session of its own; prints crashes, hangs, refused
# runs that changed anything under Services or NetworkCards, accepted runs that wrote
# outside the allow-list, and the statuses seen. Do not run it while ctest runs on the
# same build.
# Usage: scripts/adapset-restore-reliability.sh [BUILD_DIR] [RUNS] [SEED]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd)
runs=${2:-2000}
seed=${3:-}
program="$build/adapter_tool/benchmark/adapset_restore_reliability.exe"
[ -f "$program" ] || { echo "$program is missing: build first" >&2; exit 1; }
bash "$root/scripts/test-session.sh" start "$build" >/dev/null
trap 'bash "$root/scripts/test-session.sh" stop "$build"' EXIT
"$build/wine-run" "$program" "$runs" $seed
