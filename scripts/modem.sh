#!/usr/bin/env bash
# The test modem: a veth pair (tpc, tmodem) whose far end holds the gateway's and the DNS
# server's addresses, and a small DNS responder bound there. Only inside a private
# network namespace (scripts/private-network.sh); refuses anywhere else.
# Usage: modem.sh up STATE_DIR GATEWAY DNS_SERVER | modem.sh down STATE_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
action=${1:-}
state=${2:-}
[ -n "$state" ] || { echo "usage: $0 up STATE_DIR GATEWAY DNS_SERVER | down STATE_DIR" >&2; exit 2; }

down() {
  if [ -s "$state/modem-dns.pid" ]; then
    kill "$(cat "$state/modem-dns.pid")" >/dev/null 2>&1 || true
  fi
  rm -f "$state/modem-dns.pid"
  ip link del tpc >/dev/null 2>&1 || true
}

case "$action" in
up)
  [ $# -eq 4 ] || { echo "usage: $0 up STATE_DIR GATEWAY DNS_SERVER" >&2; exit 2; }
  if ! "$here/private-network.sh" --check; then
    echo "modem: not in a private network namespace (run the tests through scripts/test.sh," \
      "or under scripts/private-network.sh); nothing set up" >&2
    exit 1
  fi
  mkdir -p "$state"
  down
  ip link add tpc type veth peer name tmodem
  ip addr add "$3/24" dev tmodem
  ip addr add "$4/32" dev tmodem
  ip link set tmodem up
  ip link set tpc up
  setsid python3 "$here/../tests/support/dns_responder.py" "$4" </dev/null >"$state/modem-dns.log" 2>&1 &
  echo $! >"$state/modem-dns.pid"
  # Up once the responder listens.
  for _ in $(seq 50); do
    if grep -q ":0035 " /proc/net/udp 2>/dev/null; then
      echo "Modem up: gateway $3, DNS server $4"
      exit 0
    fi
    sleep 0.1
  done
  echo "modem: the DNS responder did not start" >&2
  cat "$state/modem-dns.log" >&2 || true
  exit 1
  ;;
down)
  down
  echo "Modem down"
  ;;
*)
  echo "usage: $0 up STATE_DIR GATEWAY DNS_SERVER | down STATE_DIR" >&2
  exit 2
  ;;
esac
