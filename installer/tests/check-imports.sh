#!/usr/bin/env bash
# Every shipped .exe imports only DLLs that come with Windows: no MinGW runtime
# (libstdc++, libgcc, winpthread) or any other DLL that would have to ship beside it.
# No socket library either: the programs convert addresses themselves, so nothing is
# loaded by name before the DLL search is restricted to the system directory.
# The programs (every .exe but the installer) import no ShellExecute* function: they
# start other programs by full path, never through the shell's file associations,
# which any process of the user could redirect.
# --without NAME=DLL: the program NAME must not import DLL at all (both programs do
# without the shell library, so that a run loads only what its work needs).
# Usage: check-imports.sh OBJDUMP [--without NAME=DLL]... EXE...
set -euo pipefail
objdump=$1
shift
refused=" "
while [ "${1:-}" = --without ]; do
  refused+="$(echo "$2" | tr 'A-Z' 'a-z') "
  shift 2
done
system_dlls="advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll
  oleaut32.dll shell32.dll shlwapi.dll user32.dll version.dll"
system_dlls=" $(echo $system_dlls) "
failures=0
for exe in "$@"; do
  if ! dump=$("$objdump" -p "$exe" 2>&1); then
    echo "FAILED: $exe cannot be read: $dump"
    failures=$((failures + 1))
    continue
  fi
  imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  if [ -z "$imports" ]; then
    echo "FAILED: $exe shows no imports at all"
    failures=$((failures + 1))
    continue
  fi
  for dll in $imports; do
    case "$refused" in
      *" $(basename "$exe" | tr 'A-Z' 'a-z')=$dll "*)
        echo "FAILED: $(basename "$exe") imports $dll, which it must not load"
        failures=$((failures + 1))
        ;;
    esac
    case "$system_dlls" in
      *" $dll "*) ;;
      *)
        echo "FAILED: $(basename "$exe") imports $dll, which does not come with Windows"
        failures=$((failures + 1))
        ;;
    esac
  done
  case "$(basename "$exe")" in
    TarveloIP-setup-*) ;;
    *)
      shell_calls=$(printf '%s\n' "$dump" | grep -oE '\bShellExecute[A-Za-z]*' | sort -u || true)
      if [ -n "$shell_calls" ]; then
        echo "FAILED: $(basename "$exe") imports $(echo $shell_calls), which follows file associations"
        failures=$((failures + 1))
      fi
      ;;
  esac
  echo "$(basename "$exe"): $(echo $imports)"
done
[ "$failures" -eq 0 ]
