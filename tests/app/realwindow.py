"""The real window as the checks run by RealWindow_test.sh see it: started
with Qt's at-spi bridge always on, found in the at-spi registry, its
controls with their names, roles and places on the screen, and the pointer
moved and pressed through xdotool."""
import contextlib
import os
import subprocess
import sys
import time

import pyatspi

CONTROLS = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_COMBO_BOX,
    pyatspi.ROLE_TEXT, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_SLIDER, pyatspi.ROLE_TABLE,
}
WORK = os.environ.get("TONEMILL_TEST_WORK", "/tmp")


def fail(message):
    sys.exit("FAILED: " + message)


def poll(what, find, limit=60.0):
    """The first true answer of find(), asked until `limit` seconds pass."""
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.1)
    fail(f"{what} within {limit:.0f} s")


@contextlib.contextmanager
def window(tonemill, *files):
    """The window showing `files`, and its application in the registry."""
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    process = subprocess.Popen([tonemill, *files], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def application():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name.lower() == "tonemill" and app.childCount > 0:
                return app
        return None

    try:
        app = poll("the window in the at-spi registry", application)
        poll("the window's controls", lambda: controls(app))
        yield app
    finally:
        process.terminate()
        process.wait(timeout=30)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def controls(node, roles=CONTROLS):
    """The nodes of `roles` that show below `node`; a table's cells are its own."""
    found = []
    for child in node:
        if child is None or not showing(child):
            continue
        if child.getRole() in roles:
            found.append(child)
        if child.getRole() != pyatspi.ROLE_TABLE:
            found += controls(child, roles)
    return found


def named(app, name, roles=CONTROLS):
    return next((node for node in controls(app, roles) if node.name == name), None)


def place(node):
    """The node's place on the screen: x, y, width, height."""
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.y, box.width, box.height


def middle(node):
    x, y, width, height = place(node)
    return x + width // 2, y + height // 2


def xdotool(*arguments):
    subprocess.run(["xdotool", *map(str, arguments)], check=True)


def click_at(x, y):
    xdotool("mousemove", "--sync", x, y, "click", "1")
