#!/usr/bin/python3
"""Loopback HTTP server for the tests: files under --root, plus /status/<code>.

Prints the port on one line once listening; exits when stdin closes or on SIGTERM.
"""
import argparse
import functools
import os
from http.server import SimpleHTTPRequestHandler, ThreadingHTTPServer

from fixture_lifetime import end_with_parent


class Handler(SimpleHTTPRequestHandler):
    def do_GET(self):
        if self.path.startswith("/status/"):
            try:
                code = int(self.path[len("/status/"):])
            except ValueError:
                code = 400
            body = ("status %d\n" % code).encode()
            self.send_response(code)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            return
        super().do_GET()

    def log_message(self, *args):
        pass



def main():
    p = argparse.ArgumentParser()
    p.add_argument("--root", required=True)
    args = p.parse_args()
    handler = functools.partial(Handler, directory=args.root)
    server = ThreadingHTTPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    end_with_parent()
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
