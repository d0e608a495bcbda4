#!/usr/bin/python3
"""Reads the pop-up menu an application opens on a click, as a screen reader sees it through the
accessibility bus: prints the menu's screen position, then one line per item (its name, with
"(ticked)" for a ticked item, or "-" for a separator). Exits 1 when no menu opens in time.

    read_popup_menu.py X Y APPLICATION LISTENING_FILE

An application tells the bus of a menu showing only when it knows that someone listens for that,
and it asks once, as its accessibility support starts. So the listener is registered first and
LISTENING_FILE written; the caller then starts the application; the click at X, Y comes once the
application named APPLICATION has joined the bus."""
import subprocess
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

POLL_MS = 100
TIMEOUT_MS = 30000

x, y, application_name, listening_file = sys.argv[1:5]
loop = GLib.MainLoop()
lines = []


def item_line(item):
    if item.get_role() == Atspi.Role.SEPARATOR:
        return "-"
    ticked = item.get_state_set().contains(Atspi.StateType.CHECKED)
    return item.get_name() + (" (ticked)" if ticked else "")


def on_showing(event):
    menu = event.source
    if event.detail1 != 1 or menu.get_role() != Atspi.Role.POPUP_MENU or lines:
        return
    corner = menu.get_position(Atspi.CoordType.SCREEN)
    lines.append(f"at {corner.x},{corner.y}")
    lines.extend(item_line(menu.get_child_at_index(i)) for i in range(menu.get_child_count()))
    loop.quit()


def application_joined():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        application = desktop.get_child_at_index(i)
        if application is not None and application.get_name() == application_name:
            return True
    return False


def click_once_joined():
    if not application_joined():
        return True
    subprocess.run(["xdotool", "mousemove", "--sync", x, y, "click", "1"], check=True)
    return False


listener = Atspi.EventListener.new(on_showing)
listener.register("object:state-changed:showing")
with open(listening_file, "w") as listening:
    listening.write("listening\n")
GLib.timeout_add(POLL_MS, click_once_joined)
GLib.timeout_add(TIMEOUT_MS, loop.quit)
loop.run()
if not lines:
    print("no pop-up menu opened")
    sys.exit(1)
print("\n".join(lines))
