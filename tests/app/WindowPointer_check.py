"""The pointer on the real window under openbox: "Stop" comes under the
pointer exactly where "Convert Selected" was, so a second click there stops
the batch; a quick press on the end-of-batch link opens the output folder
and does not move the window; a drag of the title strip moves it, and the
move ends with the button's release."""
import glob
import os
import subprocess
import sys
import time
import urllib.parse

import pyatspi

from realwindow import WORK, controls, fail, middle, named, place, poll, window, xdotool

media = os.path.join(WORK, "media")
os.makedirs(media)
tones = {"long": 600, "short": 1}
for name, seconds in tones.items():
    subprocess.run(["ffmpeg", "-loglevel", "error", "-f", "lavfi", "-i", f"sine=f=440:d={seconds}", "-ac", "2",
                    os.path.join(media, name + ".flac")], check=True)
outputs = os.path.join(os.environ["HOME"], "Converted Files")


def window_place():
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Tonemill$"], capture_output=True,
                           text=True).stdout.split()
    geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", found[0]], capture_output=True,
                              text=True).stdout
    values = dict(line.split("=") for line in geometry.split())
    return int(values["X"]), int(values["Y"])


def stays(where, limit=1.5):
    """True when the window has not left `where` within `limit` seconds."""
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        if window_place() != where:
            return False
        time.sleep(0.1)
    return True


with window(sys.argv[1], os.path.join(media, "long.flac")) as app:
    # The row highlighted, then Convert Selected: it converts the highlighted row.
    table = next(node for node in controls(app) if node.getRole() == pyatspi.ROLE_TABLE)
    xdotool("mousemove", "--sync", *middle(table.queryTable().getAccessibleAt(0, 2)), "click", "1")
    button = named(app, "Convert Selected")
    before = place(button)
    x, y = middle(button)
    xdotool("mousemove", "--sync", x, y, "click", "1")
    poll("the batch started", lambda: named(app, "Convert Selected") is None)
    stops = [place(node) for node in controls(app, {pyatspi.ROLE_PUSH_BUTTON}) if node.name == "Stop"]
    if before not in stops:  # the player has a Stop of its own
        fail(f"Convert Selected was at {before}, the Stop buttons are at {stops}")
    xdotool("click", "1")  # the pointer has not moved
    poll("Convert Selected back after Stop", lambda: named(app, "Convert Selected"))
    poll("the stopped row's shorter file", lambda: glob.glob(os.path.join(outputs, "long (stopped at *")))

with window(sys.argv[1], os.path.join(media, "short.flac")) as app:
    xdotool("mousemove", "--sync", *middle(named(app, "Convert All")), "click", "1")
    line = poll("the end-of-batch line", lambda: next(
        (node for node in controls(app, {pyatspi.ROLE_LABEL}) if "1 converted" in node.name), None))
    where = window_place()
    # The link ends the line, at its right end: a quick press and release there.
    x, y, width, height = place(line)
    xdotool("mousemove", "--sync", x + width - 12, y + height // 2)
    xdotool("mousedown", "1")
    xdotool("mouseup", "1")
    opened = os.path.join(WORK, "opened")  # what the desktop was asked to open, one address a line

    def opened_folders():
        if not os.path.exists(opened):
            return []
        return [urllib.parse.unquote(urllib.parse.urlparse(line).path) for line in open(opened).read().split()]

    poll("the output folder opened", lambda: outputs in opened_folders(), 20)
    xdotool("mousemove", "--sync", x + width - 200, y - 150)
    if not stays(where):
        fail(f"the window moved from {where} to {window_place()} after a press on the link")

    # A drag of the title strip moves the window; the release ends the move.
    title = named(app, "Tonemill", {pyatspi.ROLE_LABEL})
    x, y = middle(title)
    xdotool("mousemove", "--sync", x, y, "mousedown", "1")
    for step in range(1, 9):
        xdotool("mousemove", "--sync", x + 10 * step, y + 5 * step)
    xdotool("mouseup", "1")
    moved = poll("the window dragged", lambda: window_place() if window_place() != where else None, 10)
    xdotool("mousemove", "--sync", x + 300, y + 200)
    if not stays(moved):
        fail(f"the window went on following the pointer after the release: {moved} to {window_place()}")

    # Quick drags, released before the window manager has taken the move
    # (how soon it does varies): the move ends with the release all the same.
    for _ in range(3):
        x, y = middle(title)
        xdotool("mousemove", "--sync", x, y, "mousedown", "1", "mousemove", x + 15, y + 7, "mouseup", "1")
        settled = poll("the window at rest", lambda: (lambda a: a if stays(a, 0.5) else None)(window_place()), 10)
        xdotool("mousemove", "--sync", x + 300, y + 200)
        if not stays(settled):
            fail(f"after a quick drag the window followed the pointer: {settled} to {window_place()}")
print("passed")
