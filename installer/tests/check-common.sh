# Sourced by the release check scripts: a fresh artifact directory for the check
# ($work), the release prefix script, and failure counting that lets a check go on
# and report every fault before it fails.
# Usage: . check-common.sh BUILD_DIR ARTIFACT_NAME
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
prefix_script="$here/../../scripts/release-prefix.sh"
work="$1/test-artifacts/$2"
rm -rf "$work"
mkdir -p "$work"
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
