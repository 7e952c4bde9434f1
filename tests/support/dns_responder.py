#!/usr/bin/env python3
"""The test modem's small DNS server, bound to ADDRESS port 53. Only for the private
network of a test. Usage: dns_responder.py ADDRESS [MODE]

MODE (default "answer"), for every standard query:
  answer    an empty NOERROR reply (its ID and question echoed)
  servfail  the same with result code SERVFAIL
  large     NOERROR with the thirteen root servers' names: far more than 512 bytes
  flood     200 replies to other IDs and 20 from port 5353, then the NOERROR reply
  file:PATH what the first line of PATH says, read for each query: "answer" (also when
            the file is missing), or "relay A.B.C.D" to pass the query to the server
            there and its reply back unchanged"""
import socket
import sys

address = sys.argv[1]
mode = sys.argv[2] if len(sys.argv) > 2 else "answer"
sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
sock.bind((address, 53))
other = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
other.bind((address, 5353))


def reply_to(query, code=0, records=b"", answers=0, additional=0):
    flags = bytes([0x80 | (query[2] & 0x79), 0x80 | code])  # QR, the query's opcode and RD; RA
    counts = answers.to_bytes(2, "big") + b"\0\0" + additional.to_bytes(2, "big")
    return query[:2] + flags + query[4:6] + counts + query[12:] + records


def root_servers():
    """The thirteen NS records of the root and an address record for each."""
    names = [bytes([14]) + (letter + "-root-servers").encode() + b"\x03net\x00" for letter in "abcdefghijklm"]
    records = b""
    for name in names:
        records += b"\x00\x00\x02\x00\x01\x00\x07\xe9\x00" + bytes([0, len(name)]) + name
    for i, name in enumerate(names):
        records += name + b"\x00\x01\x00\x01\x00\x07\xe9\x00\x00\x04" + bytes([192, 0, 2, i + 1])
    return records


def relay(query, server):
    upstream = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    upstream.settimeout(3)
    try:
        upstream.sendto(query, (server, 53))
        return upstream.recvfrom(65535)[0]
    except OSError:
        return None
    finally:
        upstream.close()


def current_mode():
    if not mode.startswith("file:"):
        return mode
    try:
        with open(mode[5:]) as f:
            return f.readline().strip() or "answer"
    except OSError:
        return "answer"


while True:
    query, peer = sock.recvfrom(65535)
    if len(query) < 12 or query[2] & 0x80:
        continue  # no query: no reply
    now = current_mode()
    if now == "servfail":
        sock.sendto(reply_to(query, 2), peer)
    elif now == "large":
        sock.sendto(reply_to(query, 0, root_servers(), 13, 13), peer)
    elif now == "flood":
        for i in range(200):
            wrong = bytearray(reply_to(query))
            wrong[1] ^= 1 + i % 255
            sock.sendto(bytes(wrong), peer)
        for _ in range(20):
            other.sendto(reply_to(query), peer)
        sock.sendto(reply_to(query), peer)
    elif now.startswith("relay "):
        answer = relay(query, now[6:])
        if answer is not None:
            sock.sendto(answer, peer)
    else:
        sock.sendto(reply_to(query), peer)
