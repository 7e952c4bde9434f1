#!/usr/bin/env bash
# What ships carries no symbol table and no debugging sections, its size is printed in
# KiB (README records it), and a program given a limit fails above it, so growth is
# seen when it happens.
# Usage: check-stripped.sh OBJDUMP [--limit NAME=KIB]... EXE...
set -uo pipefail
objdump=$1
shift
declare -A limits=()
while [ "${1:-}" = --limit ]; do
  limits[${2%%=*}]=${2#*=}
  shift 2
done
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
  kib=$(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1024 }')
  limit=${limits[$name]:-}
  if [ -n "$limit" ] && [ "$bytes" -gt $((limit * 1024)) ]; then
    echo "FAILED: $name is $kib KiB ($bytes bytes), above its limit of $limit KiB"
    failures=$((failures + 1))
  else
    echo "$name: $kib KiB ($bytes bytes)${limit:+, limit $limit KiB}"
  fi
done
[ "$failures" -eq 0 ]
