#!/usr/bin/env python3
"""HTTP server on 127.0.0.1 for the update check tests.

Usage: update_server.py LOGFILE. Prints the port it listens on, then serves until
killed. Every request target is appended to LOGFILE (one line each) before the answer.
  /say/<percent-encoded text>   200 with exactly that body
  /body/<n>                     200 with n bytes of "x"
  /endless                      200 with a body that never ends
  /silent                       reads the request and never answers
  /redirect                     302 to /say/ok, empty body
"""
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

LOG_LOCK = threading.Lock()


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def answer(self, status, body, headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        with LOG_LOCK, open(sys.argv[1], "a", encoding="ascii", errors="backslashreplace") as log:
            log.write(self.path + "\n")
        path = self.path.split("?", 1)[0]
        if path.startswith("/say/"):
            self.answer(200, urllib.parse.unquote_to_bytes(path[len("/say/"):]))
        elif path.startswith("/body/"):
            self.answer(200, b"x" * int(path[len("/body/"):]))
        elif path == "/endless":
            self.send_response(200)
            self.end_headers()
            block = b"x" * 4096
            try:
                while True:
                    self.wfile.write(block)
            except OSError:
                pass
        elif path == "/silent":
            time.sleep(3600)
        elif path == "/redirect":
            self.answer(302, b"", [("Location", "/say/ok")])
        else:
            self.answer(404, b"")


def main():
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
