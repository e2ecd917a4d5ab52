#!/usr/bin/env python3
"""A small HTTP(S) server for the network tests; it prints its port on the first line.

Paths (NAME is a file in --root):
  /files/NAME            the file with its Content-Length
  /nolength/NAME         the file without Content-Length (the end of the connection ends it)
  /redirect/N/NAME       N redirections, then /files/NAME
  /status/CODE           an error answer with that status
  /headonly/NAME         HEAD answers as for /files/NAME, GET with 404
  /stall                 accepts the request and never answers
  /slow/NAME             the file in small pieces, a pause after each
A CONNECT request is logged and answered with 404. An absolute address in the request line (a proxy request) is served from its path, and the
request is logged with "PROXY". Every request is logged to --log as one line:
METHOD<tab>TARGET<tab>User-Agent<tab>Accept<tab>Pragma
"""
import argparse
import http.server
import os
import ssl
import sys
import time
import urllib.parse


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def record(self):
        with open(self.server.log_path, "a", encoding="utf-8") as log:
            fields = [self.command, self.path] + [
                self.headers.get(h, "-") for h in ("User-Agent", "Accept", "Pragma")]
            log.write("\t".join(fields) + "\n")

    def file_bytes(self, name):
        path = os.path.join(self.server.root, os.path.basename(name))
        with open(path, "rb") as f:
            return f.read()

    def answer(self, body, length=True, status=200):
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        if length:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def handle_any(self):
        self.record()
        target = self.path
        if target.startswith("http://") or target.startswith("https://"):
            target = urllib.parse.urlsplit(target).path
        parts = target.strip("/").split("/")
        try:
            kind = parts[0]
            if kind == "files":
                self.answer(self.file_bytes(parts[1]))
            elif kind == "nolength":
                self.answer(self.file_bytes(parts[1]), length=False)
            elif kind == "redirect":
                left = int(parts[1])
                where = "/files/" + parts[2] if left <= 1 else "/redirect/%d/%s" % (left - 1, parts[2])
                self.send_response(302)
                self.send_header("Location", where)
                self.send_header("Content-Length", "0")
                self.end_headers()
            elif kind == "headonly":
                if self.command == "HEAD":
                    self.answer(self.file_bytes(parts[1]))
                else:
                    self.send_error(404)
            elif kind == "status":
                self.send_error(int(parts[1]))
            elif kind == "stall":
                time.sleep(3600)
            elif kind == "slow":
                body = self.file_bytes(parts[1])
                self.send_response(200)
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                if self.command != "HEAD":
                    for i in range(0, len(body), 1024):
                        self.wfile.write(body[i:i + 1024])
                        self.wfile.flush()
                        time.sleep(0.2)
            else:
                self.send_error(404)
        except FileNotFoundError:
            self.send_error(404)
        except (BrokenPipeError, ConnectionResetError):
            pass

    do_GET = handle_any
    do_HEAD = handle_any
    do_CONNECT = handle_any  # logged, then refused: no tunnels


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--cert")
    parser.add_argument("--key")
    args = parser.parse_args()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.root = args.root
    server.log_path = args.log
    if args.cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.cert, args.key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
