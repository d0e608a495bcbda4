#!/usr/bin/env python3
"""Hostile and broken peers against a running display.

Usage: hostile_peers.py PID FEED_PORT CONTROL_PORT LARGE_FILE [--full]

While the load below runs, a separate controller, connected beforehand, asks for the status every
50 ms; each answer must come within 100 ms. Afterwards that controller sends a caption of its own,
which must be shown (the status reports its background colour). The display's resident memory is
sampled throughout and must stay under the bound. Prints the figures; exits 1 on any failure.

The load: 8 controllers sending documents in random splits, connections dropped mid-document,
garbage bytes, a flood of text without tags, a peer that never reads its "OK" replies, 1,000 idle
connections, and Stagetext captions naming /dev/zero, a directory and a large file.
"""

import asyncio
import multiprocessing
import os
import random
import resource
import socket
import sys
import time

# The released display's limits; a sanitizer build, slower and with shadow memory, sets its own.
STATUS_LIMIT_SECONDS = int(os.environ.get("VELTRINOX_SOAK_STATUS_MS", "100")) / 1000
MEMORY_BOUND_MIB = int(os.environ.get("VELTRINOX_SOAK_MEMORY_MIB", "200"))


def document(text, background="Black"):
    xml = (
        f'<Surtitles><Cue><Captions Stream0="{text}" StrName0="English"/>'
        f'<Language Name="English"/><Font BackColour="{background}"/>'
        '<Effects InEffect="Instant"/></Cue></Surtitles>'
    )
    return xml.encode("utf-16-le")


class Figures:
    def __init__(self):
        self.status_answers = 0
        self.slowest_status = 0.0
        self.late_status = 0
        self.peak_rss_mib = 0.0
        self.acknowledgements = 0
        self.documents_sent = 0
        self.flood_bytes = 0
        self.idle_connected = 0
        self.failures = []


async def read_greeting(reader):
    await asyncio.wait_for(reader.readline(), 10)


async def status(reader, writer):
    writer.write(b"\x0b?0")
    await writer.drain()
    lines = [await asyncio.wait_for(reader.readline(), 5) for _ in range(7)]
    return dict(line.decode("latin-1").strip().split("=", 1) for line in lines)


def watch_status(port, stop, results):
    """The separate controller, in a process of its own so that the load's own work never delays
    its measurements: asks for the status every 50 ms on one connection, opened before the load."""
    connection = socket.create_connection(("127.0.0.1", port), timeout=5)
    replies = connection.makefile("rb")
    replies.readline()  # the greeting
    answers, slowest, late = 0, 0.0, 0
    while not stop.is_set():
        started = time.monotonic()
        connection.sendall(b"\x0b?0")
        for _ in range(7):
            replies.readline()
        elapsed = time.monotonic() - started
        answers += 1
        slowest = max(slowest, elapsed)
        late += elapsed > STATUS_LIMIT_SECONDS
        time.sleep(0.05)
    results.send((answers, slowest, late))


async def sample_memory(pid, figures, stop):
    while not stop.is_set():
        with open(f"/proc/{pid}/status") as lines:
            for line in lines:
                if line.startswith("VmRSS:"):
                    figures.peak_rss_mib = max(figures.peak_rss_mib, int(line.split()[1]) / 1024)
        await asyncio.sleep(0.1)


async def read_acknowledgements(reader, figures):
    while data := await reader.read(65536):
        figures.acknowledgements += data.count(b"OK")


async def controller(port, number, documents, figures):
    reader, writer = await asyncio.open_connection("127.0.0.1", port)
    await read_greeting(reader)
    acknowledgements = asyncio.create_task(read_acknowledgements(reader, figures))
    stream = b"".join(document(f"Controller {number} caption {i}", random.choice(["Black", "Navy"]))
                      for i in range(documents))
    position = 0
    while position < len(stream):
        step = random.randint(1, 6000)
        writer.write(stream[position:position + step])
        position += step
        await writer.drain()
        if random.random() < 0.05:
            await asyncio.sleep(random.random() * 0.01)
    figures.documents_sent += documents
    await asyncio.sleep(1)
    writer.close()
    await acknowledgements


async def dropped_mid_document(port, count):
    half = document("Never finished")[:150]
    for _ in range(count):
        reader, writer = await asyncio.open_connection("127.0.0.1", port)
        writer.write(half)
        await writer.drain()
        writer.close()
        await asyncio.sleep(0.005)


async def garbage(port, megabytes):
    reader, writer = await asyncio.open_connection("127.0.0.1", port)
    for _ in range(megabytes):
        writer.write(os.urandom(1 << 20))
        await writer.drain()
    writer.close()


async def flood_without_tags(port, megabytes, figures):
    reader, writer = await asyncio.open_connection("127.0.0.1", port)
    chunk = b"A" * (1 << 20)
    for _ in range(megabytes):
        writer.write(chunk)
        await writer.drain()
        figures.flood_bytes += len(chunk)
    writer.close()


