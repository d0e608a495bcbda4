#!/usr/bin/env python3
"""The resident size of a running display, idle and after one round of every entry effect.

Usage: memory_effects.py PID FEED_PORT CONTROL_PORT WIDTH HEIGHT

The display runs full screen at WIDTH x HEIGHT. Shows one plain caption and reads VmRSS once the
display has been idle for a while (it gives freed memory back when idle); then sends every entry
effect with a plain, a formatted and a picture caption (a picture as large as half the screen),
waits for each to run to its end, and reads VmRSS at once, the highest VmRSS of the run (VmHWM) and VmRSS
again once idle. A caption has run its effect when an instant caption sent after it is presented,
which the status reply tells by its background colour.
"""

import base64
import sys
import time

from memory_soak import Display, bmp, document

EFFECTS = ["Fade", "Scroll Up", "Scroll Down", "Scroll Left", "Scroll Right", "Caption", "Instant"]
BACKGROUNDS = ["clNavy", "clMaroon", "clTeal", "clPurple", "clOlive", "clGreen"]
MARKERS = ["clLime", "clFuchsia"]
# Longer than the display waits before giving idle memory back.
IDLE_SECONDS = 7


def status_memory(pid):
    figures = {}
    with open(f"/proc/{pid}/status") as lines:
        for entry in lines:
            if entry.startswith(("VmRSS:", "VmHWM:")):
                name, value = entry.split()[:2]
                figures[name.rstrip(":")] = int(value) / 1024
    return figures


def show(display, text, effect, background, marker):
    # A marker caption follows, instant, in a colour of its own: the status names its background
    # once it is presented, which is once the caption before it has run its effect to the end.
    display.feed.sendall(document(text, effect, background, "Large") + document("marker", "Instant", marker))
    started = time.monotonic()
    while display.brush() != marker:
        if time.monotonic() - started > 60:
            raise RuntimeError(f"the {effect} caption did not finish within 60 s")
        time.sleep(0.02)


def main():
    pid, feed_port, control_port, width, height = (int(value) for value in sys.argv[1:6])
    display = Display(pid, feed_port, control_port)
    picture = "#IMAGE:#" + base64.b64encode(bmp(width, height // 2, 7)).decode()
    markup = ('<html><b>the night is young and all the stars are out</b><br>'
              '<i>over the river</i> <font color="#FFFF00">where we wait</font></html>')
    texts = {"plain": "the night is young and all the stars are out\rover the river where we wait",
             "formatted": markup, "picture": picture}

    show(display, "the night is young", "Instant", "clBlack", MARKERS[1])
    time.sleep(IDLE_SECONDS)
    idle = status_memory(pid)["VmRSS"]
    number = 0
    for effect in EFFECTS:
        for kind, text in texts.items():
            show(display, text, effect, BACKGROUNDS[number % len(BACKGROUNDS)], MARKERS[number % 2])
            number += 1
    after = status_memory(pid)
    time.sleep(IDLE_SECONDS)
    settled = status_memory(pid)["VmRSS"]
    print(f"{width}x{height}: idle {idle:.1f} MiB; after every effect {after['VmRSS']:.1f} MiB at once, "
          f"{settled:.1f} MiB idle; highest {after['VmHWM']:.1f} MiB", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
