#!/usr/bin/python3
"""Loopback proxy for the tests: an HTTP CONNECT proxy or a SOCKS5 proxy
(no authentication) on 127.0.0.1 and a free port.

Prints the port on one line once listening; appends one line
"<kind> <host>:<port>" to the count file for every tunnel it opens, and
"refused <what>" for every request it turns down. Tunnels only lead to
loopback addresses. Exits when stdin closes or on SIGTERM.
"""
import argparse
import ipaddress
import os
import socket
import struct
import threading

from fixture_lifetime import end_with_parent

LOCK = threading.Lock()


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--kind", choices=("http", "socks5"), required=True)
    p.add_argument("--count-file", required=True)
    return p.parse_args()


def record(args, line):
    with LOCK:
        with open(args.count_file, "a") as f:
            f.write(line + "\n")


def loopback(host):
    if host == "localhost":
        return True
    try:
        return ipaddress.ip_address(host).is_loopback
    except ValueError:
        return False


def recv_exact(sock, n):
    data = b""
    while len(data) < n:
        chunk = sock.recv(n - len(data))
        if not chunk:
            raise ConnectionError("closed early")
        data += chunk
    return data


def pump(src, dst):
    """Copies one direction; passes the end of data on as a half close."""
    try:
        while True:
            data = src.recv(65536)
            if not data:
                break
            dst.sendall(data)
    except OSError:
        pass
    try:
        dst.shutdown(socket.SHUT_WR)
    except OSError:
        pass


def relay(client, upstream):
    client.settimeout(None)
    upstream.settimeout(None)
    back = threading.Thread(target=pump, args=(upstream, client), daemon=True)
    back.start()
    pump(client, upstream)
    back.join()
    client.close()
    upstream.close()


def open_upstream(host, port):
    return socket.create_connection((host, port), timeout=10)


def serve_http(args, client):
    head = b""
    while b"\r\n\r\n" not in head:
        chunk = client.recv(4096)
        if not chunk or len(head) > 65536:
            return client.close()
        head += chunk
    request = head.split(b"\r\n", 1)[0].decode("latin-1").split()
    if len(request) != 3 or request[0] != "CONNECT":
        record(args, "refused " + " ".join(request[:2]))
        client.sendall(b"HTTP/1.1 405 Only CONNECT\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
        return client.close()
    host, _, port = request[1].rpartition(":")
    host = host.strip("[]")
    if not loopback(host):
        record(args, "refused " + request[1])
        client.sendall(b"HTTP/1.1 403 Loopback only\r\nContent-Length: 0\r\n\r\n")
        return client.close()
    try:
        upstream = open_upstream(host, int(port))
    except (OSError, ValueError):
        client.sendall(b"HTTP/1.1 502 Cannot connect\r\nContent-Length: 0\r\n\r\n")
        return client.close()
    record(args, "http %s:%s" % (host, port))
    client.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
    relay(client, upstream)


def socks_reply(client, status):
    client.sendall(struct.pack("!BBBB4sH", 5, status, 0, 1, b"\0\0\0\0", 0))


def serve_socks5(args, client):
    version, count = recv_exact(client, 2)
    methods = recv_exact(client, count)
    if version != 5 or 0 not in methods:
        client.sendall(b"\x05\xff")
        return client.close()
    client.sendall(b"\x05\x00")
    _, command, _, kind = recv_exact(client, 4)
    if kind == 1:
        host = socket.inet_ntop(socket.AF_INET, recv_exact(client, 4))
    elif kind == 4:
        host = socket.inet_ntop(socket.AF_INET6, recv_exact(client, 16))
    else:
        host = recv_exact(client, recv_exact(client, 1)[0]).decode("latin-1")
    port = struct.unpack("!H", recv_exact(client, 2))[0]
    if command != 1 or not loopback(host):
        record(args, "refused %d %s:%d" % (command, host, port))
        socks_reply(client, 7 if command != 1 else 2)
        return client.close()
    try:
        upstream = open_upstream(host, port)
    except OSError:
        socks_reply(client, 5)
        return client.close()
    record(args, "socks5 %s:%d" % (host, port))
    socks_reply(client, 0)
    relay(client, upstream)


def handle(args, client):
    try:
        client.settimeout(10)  # for the handshake only
        if args.kind == "http":
            serve_http(args, client)
        else:
            serve_socks5(args, client)
    except (OSError, ConnectionError, ValueError):
        client.close()



def main():
    args = parse_args()
    open(args.count_file, "a").close()
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    end_with_parent()
    print(listener.getsockname()[1], flush=True)
    while True:
        client, _ = listener.accept()
        threading.Thread(target=handle, args=(args, client), daemon=True).start()


if __name__ == "__main__":
    main()
