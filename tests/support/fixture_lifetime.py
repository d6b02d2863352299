"""Lifetime shared by the loopback server fixtures: a server ends when the
test that started it closes its stdin, dies, or sends SIGTERM."""

import os
import signal
import sys
import threading


def _watch_stdin():
    try:
        while sys.stdin.buffer.read(4096):
            pass
    except Exception:
        pass
    os._exit(0)


def end_with_parent():
    signal.signal(signal.SIGTERM, lambda *_: os._exit(0))
    threading.Thread(target=_watch_stdin, daemon=True).start()
