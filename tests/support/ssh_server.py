#!/usr/bin/python3
"""Loopback SSH server for the SFTP tests: OpenSSH's sshd with a
configuration, host key and authorized key of its own, internal-sftp
starting in --root, on 127.0.0.1 and a free port.

Prints the port on one line once listening; stops sshd and exits when stdin
closes or on SIGTERM. The host's public key is left in <dir>/host_key.pub.
"""
import argparse
import os
import signal
import socket
import subprocess
import sys
import threading
import time


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def write_config(args, port):
    path = os.path.join(args.dir, "sshd_config")
    with open(path, "w") as f:
        f.write(f"""Port {port}
ListenAddress 127.0.0.1
HostKey {os.path.join(args.dir, "host_key")}
PidFile {os.path.join(args.dir, "sshd.pid")}
AuthorizedKeysFile {args.authorized}
PermitRootLogin yes
PasswordAuthentication yes
KbdInteractiveAuthentication no
PubkeyAuthentication yes
UsePAM no
StrictModes no
AllowUsers {args.user}
Subsystem sftp internal-sftp -d {args.root}
LogLevel ERROR
""")
    return path


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--dir", required=True)
    p.add_argument("--root", required=True)
    p.add_argument("--authorized", required=True)
    p.add_argument("--user", required=True)
    p.add_argument("--port", type=int, default=0)
    args = p.parse_args()
    key = os.path.join(args.dir, "host_key")
    if not os.path.exists(key):
        subprocess.run(["ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", key], check=True)
    os.makedirs("/run/sshd", exist_ok=True)  # sshd's privilege-separation folder
    port = args.port or free_port()
    sshd = subprocess.Popen(["/usr/sbin/sshd", "-D", "-e", "-f", write_config(args, port)],
                            stdin=subprocess.DEVNULL)

    def stop(*_):
        sshd.terminate()
        try:
            sshd.wait(3)
        except subprocess.TimeoutExpired:
            sshd.kill()
        os._exit(0)

    signal.signal(signal.SIGTERM, stop)
    for _ in range(200):
        if sshd.poll() is not None:
            sys.exit(1)
        try:
            socket.create_connection(("127.0.0.1", port), 0.2).close()
            break
        except OSError:
            time.sleep(0.05)
    print(port, flush=True)

    def watch():
        try:
            while sys.stdin.buffer.read(4096):
                pass
        except Exception:
            pass
        stop()

    threading.Thread(target=watch, daemon=True).start()
    sshd.wait()
    os._exit(0)


if __name__ == "__main__":
    main()
