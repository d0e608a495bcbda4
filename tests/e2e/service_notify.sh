#!/usr/bin/env bash
# End to end: the real display started as a service manager starts a unit of Type=notify, with
# NOTIFY_SOCKET pointing at a datagram socket of this test and a watchdog asked for. "READY=1"
# arrives once both ports take connections, "WATCHDOG=1" keeps arriving, and a copy whose start
# fails (its port taken) never says it is ready. Headless, in a private network namespace; exit 77
# skips where no namespace can be made.
set -euo pipefail
source "$(dirname "$0")/e2e_support.sh"
enter_private_namespace "$@"
display="$1"
make_work_folder
export QT_QPA_PLATFORM=offscreen

python3 - "$display" "$work" "$feed" "$control" <<'PYTHON'
import os, socket, subprocess, sys, time

display, work = sys.argv[1], sys.argv[2]
feed, control = int(sys.argv[3]), int(sys.argv[4])

started = []

def fail(message, log=None):
    print("FAILED:", message)
    if log:
        print(open(log).read())
    for process in started:
        process.kill()
    sys.exit(1)

def start(name, watchdog_usec):
    manager = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
    path = os.path.join(work, name + ".socket")
    manager.bind(path)
    env = dict(os.environ, NOTIFY_SOCKET=path, WATCHDOG_USEC=str(watchdog_usec))
    log = os.path.join(work, name + ".log")
    process = subprocess.Popen([display, "/port", str(feed), "/capport", str(control)],
                               env=env, stdout=open(log, "w"), stderr=subprocess.STDOUT)
    started.append(process)
    return manager, process, log

def messages(manager, seconds):
    manager.settimeout(0.1)
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            yield manager.recv(256).decode()
        except socket.timeout:
            pass

manager, display_process, log = start("first", 1000000)
ready = False
for message in messages(manager, 30):
    if message == "READY=1":
        ready = True
        break
    if message != "WATCHDOG=1":
        fail("unexpected message before ready: " + message, log)
if not ready:
    fail("no READY=1", log)
for port in (feed, control):
    try:
        socket.create_connection(("127.0.0.1", port), timeout=1).close()
    except OSError as error:
        fail(f"ready but port {port} refused: {error}", log)

watchdog = list(messages(manager, 3))
if len(watchdog) < 2 or set(watchdog) != {"WATCHDOG=1"}:
    fail(f"watchdog messages over 3 s at a 0.5 s interval: {watchdog}", log)

# A second copy on the same ports fails its start: it exits without saying it is ready.
second_manager, second, second_log = start("second", 1000000)
try:
    status = second.wait(30)
except subprocess.TimeoutExpired:
    second.kill()
    fail("the second copy did not end", second_log)
said = list(messages(second_manager, 0.2))
if status != 1 or "READY=1" in said:
    fail(f"second copy: status {status}, messages {said}", second_log)

display_process.terminate()
if display_process.wait(30) != 0:
    fail("the display did not end cleanly on SIGTERM", log)
print("service notification test passed")
PYTHON
