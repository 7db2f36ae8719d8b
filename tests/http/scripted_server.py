#!/usr/bin/env python3
"""A scripted HTTP server for the Windows tests of the HTTP client.

It records every request it receives byte for byte and answers each with the script the test gave
for its path: exact bytes, pauses, waits for another request, a dropped connection. It knows no
HTTP beyond finding where a request ends (blank line, then Content-Length bytes).

Control, on the same port: a connection whose first line starts with "CTL " carries one command.
  CTL ANSWER <path> <n>\\n<n bytes of script>   the answer to every later request for <path>; "OK\\n"
  CTL TAKE\\n                                   the requests received so far, oldest first, each as
                                               "<n>\\n<n bytes>", and forgets them
Script steps, one after another:
  send <n>\\n<n bytes>         send the bytes as they are
  fill <n> <byte>\\n           send n copies of a byte (decimal), in large blocks
  sleep <ms>\\n                pause
  wait <path> <ms>\\n          pause until a request for <path> has arrived (gives up after ms)
  close\\n                     drop the connection, whatever was promised
A request for a path without a script gets an empty 404 answer.

Usage: scripted_server.py PORT_FILE. Listens on 127.0.0.1 at a free port, writes the port to
PORT_FILE once it listens, and ends when its parent does or on SIGTERM.
"""

import os
import signal
import socket
import socketserver
import sys
import threading
import time

FILL_BLOCK = 1 << 20


class State:
    def __init__(self):
        self.lock = threading.Condition()
        self.answers = {}
        self.requests = []  # (path, bytes) not yet taken
        self.seen_paths = []  # every path received, for "wait"

    def record(self, path, data):
        with self.lock:
            self.requests.append(data)
            self.seen_paths.append(path)
            self.lock.notify_all()

    def wait_for(self, path, seconds):
        deadline = time.monotonic() + seconds
        with self.lock:
            while path not in self.seen_paths:
                left = deadline - time.monotonic()
                if left <= 0:
                    return False
                self.lock.wait(left)
            return True


STATE = State()


class Reader:
    """Reads lines and exact byte counts from a socket, keeping what arrives beyond them."""

    def __init__(self, sock):
        self.sock = sock
        self.buffer = b""

    def fill(self):
        data = self.sock.recv(65536)
        if not data:
            raise EOFError
        self.buffer += data

    def until(self, marker):
        while marker not in self.buffer:
            self.fill()
        end = self.buffer.index(marker) + len(marker)
        head, self.buffer = self.buffer[:end], self.buffer[end:]
        return head

    def exactly(self, n):
        while len(self.buffer) < n:
            self.fill()
        data, self.buffer = self.buffer[:n], self.buffer[n:]
        return data


def content_length(head):
    for line in head.split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            try:
                return int(value.strip())
            except ValueError:
                return 0
    return 0


def play(sock, script):
    """Plays a script; returns False when it dropped the connection."""
    r = Reader(None)
    r.buffer = script
    while r.buffer:
        words = r.until(b"\n").decode("ascii").split()
        op = words[0]
        if op == "send":
            sock.sendall(r.exactly(int(words[1])))
        elif op == "fill":
            n, block = int(words[1]), bytes([int(words[2])]) * FILL_BLOCK
            while n > 0:
                sock.sendall(block[: min(n, FILL_BLOCK)])
                n -= FILL_BLOCK
        elif op == "sleep":
            time.sleep(int(words[1]) / 1000)
        elif op == "wait":
            STATE.wait_for(words[1], int(words[2]) / 1000)
        elif op == "close":
            return False
        else:
            raise ValueError("unknown script step " + op)
    return True


def control(sock, reader, line):
    words = line.decode("ascii").split()
    if words[1] == "ANSWER":
        script = reader.exactly(int(words[3]))
        with STATE.lock:
            STATE.answers[words[2]] = script
        sock.sendall(b"OK\n")
    elif words[1] == "TAKE":
        with STATE.lock:
            taken, STATE.requests = STATE.requests, []
        sock.sendall(b"".join(b"%d\n" % len(r) + r for r in taken))


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        sock = self.request
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        reader = Reader(sock)
        try:
            while True:
                while len(reader.buffer) < 4:
                    reader.fill()
                if reader.buffer.startswith(b"CTL "):
                    control(sock, reader, reader.until(b"\n"))
                    return
                head = reader.until(b"\r\n\r\n")
                data = head + reader.exactly(content_length(head))
                parts = head.split(b" ", 2)
                path = parts[1].decode("latin-1") if len(parts) > 1 else ""
                STATE.record(path, data)
                with STATE.lock:
                    script = STATE.answers.get(path)
                if script is None:
                    sock.sendall(b"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n")
                elif not play(sock, script):
                    return
        except (EOFError, ConnectionError):
            return


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def handle_error(self, request, client_address):
        pass


def main():
    port_file = sys.argv[1]
    server = Server(("127.0.0.1", 0), Handler)
    parent = os.getppid()

    def watch_parent():
        while os.getppid() == parent:
            time.sleep(0.5)
        os._exit(0)

    threading.Thread(target=watch_parent, daemon=True).start()
    signal.signal(signal.SIGTERM, lambda *_: os._exit(0))
    with open(port_file + ".tmp", "w") as f:
        f.write("%d\n" % server.server_address[1])
    os.rename(port_file + ".tmp", port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
