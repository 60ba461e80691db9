#!/usr/bin/env python3
"""A slow-request ("slowloris") client beside a normal one, against a document server on
127.0.0.1: how the normal client is answered and what the server spends meanwhile.

usage: bench/hostile_client.py -p PORT [-n SLOW] [-s SECONDS] [--pid PID] [--path TARGET]

SLOW connections (default 800) each start a request and then send one more byte every second,
never finishing it; a connection the server closes is opened again at once. Meanwhile a normal
client sends TARGET (default /?action=hello) every 100 ms and waits up to 5 s for each reply.
After SECONDS (default 30) it prints the normal client's replies and latencies, how often the
server closed a slow connection, and the server's CPU use (from /proc, when --pid is given or
the listening process is found with ss). Only 127.0.0.1 is ever contacted.
"""
import argparse
import re
import resource
import selectors
import socket
import subprocess
import threading
import time

HOST = "127.0.0.1"


def server_pid(port):
    out = subprocess.run(["ss", "-ltnpH", f"sport = :{port}"], capture_output=True, text=True)
    m = re.search(r"pid=(\d+)", out.stdout)
    return int(m.group(1)) if m else None


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / 100.0  # utime + stime, clock ticks


def normal_client(port, target, stop, results):
    request = f"GET {target} HTTP/1.0\r\nHost: {HOST}\r\n\r\n".encode()
    while not stop.is_set():
        started = time.monotonic()
        try:
            with socket.create_connection((HOST, port), timeout=5) as s:
                s.sendall(request)
                data = b""
                while chunk := s.recv(65536):
                    data += chunk
            ok = data.startswith(b"HTTP/1.0 200")
        except OSError:
            ok = False
        results.append((ok, time.monotonic() - started))
        stop.wait(0.1)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("-p", "--port", type=int, required=True)
    ap.add_argument("-n", "--slow", type=int, default=800)
    ap.add_argument("-s", "--seconds", type=float, default=30)
    ap.add_argument("--pid", type=int)
    ap.add_argument("--path", default="/?action=hello")
    args = ap.parse_args()
    if not 0 < args.seconds <= 600 or not 0 <= args.slow <= 5000:
        ap.error("keep the run bounded: at most 600 s and 5000 connections")
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (min(hard, max(soft, args.slow + 100)), hard))
    pid = args.pid or server_pid(args.port)

    sel = selectors.DefaultSelector()
    opened = closed_by_server = failed_connects = 0

    def open_slow():
        nonlocal opened, failed_connects
        s = socket.socket()
        s.setblocking(False)
        try:
            s.connect((HOST, args.port))
        except BlockingIOError:
            pass
        except OSError:
            failed_connects += 1
            s.close()
            return
        sel.register(s, selectors.EVENT_READ, {"sent": False})
        opened += 1

    for _ in range(args.slow):
        open_slow()

    stop = threading.Event()
    results = []
    normal = threading.Thread(target=normal_client, args=(args.port, args.path, stop, results))
    cpu_before = cpu_seconds(pid) if pid else None
    started = time.monotonic()
    normal.start()
    next_drip = started
    while time.monotonic() - started < args.seconds:
        for key, _ in sel.select(timeout=0.2):
            s = key.fileobj
            try:
                gone = s.recv(4096) == b""
            except OSError:
                gone = True
            if gone:
                sel.unregister(s)
                s.close()
                closed_by_server += 1
                open_slow()
        if time.monotonic() >= next_drip:
            next_drip += 1.0
            for key in list(sel.get_map().values()):
                s = key.fileobj
                piece = b"X" if key.data["sent"] else b"GET /?action=hello HTTP/1.0\r\nX-a: "
                try:
                    s.send(piece)
                    key.data["sent"] = True
                except (BlockingIOError, OSError):
                    pass
    stop.set()
    normal.join()
    elapsed = time.monotonic() - started
    cpu_after = cpu_seconds(pid) if pid else None
    for key in list(sel.get_map().values()):
        key.fileobj.close()

    latencies = sorted(t for ok, t in results if ok)
    failures = sum(1 for ok, _ in results if not ok)

    def pct(p):
        return latencies[min(len(latencies) - 1, int(p / 100 * len(latencies)))] * 1000

    print(f"hostile_client: {args.slow} slow connections for {elapsed:.1f} s on {HOST}:{args.port}")
    print(f"  slow connections opened {opened}, closed by the server {closed_by_server}, "
          f"connects that failed {failed_connects}")
    print(f"  normal client: {len(latencies)} answered, {failures} failed or timed out")
    if latencies:
        print(f"  normal latency ms: p50 {pct(50):.1f}  p90 {pct(90):.1f}  p99 {pct(99):.1f}  "
              f"max {latencies[-1] * 1000:.1f}")
    if cpu_before is not None:
        used = cpu_after - cpu_before
        print(f"  server CPU: {used:.2f} s in {elapsed:.1f} s ({100 * used / elapsed:.1f} %)")
    return 0 if failures == 0 else 1


if __name__ == "__main__":
    raise SystemExit(main())
