#!/usr/bin/env python3
"""Loads the store service the way an attacker would, until the given seconds have passed.

attack.py PORT SECONDS slow     200 connections that send their headers one byte a second (reopened when closed)
attack.py PORT SECONDS signin   five sign-in loops with wrong passwords, each request from another 127.0.x.y
attack.py PORT SECONDS bodies   eight connections at a time announcing and sending 50 MB bodies
Prints one line: what was done and how the service answered.
"""
import collections
import json
import selectors
import socket
import sys
import threading
import time

port, seconds, mode = int(sys.argv[1]), float(sys.argv[2]), sys.argv[3]
deadline = time.monotonic() + seconds
statuses = collections.Counter()
lock = threading.Lock()


def count(status):
    with lock:
        statuses[status] += 1


def connect(source="127.0.0.1"):
    s = socket.socket()
    s.bind((source, 0))
    s.connect(("127.0.0.1", port))
    return s


def status_of(s, timeout=5):
    s.settimeout(timeout)
    data = b""
    try:
        while b"\r\n" not in data:
            chunk = s.recv(4096)
            if not chunk:
                break
            data += chunk
    except OSError:
        pass
    return data[9:12].decode() or "none"


def slow():
    head = b"GET /api/store/home HTTP/1.1\r\nHost: bench\r\nX-Slow: " + b"a" * 10000
    sel = selectors.DefaultSelector()
    conns = {}

    def open_one():
        s = connect()
        s.setblocking(False)
        conns[s] = 0
        sel.register(s, selectors.EVENT_READ)

    for _ in range(200):
        open_one()
    statuses["opened"] = 200
    while time.monotonic() < deadline:
        for key, _ in sel.select(timeout=0):  # answered (408) or closed: open another
            s = key.fileobj
            sel.unregister(s)
            del conns[s]
            s.close()
            count("closed")
            open_one()
        for s, sent in list(conns.items()):
            try:
                s.send(head[sent:sent + 1])
                conns[s] = sent + 1
            except OSError:
                pass
        time.sleep(1)


def signin(loop):
    body = json.dumps({"email": "member@vexlo.test", "password": "guess"}).encode()
    request = (b"POST /api/auth/login HTTP/1.1\r\nHost: bench\r\nContent-Type: application/json\r\n"
               b"Content-Length: %d\r\nConnection: close\r\n\r\n" % len(body)) + body
    n = 0
    while time.monotonic() < deadline:
        n += 1
        source = "127.%d.%d.%d" % (loop + 1, (n // 250) % 250 + 1, n % 250 + 2)
        try:
            s = connect(source)
            s.sendall(request)
            count(status_of(s))
            s.close()
        except OSError:
            count("error")


def bodies():
    head = (b"POST /api/auth/login HTTP/1.1\r\nHost: bench\r\nContent-Type: application/json\r\n"
            b"Content-Length: 52428800\r\n\r\n")
    chunk = b"x" * (256 * 1024)
    while time.monotonic() < deadline:
        s = None
        try:
            s = connect()
            s.sendall(head)
            s.settimeout(2)
            for _ in range(200):  # 50 MB
                s.sendall(chunk)
        except OSError:
            pass
        if s:
            count(status_of(s, 2))
            s.close()


if mode == "slow":
    workers = [threading.Thread(target=slow)]
elif mode == "signin":
    workers = [threading.Thread(target=signin, args=(i,)) for i in range(5)]
elif mode == "bodies":
    workers = [threading.Thread(target=bodies) for _ in range(8)]
else:
    sys.exit("unknown attack " + mode)
for w in workers:
    w.start()
for w in workers:
    w.join()
print("%s: %s" % (mode, " ".join("%s=%d" % item for item in sorted(statuses.items()))))
