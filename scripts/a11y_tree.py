#!/usr/bin/python3
"""Prints the accessible tree of the running trainer window as a screen
reader reads it over AT-SPI: one line per object, its role and name,
"(hidden)" for what is not showing. Exits 1 when the window is not found or
a showing control has no name.

Run the trainer with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 on the same D-Bus
session first; scripts/a11y_check.sh does all of it under Xvfb."""
import sys
import time

import pyatspi

CONTROLS = {
    "push button", "check box", "radio button", "combo box", "slider", "spin button",
    "scroll bar", "text", "entry", "table", "list", "tree", "page tab", "page tab list",
    "password text", "toggle button",
}


def find_application(name, seconds=20):
    deadline = time.time() + seconds
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name.lower() == name.lower():
                return app
        time.sleep(0.5)
    return None


def walk(node, depth, unnamed):
    states = node.getState()
    showing = states.contains(pyatspi.STATE_SHOWING)
    role = node.getRoleName()
    name = node.name or ""
    mark = "" if showing else " (hidden)"
    print("%s%s: «%s»%s" % ("  " * depth, role, name, mark))
    if showing and role in CONTROLS and not name.strip():
        unnamed.append(role)
    if role in ("table", "list", "tree"):
        return  # the cells are read through the table
    for child in node:
        if child is not None:
            walk(child, depth + 1, unnamed)


def main():
    app = find_application(sys.argv[1] if len(sys.argv) > 1 else "tonvik")
    if app is None:
        print("the trainer is not on the accessibility bus", file=sys.stderr)
        return 1
    unnamed = []
    for window in app:
        walk(window, 0, unnamed)
    if unnamed:
        print("showing controls without a name: %s" % ", ".join(unnamed), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
