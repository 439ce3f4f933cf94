#!/usr/bin/env python3
"""A plain HTTP server for the device HTTP client tests.

Listens on 127.0.0.1 on a port of the system's choosing, prints "PORT <n>" and serves
POST requests; every path needs Basic authentication as admin with the password given on
the command line. The path picks the answer:
  /ok            200, Content-Length 10, body 0123456789
  /echo          200, the request line, headers and body as the answer body
  /status/<n>    status <n> with a short body
  /nolength      200, a body without Content-Length (ends when the connection closes)
  /huge          200, Content-Length 100000000, then a few bytes and silence
  /stream        200, no Content-Length, 2 MiB of body
  /silent        reads the request and never answers
"""
import base64
import sys
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"
    password = ""

    def log_message(self, fmt, *args):
        pass

    def _body(self):
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length) if length > 0 else b""

    def _send(self, status, body, length=True):
        self.send_response(status)
        if length:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_POST(self):
        body = self._body()
        wanted = "Basic " + base64.b64encode(("admin:" + self.password).encode()).decode()
        if self.headers.get("Authorization") != wanted:
            self.send_response(401)
            self.send_header("WWW-Authenticate", 'Basic realm="device"')
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        path = self.path
        if path == "/ok":
            self._send(200, b"0123456789")
        elif path == "/echo":
            text = self.requestline + "\r\n" + str(self.headers) + body.decode("latin-1")
            self._send(200, text.encode("latin-1"))
        elif path.startswith("/status/"):
            self._send(int(path[len("/status/"):]), b"status")
        elif path == "/nolength":
            self._send(200, b"<config>no length</config>", length=False)
        elif path == "/huge":
            self.send_response(200)
            self.send_header("Content-Length", "100000000")
            self.end_headers()
            self.wfile.write(b"x" * 100)
            self.wfile.flush()
            time.sleep(30)
        elif path == "/stream":
            self.send_response(200)
            self.end_headers()
            chunk = b"y" * 65536
            try:
                for _ in range(32):
                    self.wfile.write(chunk)
            except OSError:
                pass
        elif path == "/silent":
            time.sleep(30)
        else:
            self._send(404, b"")


def main():
    Handler.password = sys.argv[1] if len(sys.argv) > 1 else "password"
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    print("PORT %d" % server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
