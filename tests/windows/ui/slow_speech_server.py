#!/usr/bin/env python3
"""A scripted speech service for the UI tests: it answers the speech request slowly, a piece at a
time, so that a test can act while Tarvinel reads the answer, and serves the audio it points to.

Every event goes to the log, one line each: "page N QUERY" when a request arrives, "page-done N"
when its answer has been sent, "audio N" when audio N is fetched. Prints "ready" once it listens.
"""
import argparse
import http.server
import itertools
import socketserver
import sys
import threading
import time

FRAME = bytes([0xFF, 0xFB, 0x90, 0xC4]) + bytes(413)  # MPEG-1 layer III, 128 kbit/s, 44.1 kHz, mono
AUDIO = FRAME * 12


class Service(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    counter = itertools.count(1)
    lock = threading.Lock()

    def log_message(self, *args):
        pass

    def note(self, line):
        with Service.lock, open(self.server.log_path, "a", encoding="ascii") as log:
            log.write(line + "\n")

    def do_GET(self):
        if self.path.startswith("/bin/makeColorPlusGuest.jsp?"):
            self.answer_page()
        elif self.path.startswith("/audio/"):
            self.answer_audio()
        else:
            self.send_error(404)

    def answer_page(self):
        n = next(Service.counter)
        self.note(f"page {n} {self.path.split('?', 1)[1]}")
        host = self.headers.get("Host", "localhost")
        player = (f"<embed type='audio/mpeg' name='Products/MediaPlayer/' src='http://{host}/audio/{n}.mp3'"
                  " width='0' height='0' autostart='true'>")
        pieces = self.server.pieces
        filler = "<!-- " + "speech " * 140 + "-->\n"
        body = ("<html><body>\n" + filler * pieces + player + "\n</body></html>\n").encode("ascii")
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        step = max(1, len(body) // pieces)
        for start in range(0, len(body), step):
            self.wfile.write(body[start:start + step])
            self.wfile.flush()
            time.sleep(self.server.delay)
        self.note(f"page-done {n}")

    def answer_audio(self):
        n = self.path[len("/audio/"):].split(".")[0]
        self.note(f"audio {n}")
        self.send_response(200)
        self.send_header("Content-Type", "audio/mpeg")
        self.send_header("Content-Length", str(len(AUDIO)))
        self.end_headers()
        self.wfile.write(AUDIO)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--address", required=True)
    parser.add_argument("--port", type=int, default=80)
    parser.add_argument("--log", required=True)
    parser.add_argument("--pieces", type=int, default=8)
    parser.add_argument("--delay", type=float, default=0.5)
    args = parser.parse_args()
    server = Server((args.address, args.port), Service)
    server.log_path, server.pieces, server.delay = args.log, args.pieces, args.delay
    open(args.log, "w").close()
    print("ready", flush=True)
    sys.stdout.close()
    server.serve_forever()


if __name__ == "__main__":
    main()
