#!/usr/bin/env python3
"""A long show against a running display, sampling its resident memory.

Usage: memory_soak.py PID FEED_PORT CONTROL_PORT COUNT RATE [SAMPLES] [TOLERANCE_MIB]

Sends COUNT captions, RATE a second, in a mix a show sends: plain text, formatted markup, pictures
(BMP of several sizes, embedded in the document) and Stagetext on the control port, with the
effects a show uses. SAMPLES times in the run (40 by default) it sends a marker caption in a colour
of its own and waits until the display shows it, so every sample is taken with the queue drained
(the lag says how long that took: the display kept up when it stays small), then reads VmRSS,
its anonymous and file-backed shares and the CPU time it has used, from /proc.

Verdict: after warm-up (the first quarter of the captions) the resident size must not climb: the
highest sample of the last third of the rest may exceed the highest of its first third by at most
TOLERANCE_MIB (10 by default). Exits 1 when it does not, or when
a marker never appears.
"""

import base64
import os
import socket
import struct
import sys
import threading
import time

EFFECTS = ["Instant", "Instant", "Fade", "Instant", "Scroll Up", "Instant", "Fade", "Caption"]
WORDS = ("the night is young and all the stars are out over the river where we wait for morning "
         "love sorrow hope returns again tomorrow beneath silver cloud").split()
PICTURE_SIZES = [(960, 540), (640, 360), (1280, 720), (800, 600), (320, 240), (1024, 576)]
MARKER_COLOURS = ["clLime", "clFuchsia"]
# A marker that takes longer than this to appear waited behind a backlog.
BEHIND_MS = 2000


def escape(text):
    return (text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
            .replace('"', "&quot;"))


def document(column_text, effect="Instant", background="clBlack", size="Medium"):
    xml = (
        f'<Surtitles><Cue><Captions Stream0="{escape(column_text)}" StrName0="English"/>'
        f'<Language Name="English"/><Font BackColour="{background}" Size="{size}"/>'
        f'<Effects InEffect="{effect}" Speed="Fast"/></Cue></Surtitles>'
    )
    return xml.encode("utf-16-le")


def line(number, words):
    return " ".join(WORDS[(number * 7 + i * 13) % len(WORDS)] for i in range(words)) + f" {number}"


def bmp(width, height, seed):
    stride = (width * 3 + 3) & ~3
    row = bytes((seed + x) & 0xFF for x in range(stride))
    pixels = b"".join(row[y % 17:] + row[: y % 17] for y in range(height))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


