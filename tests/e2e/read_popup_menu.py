#!/usr/bin/python3
"""Clicks at a screen point and prints the pop-up menu that opens there, as a screen reader sees it
through the accessibility bus: the menu's screen position, then one line per item (its name, with
"(ticked)" for a ticked item, or "-" for a separator). Exits 1 when no menu opens in time."""
import subprocess
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# Long enough for the display to learn, over the bus, that someone listens for menus showing.
LISTENER_SETTLE_MS = 500
TIMEOUT_MS = 10000

x, y = sys.argv[1], sys.argv[2]
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


def click():
    subprocess.run(["xdotool", "mousemove", "--sync", x, y, "click", "1"], check=True)
    return False


listener = Atspi.EventListener.new(on_showing)
listener.register("object:state-changed:showing")
GLib.timeout_add(LISTENER_SETTLE_MS, click)
GLib.timeout_add(TIMEOUT_MS, loop.quit)
loop.run()
if not lines:
    print("no pop-up menu opened")
    sys.exit(1)
print("\n".join(lines))
