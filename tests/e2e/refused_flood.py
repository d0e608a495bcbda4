"""A flood of refused connections against a display serving one allowed controller.

Run in the peer namespace: for SECONDS, connections from the refused SOURCES come one after another
as fast as two threads can make them, each reset by the display before it reads a byte; meanwhile
the allowed controller (ALLOWED), connected beforehand, asks for the status every 50 ms on the
control port and sends a caption every 250 ms on the feed port. Each status answer and each "OK"
must come within the limit (100 ms; VELTRINOX_SOAK_STATUS_MS sets another), and no refused
connection may read anything. Prints the figures; exits 1 when a bound is broken.

usage: refused_flood.py DISPLAY_ADDRESS FEED CONTROL ALLOWED SECONDS SOURCE...
"""
import os
import socket
import sys
import threading
import time

LIMIT = int(os.environ.get("VELTRINOX_SOAK_STATUS_MS", "100")) / 1000
address, feed, control, allowed, seconds = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4], float(sys.argv[5])
sources = sys.argv[6:]
deadline = time.monotonic() + seconds
lock = threading.Lock()
figures = {"refused": 0, "read by refused": 0, "status answers": 0, "captions": 0, "slowest ms": 0.0, "late": 0}


def count(name, amount=1):
    with lock:
        figures[name] += amount


def timed(name, started):
    elapsed = time.monotonic() - started
    with lock:
        figures[name] += 1
        figures["slowest ms"] = max(figures["slowest ms"], round(elapsed * 1000, 1))
        if elapsed > LIMIT:
            figures["late"] += 1


def flood(offset):
    n = offset
    while time.monotonic() < deadline:
        connection = socket.socket()
        connection.bind((sources[n % len(sources)], 0))
        n += 1
        try:
            connection.connect((address, feed if n % 2 else control))
            connection.settimeout(1)
            read = connection.recv(4096)
            count("read by refused", len(read))
        except OSError:
            pass
        finally:
            connection.close()
        count("refused")


def read_until(connection, ending):
    received = b""
    while not received.endswith(ending):
        chunk = connection.recv(4096)
        if not chunk:
            raise ConnectionError("closed")
        received += chunk
    return received


def open_from(port):
    connection = socket.create_connection((address, port), timeout=5, source_address=(allowed, 0))
    read_until(connection, b"\r\n")  # the greeting
    return connection


def controller():
    status = open_from(control)
    captions = open_from(feed)
    n = 0
    while time.monotonic() < deadline:
        started = time.monotonic()
        status.sendall(b"\x0b?0")
        read_until(status, b"DisplayLines=3\r\n")
        timed("status answers", started)
        if n % 5 == 0:
            document = f'<Surtitles><Cue><Captions Stream0="Flood {n}" StrName0="English"/><Language Name="English"/><Effects InEffect="Instant"/></Cue></Surtitles>'
            started = time.monotonic()
            captions.sendall(document.encode("utf-16-le"))
            read_until(captions, b"OK")
            timed("captions", started)
        n += 1
        time.sleep(0.05)


threads = [threading.Thread(target=flood, args=(k,)) for k in range(2)]
for thread in threads:
    thread.start()
controller()
for thread in threads:
    thread.join()
print(", ".join(f"{name} {value}" for name, value in figures.items()))
per_second = figures["refused"] / seconds
if figures["late"] or figures["read by refused"] or figures["status answers"] == 0 or per_second < 500:
    sys.exit(1)
