#!/usr/bin/env bash
# The test modem: a veth pair (tpc, tmodem) whose far end holds the gateway's and the DNS
# servers' addresses. Only inside a private network namespace (scripts/private-network.sh);
# refuses anywhere else.
#   DNS_SERVER     our small responder (tests/support/dns_responder.py): NOERROR, or what
#                  STATE_DIR/dns-mode says ("relay 192.0.2.53" passes queries to a server below)
#   192.0.2.53     dnsmasq without upstream servers: REFUSED
#   192.0.2.54     dnsmasq keeping every name local: NXDOMAIN
#   192.0.2.55     dnsmasq forwarding to a responder that fails: SERVFAIL
#   192.0.2.56     dnsmasq forwarding to DNS_SERVER: NOERROR
#   192.0.2.57     responder: NOERROR with the root servers, more than 512 bytes
#   192.0.2.58     responder: a flood of datagrams that are not our reply, then NOERROR
# Usage: modem.sh up STATE_DIR GATEWAY DNS_SERVER | modem.sh down STATE_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
action=${1:-}
state=${2:-}
[ -n "$state" ] || { echo "usage: $0 up STATE_DIR GATEWAY DNS_SERVER | down STATE_DIR" >&2; exit 2; }

down() {
  if [ -s "$state/modem-dns.pid" ]; then
    for pid in $(cat "$state/modem-dns.pid"); do kill "$pid" >/dev/null 2>&1 || true; done
  fi
  rm -f "$state/modem-dns.pid" "$state/dns-mode"
  ip link del tpc >/dev/null 2>&1 || true
}

# Starts a server in the background, its process id kept for down.
serve() {
  setsid "$@" </dev/null >>"$state/modem-dns.log" 2>&1 &
  echo $! >>"$state/modem-dns.pid"
}

# dnsmasq on one address only, in the foreground of its own process, reading no
# configuration or hosts file of the machine.
dnsmasq_on() {
  local address=$1
  shift
  serve dnsmasq --keep-in-foreground --conf-file=/dev/null --no-resolv --no-hosts --bind-interfaces \
    --listen-address="$address" --port=53 --user=root --pid-file= "$@"
}

case "$action" in
up)
  [ $# -eq 4 ] || { echo "usage: $0 up STATE_DIR GATEWAY DNS_SERVER" >&2; exit 2; }
  if ! "$here/private-network.sh" --check; then
    echo "modem: not in a private network namespace (run the tests through scripts/test.sh," \
      "or under scripts/private-network.sh); nothing set up" >&2
    exit 1
  fi
  if ! command -v dnsmasq >/dev/null 2>&1; then
    echo "modem: dnsmasq is missing (package dnsmasq-base; scripts/setup.sh installs it)" >&2
    exit 1
  fi
  mkdir -p "$state"
  down
  : >"$state/modem-dns.log"
  ip link add tpc type veth peer name tmodem
  ip addr add "$3/24" dev tmodem
  for address in "$4" 192.0.2.53 192.0.2.54 192.0.2.55 192.0.2.56 192.0.2.57 192.0.2.58 192.0.2.60; do
    ip addr add "$address/32" dev tmodem
  done
  ip link set tmodem up
  ip link set tpc up
  responder="$here/../tests/support/dns_responder.py"
  serve python3 "$responder" "$4" "file:$state/dns-mode"
  serve python3 "$responder" 192.0.2.57 large
  serve python3 "$responder" 192.0.2.58 flood
  serve python3 "$responder" 192.0.2.60 servfail
  dnsmasq_on 192.0.2.53
  dnsmasq_on 192.0.2.54 --server=/#/
  dnsmasq_on 192.0.2.55 --server=192.0.2.60
  dnsmasq_on 192.0.2.56 --server="$4"
  # Up once all eight listen on port 53.
  for _ in $(seq 50); do
    if [ "$(grep -c ":0035 " /proc/net/udp 2>/dev/null)" -ge 8 ]; then
      echo "Modem up: gateway $3, DNS server $4 (and the test servers of 192.0.2.53 to .58)"
      exit 0
    fi
    sleep 0.1
  done
  echo "modem: the DNS servers did not start" >&2
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
