#!/usr/bin/env python3
"""Hostile and broken peers against a running display.

Usage: hostile_peers.py PID FEED_PORT CONTROL_PORT LARGE_FILE [--full] [--web PORT]

Throughout, a separate controller, connected beforehand, asks for the status every 50 ms; each
answer must come within 100 ms. The display's resident memory is sampled throughout and must stay
under the bound. The phases follow one another, so that no connection is ever attempted while the
display is out of file descriptors unless the phase means it to wait:

1. The load, with descriptors to spare: 8 controllers sending documents in random splits,
   connections dropped mid-document, garbage bytes, a flood of text without tags, a peer that never
   reads its "OK" replies, and Stagetext captions naming /dev/zero, a directory and a large file.
   With --web, the web monitor's port meanwhile: hundreds of connections held open, requests with
   huge headers, live pages that never read their frames, and pictures asked for all along; the
   monitor must still answer its health check afterwards.
2. A flood of complete documents on one connection, far faster than they are presented: the
   caption queue must stay within its bound (no other connection opens or closes meanwhile, as that
   would empty the queue).
3. Idle connections, one at a time and each greeted, until the display has no descriptor left; one
   more then waits in the backlog, its caption already sent. The display must stay as quiet as when
   idle (no retrying in a loop) and keep answering the status.
4. The idle connections close: the waiting connection is accepted at once, its caption acknowledged
   and shown (the status reports its background colour).

Prints the figures; exits 1 on any failure.
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
# The display's CPU share while out of descriptors, in per cent of one core, beyond its idle share.
QUIET_EXCESS_PERCENT = float(os.environ.get("VELTRINOX_SOAK_QUIET_PERCENT", "3"))


def document(text, background="Black", effect="Instant", padding=0):
    xml = (
        f'<Surtitles><Cue><Captions Stream0="{text}" StrName0="English"/>'
        f'<Language Name="English"/><Font BackColour="{background}"/>'
        f'<Effects InEffect="{effect}" Speed="Fast"/></Cue>{"<!--" + "p" * padding + "-->" if padding else ""}'
        '</Surtitles>'
    )
    return xml.encode("utf-16-le")


class Figures:
    def __init__(self):
        self.status_answers = 0
        self.slowest_status = 0.0
        self.late_status = []
        self.phases = []  # (name, monotonic start)
        self.peak_rss_mib = 0.0
        self.acknowledgements = 0
        self.documents_sent = 0
        self.flood_bytes = 0
        self.documents_flooded = 0
        self.flood_acknowledgements = 0
        self.idle_connected = 0
        self.idle_cpu_percent = 0.0
        self.exhausted_cpu_percent = 0.0
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
    answers, slowest, late = 0, 0.0, []
    while not stop.is_set():
        started = time.monotonic()
        connection.sendall(b"\x0b?0")
        for _ in range(7):
            replies.readline()
        elapsed = time.monotonic() - started
        answers += 1
        slowest = max(slowest, elapsed)
        if elapsed > STATUS_LIMIT_SECONDS:
            late.append(started)
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


async def web_attack(port, figures):
    """Many connections held open, huge headers, live pages that never read, and pictures asked for."""
    held = []
    for _ in range(300):
        try:
            held.append(await asyncio.open_connection("127.0.0.1", port))
        except OSError:
            break
    for idle_reader, idle_writer in held:
        idle_writer.close()
    await asyncio.sleep(0.5)  # the display has seen them go
    for _ in range(20):
        try:
            reader, writer = await asyncio.open_connection("127.0.0.1", port)
            writer.write(b"GET / HTTP/1.1\r\nHost: x\r\nX-Fill: " + b"a" * (256 << 10) + b"\r\n\r\n")
            await writer.drain()
            writer.close()
        except OSError:
            pass  # cut off midway: what a huge header should get
    pages = []
    for _ in range(5):
        reader, writer = await asyncio.open_connection("127.0.0.1", port, limit=1)
        writer.write(b"GET /live HTTP/1.1\r\nHost: x\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                     b"Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n")
        await writer.drain()
        pages.append(writer)
    for _ in range(20):
        if await web_get(port, "/screen.png") != 200:
            figures.failures.append("the web monitor did not give its picture under load")
            break
    for writer in pages:
        writer.close()


async def web_get(port, path):
    reader, writer = await asyncio.open_connection("127.0.0.1", port)
    writer.write(f"GET {path} HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n".encode())
    await writer.drain()
    answer = await asyncio.wait_for(reader.read(), 10)
    writer.close()
    return int(answer.split(b" ", 2)[1]) if answer.startswith(b"HTTP/1.1 ") else 0


async def flood_of_documents(port, count, figures):
    """Complete documents, each with a 32 KiB comment, sent as fast as the display reads them. Each
    fades in, a third of a second, so they arrive far faster than they are presented; the last fade
    is over long before the display's CPU is measured out of descriptors."""
    reader, writer = await asyncio.open_connection("127.0.0.1", port)
    await read_greeting(reader)

    async def count_acknowledgements():
        while data := await reader.read(65536):
            figures.flood_acknowledgements += data.count(b"OK")

    acknowledgements = asyncio.create_task(count_acknowledgements())
    for i in range(count):
        writer.write(document(f"Flood {i}", effect="Fade", padding=16384))
        figures.documents_flooded += 1
        if i % 64 == 0:
            await writer.drain()
    await writer.drain()
    await asyncio.sleep(1)
    writer.close()
    await acknowledgements


