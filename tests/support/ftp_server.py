#!/usr/bin/python3
"""Loopback FTP server for the tests: pyftpdlib on 127.0.0.1 and a free port.

Prints the port on one line once listening; exits when stdin closes or on SIGTERM.
"""
import argparse
import os
import socket
import warnings

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer

from fixture_lifetime import end_with_parent

PERMS = "elradfmwMT"


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--root", required=True)
    p.add_argument("--user", default="tester")
    p.add_argument("--password", default="secret")
    p.add_argument("--login-subdir", default="")
    p.add_argument("--idle-timeout", type=int, default=0)
    p.add_argument("--idle-silent", action="store_true")  # drop without a 421 reply
    p.add_argument("--count-file", default="")
    p.add_argument("--rate", type=int, default=0)  # data bytes a second each way; 0: no limit
    p.add_argument("--list-dots", action="store_true")  # listings start with "." and ".."
    p.add_argument("--port", type=int, default=0)  # 0: a free one
    p.add_argument("--tls-cert", default="")  # PEM with certificate and key: FTP over TLS
    p.add_argument("--tls-implicit", action="store_true")  # TLS from the first byte
    p.add_argument("--tls-required", action="store_true")  # no plain log-ins, no plain data
    return p.parse_args()


def base_handler(args):
    if not args.tls_cert:
        return FTPHandler
    from pyftpdlib.handlers import TLS_DTPHandler, TLS_FTPHandler

    class TlsData(TLS_DTPHandler):
        """A client may start the data connection's handshake before it
        sends the transfer command (libcurl does); pyftpdlib would take
        that early read for a hang-up and close the connection."""

        def readable(self):
            if self._ssl_accepting or self._ssl_want_read:
                return True
            return super().readable()

    class Tls(TLS_FTPHandler):
        dtp_handler = TlsData
        certfile = args.tls_cert
        tls_control_required = args.tls_required
        tls_data_required = args.tls_required

        def handle(self):
            if args.tls_implicit:
                self.secure_connection(self.ssl_context)
            super().handle()

    return Tls


def make_handler(args):
    class Handler(base_handler(args)):
        # Names that are not valid UTF-8 (GBK on old servers) pass through as raw bytes.
        unicode_errors = "surrogateescape"
        banner = "Quillon test server ready."
        permit_foreign_addresses = False
        auth_failed_timeout = 0.1  # tests of a wrong password need no back-off

        _quillonIdler = None

        # pyftpdlib's own idle timer does not restart after a command
        # (1.5.7), so keep one here: each command line restarts it.
        def _restart_idler(self):
            if args.idle_timeout <= 0:
                return
            if self._quillonIdler is not None and not self._quillonIdler.cancelled:
                self._quillonIdler.cancel()
            self._quillonIdler = self.ioloop.call_later(args.idle_timeout, self._idle_expired)

        def _idle_expired(self):
            if self.connected:
                if args.idle_silent:
                    self.close()
                else:
                    self.handle_timeout()
                if args.count_file:
                    with open(args.count_file, "a") as f:
                        f.write("dropped idle\n")

        def found_terminator(self):
            self._restart_idler()
            super().found_terminator()

        def close(self):
            if self._quillonIdler is not None and not self._quillonIdler.cancelled:
                self._quillonIdler.cancel()
            super().close()

        def on_connect(self):
            self._restart_idler()
            if args.count_file:
                with open(args.count_file, "a") as f:
                    f.write("connection\n")

        def ftp_USER(self, line):
            if args.count_file:
                with open(args.count_file, "a") as f:
                    f.write("user\n")
            return super().ftp_USER(line)

        def on_login(self, username):
            if args.login_subdir and username == args.user:
                self.fs.cwd = "/" + args.login_subdir.strip("/")

    if args.list_dots:
        class DotsFS(AbstractedFS):
            def listdir(self, path):
                return [".", ".."] + super().listdir(path)

        Handler.abstracted_fs = DotsFS

    warnings.simplefilter("ignore")  # anonymous write access is intended here
    auth = DummyAuthorizer()
    auth.add_user(args.user, args.password, args.root, perm=PERMS)
    auth.add_anonymous(args.root, perm=PERMS)
    Handler.authorizer = auth
    if args.rate > 0:
        class Paced(ThrottledDTPHandler):
            """Rests after every chunk for as long as the rate asks, so that
            the pace is even rather than one burst a second."""
            read_limit = args.rate
            write_limit = args.rate
            ac_in_buffer_size = 16384
            ac_out_buffer_size = 16384

            def __init__(self, sock, cmd_channel):
                # A slow link holds little in flight: small socket buffers here.
                sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 16384)
                sock.setsockopt(socket.SOL_SOCKET, socket.SO_SNDBUF, 16384)
                super().__init__(sock, cmd_channel)

            def _throttle_bandwidth(self, len_chunk, max_speed):
                if len_chunk <= 0:
                    return

                def resume():
                    self.add_channel(events=self.ioloop.READ if self.receive else self.ioloop.WRITE)

                self.del_channel()
                self._cancel_throttler()
                self._throttler = self.ioloop.call_later(len_chunk / max_speed, resume, _errback=self.handle_error)

        Handler.dtp_handler = Paced
    return Handler



def main():
    args = parse_args()
    if args.login_subdir:
        os.makedirs(os.path.join(args.root, args.login_subdir.strip("/")), exist_ok=True)
    server = FTPServer(("127.0.0.1", args.port), make_handler(args))
    end_with_parent()
    print(server.socket.getsockname()[1], flush=True)
    server.serve_forever(handle_exit=False)


if __name__ == "__main__":
    import logging
    logging.basicConfig(level=logging.CRITICAL)
    main()
