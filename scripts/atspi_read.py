#!/usr/bin/python3
# The AT-SPI half of scripts/atspi-read: finds torvane's text view on the accessibility bus,
# reads it, moves the caret, types and deletes through it, and checks the events it sends.
import sys
import time

import pyatspi
from gi.repository import GLib


def find_app(name, seconds=30):
    deadline = time.time() + seconds
    while time.time() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name and name in app.name.lower():
                return app
        time.sleep(0.5)
    return None


def find_text_view(node, depth=0):
    """The first multi-line editable text below node, depth first."""
    if node is None or depth > 40:
        return None
    try:
        state = node.getState()
        if state.contains(pyatspi.STATE_MULTI_LINE) and state.contains(pyatspi.STATE_EDITABLE):
            return node
        children = list(node)
    except Exception:
        return None
    for child in children:
        found = find_text_view(child, depth + 1)
        if found is not None:
            return found
    return None


def main():
    app = find_app("torvane")
    if app is None:
        print("no application called torvane on the accessibility bus")
        return 1
    view = None
    deadline = time.time() + 20
    while view is None and time.time() < deadline:
        view = find_text_view(app)
        if view is None:
            time.sleep(0.5)
    if view is None:
        print("no editable multi-line text in torvane")
        return 1
    text = view.queryText()
    count = text.characterCount
    print("role:", view.getRoleName(), "| name:", view.name)
    print("characters:", count)
    print("first line:", repr(text.getTextAtOffset(0, pyatspi.TEXT_BOUNDARY_LINE_START)[0]))
    target = text.getTextAtOffset(0, pyatspi.TEXT_BOUNDARY_LINE_START)[2]  # start of line 2
    events = []

    def on_event(event):
        if event.source == view:
            events.append((event.type, event.detail1, event.any_data))

    pyatspi.Registry.registerEventListener(
        on_event, "object:text-caret-moved", "object:text-changed:insert",
        "object:text-changed:delete")

    def act():
        text.setCaretOffset(target)
        editable = view.queryEditableText()
        editable.insertText(target, "Z", 1)
        editable.deleteText(target, target + 1)
        GLib.timeout_add(2000, lambda: pyatspi.Registry.stop())
        return False

    GLib.timeout_add(500, act)
    pyatspi.Registry.start()
    for kind, detail, data in events:
        print("event:", kind, detail, repr(data))
    print("caret:", text.caretOffset, "| line at caret:",
          repr(text.getTextAtOffset(text.caretOffset, pyatspi.TEXT_BOUNDARY_LINE_START)[0]))
    wanted = [("object:text-caret-moved", target), ("object:text-changed:insert", target),
              ("object:text-changed:delete", target)]
    seen = [(kind, detail) for kind, detail, _ in events]
    missing = [w for w in wanted if w not in seen]
    if missing or text.characterCount != count:
        print("missing:", missing, "| characters now:", text.characterCount)
        return 1
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
