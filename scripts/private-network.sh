#!/usr/bin/env bash
# Runs a command inside a private network namespace of its own, with only the loopback
# interface up: whatever the command sends (the connection checks' ICMP echoes and DNS
# queries included) can reach no other machine. As root through `unshare -n`; otherwise
# through a user namespace as well (`unshare -r -n`), or sudo.
# Usage: scripts/private-network.sh COMMAND [ARGS...]
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: $0 COMMAND [ARGS...]" >&2; exit 2; }
here="$(cd "$(dirname "$0")" && pwd)"

if [ "${TARVELO_PRIVATE_NETWORK:-}" = "$$" ]; then
  # Inside the new namespace: loopback up, then the command.
  ip link set lo up
  if ! "$here/private-network.sh" --check; then
    echo "private-network: the namespace is not private" >&2
    exit 1
  fi
  exec "$@"
fi

if [ "$1" = --check ]; then
  # Private: no interface but loopback and the test modem's veth pair.
  others=$(ip -o link show | awk -F': ' '{print $2}' | sed 's/@.*//' | grep -vxE 'lo|tpc|tmodem' || true)
  [ -z "$others" ]
  exit $?
fi

if [ "$(id -u)" -eq 0 ]; then
  exec unshare -n bash -c 'export TARVELO_PRIVATE_NETWORK=$$; exec "$0" "$@"' "$here/private-network.sh" "$@"
elif unshare -r -n true 2>/dev/null; then
  exec unshare -r -n bash -c 'export TARVELO_PRIVATE_NETWORK=$$; exec "$0" "$@"' "$here/private-network.sh" "$@"
else
  exec sudo unshare -n bash -c 'export TARVELO_PRIVATE_NETWORK=$$; exec "$0" "$@"' "$here/private-network.sh" "$@"
fi
