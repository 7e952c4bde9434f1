#!/usr/bin/env bash
# What ships carries no symbol table and no debugging sections, and its size is
# printed (README records it).
# Usage: check-stripped.sh OBJDUMP EXE...
set -uo pipefail
objdump=$1
shift
failures=0
for exe in "$@"; do
  name=$(basename "$exe")
  if ! header=$("$objdump" -f "$exe" 2>&1) || ! sections=$("$objdump" -h "$exe" 2>&1); then
    echo "FAILED: $exe cannot be read: $header"
    failures=$((failures + 1))
    continue
  fi
  flags=$(printf '%s\n' "$header" | grep -oE 'HAS_SYMS|HAS_DEBUG' | sort -u | tr '\n' ' ')
  if [ -n "$flags" ]; then
    echo "FAILED: $name is not stripped ($flags)"
    failures=$((failures + 1))
  fi
  # By name, or by the flag objdump gives a section of debugging information.
  debug=$(printf '%s\n' "$sections" |
    awk '/^ *[0-9]+ /{name=$2} /^ *[0-9]+ \.(z?debug|stab)/ || /DEBUGGING/{print name}' | sort -u | tr '\n' ' ')
  if [ -n "$debug" ]; then
    echo "FAILED: $name carries debugging sections: $debug"
    failures=$((failures + 1))
  fi
  bytes=$(stat -c %s "$exe")
  echo "$name: $bytes bytes ($(((bytes + 1023) / 1024)) KB)"
done
[ "$failures" -eq 0 ]
