#!/usr/bin/env python3
"""The test modem's DNS server: answers every standard query on ADDRESS port 53 with an
empty NOERROR reply (its ID and question echoed). Only for the private network of a test.
Usage: dns_responder.py ADDRESS"""
import socket
import sys

sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
sock.bind((sys.argv[1], 53))
while True:
    query, peer = sock.recvfrom(512)
    if len(query) < 12 or query[2] & 0x80:
        continue  # no query: no reply
    flags = bytes([0x80 | (query[2] & 0x79), 0x80])  # QR, the query's opcode and RD; RA
    reply = query[:2] + flags + query[4:6] + b"\0\0\0\0\0\0" + query[12:]
    sock.sendto(reply, peer)