class Display:
    def __init__(self, pid, feed_port, control_port):
        self.pid = pid
        self.feed = socket.create_connection(("127.0.0.1", feed_port), timeout=10)
        self.feed.makefile("rb").readline()  # the greeting
        self.control = socket.create_connection(("127.0.0.1", control_port), timeout=10)
        self.control.makefile("rb").readline()
        self.status_connection = socket.create_connection(("127.0.0.1", control_port), timeout=10)
        self.status_replies = self.status_connection.makefile("rb")
        self.status_replies.readline()
        for connection in (self.feed, self.control):
            connection.settimeout(None)
            threading.Thread(target=self.drain, args=(connection,), daemon=True).start()

    @staticmethod
    def drain(connection):
        while connection.recv(65536):
            pass

    def brush(self):
        self.status_connection.sendall(b"\x0b?0")
        lines = [self.status_replies.readline().decode("latin-1").strip() for _ in range(7)]
        return dict(line.split("=", 1) for line in lines if "=" in line).get("DisplayBrushColor")

    def memory(self):
        figures = {}
        with open(f"/proc/{self.pid}/status") as lines:
            for entry in lines:
                if entry.startswith(("VmRSS:", "RssAnon:", "RssFile:")):
                    name, value = entry.split()[:2]
                    figures[name.rstrip(":")] = int(value) / 1024
        with open(f"/proc/{self.pid}/stat") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        figures["cpu"] = (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
        return figures


def main():
    pid, feed_port, control_port, count, rate = (int(value) for value in sys.argv[1:6])
    samples = int(sys.argv[6]) if len(sys.argv) > 6 else 40
    tolerance = float(sys.argv[7]) if len(sys.argv) > 7 else 10.0
    display = Display(pid, feed_port, control_port)
    pictures = [base64.b64encode(bmp(w, h, i * 31)).decode() for i, (w, h) in enumerate(PICTURE_SIZES)]

    sample_every = max(count // samples, 1)
    warm_up = count // 4
    rows = []
    lags = []
    stalls = []
    print(f"{'captions':>9} {'minutes':>8} {'VmRSS MiB':>10} {'RssAnon':>8} {'RssFile':>8} {'lag ms':>7} {'CPU s':>7}")
    started = time.monotonic()
    for number in range(count + 1):
        if number % sample_every == 0 or number == count:
            colour = MARKER_COLOURS[len(rows) % 2]
            sent = time.monotonic()
            # A Stagetext caption leaves with a fade that the next caption's background does not
            # show through: a plain caption takes its place first.
            marker = document(f"before marker {number}") + document(f"marker {number}", background=colour)
            display.feed.sendall(marker)
            nudged = False
            while display.brush() != colour:
                waited = time.monotonic() - sent
                if waited > 20 and not nudged:
                    # The same marker again: tells a display that waits for a further document
                    # before presenting the ones it holds from one that is merely slow.
                    display.feed.sendall(marker)
                    nudged = True
                    stalls.append(number)
                if waited > 120:
                    print(f"FAILED: the marker after {number} captions did not appear within 120 s "
                          f"(the display shows {display.brush()})")
                    return 1
                time.sleep(0.01)
            lag = (time.monotonic() - sent) * 1000
            lags.append(lag)
            memory = display.memory()
            rows.append((number, memory["VmRSS"]))
            print(f"{number:>9} {(time.monotonic() - started) / 60:>8.1f} {memory['VmRSS']:>10.1f} "
                  f"{memory['RssAnon']:>8.1f} {memory['RssFile']:>8.1f} {lag:>7.0f} {memory['cpu']:>7.1f}", flush=True)
            if number == count:
                break
        kind = number % 8
        if kind == 7:
            display.control.sendall(f"{line(number, 6)}\r".encode("latin-1"))
        elif kind in (2, 5):
            display.feed.sendall(document("#IMAGE:#" + pictures[number % len(pictures)], EFFECTS[number % 8]))
        elif kind in (1, 4):
            markup = (f"<html><b>{line(number, 4)}</b><br><i>{line(number + 1, 5)}</i> "
                      f'<font color="#FFFF00">{number}</font></html>')
            display.feed.sendall(document(markup, EFFECTS[number % 8], "clNavy"))
        else:
            display.feed.sendall(document(line(number, 3 + number % 9), EFFECTS[number % 8], "clBlack",
                                          ["Medium", "Large", "Small"][number % 3]))
        time.sleep(max(0.0, started + (number + 1) / rate - time.monotonic()))

    # Pictures come and go, so single samples scatter: the highest of the quarter after warm-up
    # against the highest of the last quarter says whether the resident size still climbs.
    settled = [rss for number, rss in rows if number >= warm_up]
    early, late = settled[: max(len(settled) // 3, 1)], settled[-max(len(settled) // 3, 1):]
    growth = max(late) - max(early)
    print(f"after warm-up ({warm_up} captions): highest {max(early):.1f} MiB just after, "
          f"{max(late):.1f} MiB at the end of the run")
    if max(lags[1:], default=0) > BEHIND_MS:
        print(f"the display fell behind (a marker took up to {max(lags) / 1000:.1f} s to appear): the samples are "
              f"of a display whose queue was full; a lower --rate measures one that keeps up")
    if stalls:
        print(f"markers sent again, not shown within 20 s, after captions {stalls}")
    if growth > tolerance:
        print(f"FAILED: the resident size climbed by {growth:.1f} MiB after warm-up (tolerance {tolerance:.0f} MiB)")
        return 1
    print(f"flat: it changed by {growth:+.1f} MiB after warm-up (tolerance {tolerance:.0f} MiB)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