async def never_reads(port, documents):
    # The replies pile up unread on this side; the display must not wait for them.
    reader, writer = await asyncio.open_connection("127.0.0.1", port, limit=1)
    for i in range(documents):
        writer.write(document(f"Unread {i}"))
        await writer.drain()
    await asyncio.sleep(1)
    writer.close()


async def idle_connections(port, count, figures, release):
    held = []
    for _ in range(count):
        try:
            held.append(await asyncio.wait_for(asyncio.open_connection("127.0.0.1", port), 2))
            figures.idle_connected += 1
        except (OSError, asyncio.TimeoutError):
            break  # the display is out of descriptors: the rest wait in (or beyond) its backlog
    await release.wait()
    for _, writer in held:
        writer.close()


async def stagetext_files(port, large_file):
    reader, writer = await asyncio.open_connection("127.0.0.1", port)
    await read_greeting(reader)
    for name in ["/dev/zero", "/tmp", large_file, "/dev/zero"]:
        writer.write(name.encode() + b"\r")
        await writer.drain()
        await asyncio.sleep(0.3)
    writer.close()


async def main():
    pid, feed, control, large_file = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
    full = "--full" in sys.argv
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (min(hard, 8192), hard))
    random.seed(7)

    figures = Figures()
    stop = asyncio.Event()
    release_idle = asyncio.Event()
    stop_watching = multiprocessing.Event()
    watch_results, watch_sender = multiprocessing.Pipe(duplex=False)
    watcher = multiprocessing.Process(target=watch_status, args=(control, stop_watching, watch_sender))
    watcher.start()
    memory = asyncio.create_task(sample_memory(pid, figures, stop))
    await asyncio.sleep(0.5)

    started = time.monotonic()
    idle = asyncio.create_task(idle_connections(feed, 1000, figures, release_idle))
    durations = {}

    async def timed(name, work):
        began = time.monotonic()
        await work
        durations[name] = max(durations.get(name, 0), time.monotonic() - began)

    await asyncio.gather(
        *(timed("controllers", controller(feed, n, 1000 if full else 250, figures)) for n in range(8)),
        timed("dropped", dropped_mid_document(feed, 200)),
        timed("garbage", garbage(feed, 16)),
        timed("flood", flood_without_tags(feed, 1024 if full else 256, figures)),
        timed("unread", never_reads(feed, 5000 if full else 2000)),
        timed("stagetext", stagetext_files(control, large_file)),
    )
    release_idle.set()
    await idle
    load_seconds = time.monotonic() - started

    # The watching controller's own caption, sent once the load has gone, is shown.
    reader, writer = await asyncio.open_connection("127.0.0.1", feed)
    await read_greeting(reader)
    writer.write(document("The show goes on", "clLime"))
    await writer.drain()
    if await asyncio.wait_for(reader.read(2), 10) != b"OK":
        figures.failures.append("the final caption was not acknowledged")
    stop.set()
    stop_watching.set()
    figures.status_answers, figures.slowest_status, figures.late_status = watch_results.recv()
    watcher.join()
    status_reader, status_writer = await asyncio.open_connection("127.0.0.1", control)
    await read_greeting(status_reader)
    shown = False
    deadline = time.monotonic() + 5
    while not shown and time.monotonic() < deadline:
        shown = (await status(status_reader, status_writer)).get("DisplayBrushColor") == "clLime"
        await asyncio.sleep(0.05)
    await memory

    print(f"load: {load_seconds:.1f} s; {figures.documents_sent} documents from 8 controllers, "
          f"{figures.acknowledgements} OK replies; {figures.flood_bytes >> 20} MiB without tags; "
          f"{figures.idle_connected} idle connections held")
    print("durations: " + ", ".join(f"{name} {seconds:.1f} s" for name, seconds in durations.items()))
    print(f"status: {figures.status_answers} answers, slowest {figures.slowest_status * 1000:.1f} ms, "
          f"{figures.late_status} over {STATUS_LIMIT_SECONDS * 1000:.0f} ms")
    print(f"memory: peak resident {figures.peak_rss_mib:.0f} MiB (bound {MEMORY_BOUND_MIB} MiB)")
    if figures.late_status:
        figures.failures.append(f"{figures.late_status} status answers came late")
    if not shown:
        figures.failures.append("the final caption was not shown")
    if figures.peak_rss_mib > MEMORY_BOUND_MIB:
        figures.failures.append("resident memory beyond its bound")
    if figures.acknowledgements == 0:
        figures.failures.append("no document was acknowledged")
    for failure in figures.failures:
        print(f"FAILED: {failure}")
    return 1 if figures.failures else 0


if __name__ == "__main__":
    sys.exit(asyncio.run(main()))
