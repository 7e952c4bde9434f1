#!/usr/bin/env bash
# The shipped Adapset.exe of this build's architecture runs in the release prefix:
# the listing, then one configuration run for a seeded adapter with the recording
# DHCP client double over the prefix's system32 dhcpcsvc.dll (the notification's
# arguments are checked); the prefix's own library is put back afterwards.
# Usage: check-tool-smoke.sh BUILD_DIR ARCH SMOKE_DIR
#        (SMOKE_DIR: Adapset.exe, system32/dhcpcsvc.dll)
set -uo pipefail
build=$1 arch=$2 smoke=$3
. "$(dirname "$0")/check-common.sh" "$build" release-tool-smoke
run() { WINEDLLOVERRIDES="dhcpcsvc=n" bash "$prefix_script" run "$build" "$arch" "$@"; }
adapter='HKLM\SYSTEM\CurrentControlSet\Services\TarveloSmoke'
system_dhcp="$build/release-prefix/drive_c/windows/system32/dhcpcsvc.dll"
cp "$system_dhcp" "$work/dhcpcsvc.dll.prefix" 2>/dev/null
trap 'if [ -f "$work/dhcpcsvc.dll.prefix" ]; then cp "$work/dhcpcsvc.dll.prefix" "$system_dhcp"; else rm -f "$system_dhcp"; fi' EXIT
cp "$smoke/system32/dhcpcsvc.dll" "$system_dhcp" || fail "cannot put the DHCP client double into system32"

run "$smoke/Adapset.exe" >"$work/listing.txt" 2>"$work/listing.err"
status=$?
[ "$status" = 0 ] || fail "listing ended with status $status"
grep -q '^adapset - Version 2.2' "$work/listing.txt" || fail "no usage banner"
grep -q '^Network adapters:' "$work/listing.txt" || fail "no adapter list"
grep -qP '^1:\t' "$work/listing.txt" || fail "no adapter 1 listed (Wine lists the host's interfaces)"
[ -s "$work/listing.err" ] && fail "listing wrote to standard error: $(cat "$work/listing.err")"

run reg add "$adapter\\Parameters\\Tcpip" /v IPAddress /t REG_MULTI_SZ /d 0.0.0.0 /f >/dev/null
log="$work/notify.log"
log_windows="Z:$(printf '%s' "$log" | tr '/' '\\')"
ADAPSET_DOUBLE_LOG="$log_windows" run "$smoke/Adapset.exe" TarveloSmoke 192.168.5.20 255.255.255.0 192.168.5.254 \
  203.0.113.53,198.51.100.53 >"$work/configure.txt" 2>&1
status=$?
[ "$status" = 0 ] || fail "configuration run ended with status $status: $(cat "$work/configure.txt")"
expected='server=null adapter=TarveloSmoke new=1 index=0 ip=192.168.5.20 mask=255.255.255.0 action=0'
[ "$(cat "$log" 2>/dev/null)" = "$expected" ] || fail "DHCP notification: got '$(cat "$log" 2>/dev/null)'"
run reg query "$adapter\\Parameters\\Tcpip" >"$work/adapter-key.txt" 2>&1
grep -q 'IPAddress .*192\.168\.5\.20' "$work/adapter-key.txt" || fail "IPAddress not written"
grep -q 'DefaultGateway .*192\.168\.5\.254' "$work/adapter-key.txt" || fail "DefaultGateway not written"
grep -q 'EnableDHCP .*0x0' "$work/adapter-key.txt" || fail "EnableDHCP not written as 0"
run reg delete "$adapter" /f >/dev/null 2>&1

[ "$failures" = 0 ] && echo "Adapset ($arch) lists and configures"
[ "$failures" = 0 ]