def cpu_ticks(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # user and system time of all threads


async def cpu_percent(pid, seconds):
    """The display's CPU share over the given time, in per cent of one core."""
    before, started = cpu_ticks(pid), time.monotonic()
    await asyncio.sleep(seconds)
    return (cpu_ticks(pid) - before) / os.sysconf("SC_CLK_TCK") / (time.monotonic() - started) * 100


def descriptors(pid):
    """The display's open file descriptors, and its limit."""
    with open(f"/proc/{pid}/limits") as limits:
        limit = next(int(line.split()[3]) for line in limits if line.startswith("Max open files"))
    return len(os.listdir(f"/proc/{pid}/fd")), limit


async def exhaust_descriptors(pid, port, figures):
    """Opens idle connections one at a time, each waiting for its greeting, until the display has no
    descriptor left. Returns them, and one more connection that waits in the backlog."""
    held = []
    while True:
        reader, writer = await asyncio.open_connection("127.0.0.1", port)
        greeting = asyncio.create_task(read_greeting(reader))
        while not greeting.done() and descriptors(pid)[0] < descriptors(pid)[1]:
            await asyncio.sleep(0.005)
        if not greeting.done():
            # The display is out of descriptors. If it took this connection with its last one, the
            # greeting follows at once; if not, this connection is the one that waits.
            await asyncio.wait([greeting], timeout=2)
        if not greeting.done():
            return held, (reader, writer, greeting)
        await greeting
        held.append(writer)
        figures.idle_connected += 1
        if descriptors(pid)[0] >= descriptors(pid)[1]:
            reader, writer = await asyncio.open_connection("127.0.0.1", port)
            return held, (reader, writer, asyncio.create_task(read_greeting(reader)))


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
    web = int(sys.argv[sys.argv.index("--web") + 1]) if "--web" in sys.argv else None
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (min(hard, 8192), hard))
    random.seed(7)

    figures = Figures()
    stop = asyncio.Event()
    stop_watching = multiprocessing.Event()
    watch_results, watch_sender = multiprocessing.Pipe(duplex=False)
    watcher = multiprocessing.Process(target=watch_status, args=(control, stop_watching, watch_sender))
    watcher.start()
    memory = asyncio.create_task(sample_memory(pid, figures, stop))
    await asyncio.sleep(0.5)

    figures.idle_cpu_percent = await cpu_percent(pid, 2)

    # 1. The load, with descriptors to spare.
    started = time.monotonic()
    figures.phases.append(("load", started))
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
        *([timed("web", web_attack(web, figures))] if web else []),
    )
    load_seconds = time.monotonic() - started

    # 2. Complete documents faster than they are presented.
    figures.phases.append(("documents", time.monotonic()))
    await timed("documents", flood_of_documents(feed, 20000 if full else 10000, figures))

    # 3. Out of descriptors: quiet, and still answering the status.
    figures.phases.append(("exhaustion", time.monotonic()))
    held, (reader, writer, greeting) = await exhaust_descriptors(pid, feed, figures)
    writer.write(document("The show goes on", "clLime"))
    await writer.drain()
    figures.exhausted_cpu_percent = await cpu_percent(pid, 3)
    if greeting.done():
        figures.failures.append("the display accepted a connection beyond its descriptors")

    # 4. The idle connections go: the waiting one is taken, its caption acknowledged and shown.
    figures.phases.append(("release", time.monotonic()))
    for idle in held:
        idle.close()
    try:
        await asyncio.wait_for(greeting, 10)
        if await asyncio.wait_for(reader.read(2), 10) != b"OK":
            figures.failures.append("the final caption was not acknowledged")
    except asyncio.TimeoutError:
        figures.failures.append("the waiting connection was not accepted once descriptors were free")
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
          f"{figures.acknowledgements} OK replies; {figures.flood_bytes >> 20} MiB without tags")
    print(f"flood: {figures.documents_flooded} complete documents, {figures.flood_acknowledgements} OK replies")
    print(f"descriptors: {figures.idle_connected} idle connections held; CPU {figures.exhausted_cpu_percent:.1f} % "
          f"of a core out of descriptors, {figures.idle_cpu_percent:.1f} % idle")
    print("durations: " + ", ".join(f"{name} {seconds:.1f} s" for name, seconds in durations.items()))
    late_phases = [next((name for name, began in reversed(figures.phases) if began <= moment), "before")
                   for moment in figures.late_status]
    print(f"status: {figures.status_answers} answers, slowest {figures.slowest_status * 1000:.1f} ms, "
          f"{len(figures.late_status)} over {STATUS_LIMIT_SECONDS * 1000:.0f} ms"
          + (f" (in phases: {', '.join(late_phases)})" if late_phases else ""))
    print(f"memory: peak resident {figures.peak_rss_mib:.0f} MiB (bound {MEMORY_BOUND_MIB} MiB)")
    if web and await web_get(web, "/health") != 200:
        figures.failures.append("the web monitor's health check did not answer 200 after the attack")
    if figures.late_status:
        figures.failures.append(f"{len(figures.late_status)} status answers came late")
    if not shown:
        figures.failures.append("the final caption was not shown")
    if figures.peak_rss_mib > MEMORY_BOUND_MIB:
        figures.failures.append("resident memory beyond its bound")
    if figures.acknowledgements == 0 or figures.flood_acknowledgements == 0:
        figures.failures.append("no document was acknowledged")
    if figures.idle_connected < 100:
        figures.failures.append("the display ran out of descriptors too early")
    if figures.exhausted_cpu_percent > figures.idle_cpu_percent + QUIET_EXCESS_PERCENT:
        figures.failures.append("the display kept busy while out of descriptors")
    for failure in figures.failures:
        print(f"FAILED: {failure}")
    return 1 if figures.failures else 0


if __name__ == "__main__":
    sys.exit(asyncio.run(main()))
