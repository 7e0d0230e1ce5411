#!/usr/bin/python3
# The AT-SPI half of scripts/atspi-read: finds torvane's text view on the accessibility bus,
# reads it, moves the caret, types and deletes through it, presses a key in it, and checks
# the text it reads, the caret and the events it sends; finds the object bar's tree by name.
import sys
import time

import pyatspi
from gi.repository import GLib

KEY_END = 0xFF57  # the X keysym of End


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


def find_named(node, role, name, depth=0):
    """The first node below node with role and name, depth first."""
    if node is None or depth > 40:
        return None
    try:
        if node.getRole() == role and node.name == name:
            return node
        children = list(node)
    except Exception:
        return None
    for child in children:
        found = find_named(child, role, name, depth + 1)
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
    problems = []
    text = view.queryText()
    count = text.characterCount
    print("role:", view.getRoleName(), "| name:", view.name)
    print("characters:", count)
    with open(sys.argv[1], encoding="latin-1") as source:
        lines = source.read().splitlines()
    first = text.getTextAtOffset(0, pyatspi.TEXT_BOUNDARY_LINE_START)[0]
    print("first line:", repr(first))
    if first != lines[0] + "\n":
        problems.append("the first line reads %r, not %r" % (first, lines[0]))
    target = text.getTextAtOffset(0, pyatspi.TEXT_BOUNDARY_LINE_START)[2]  # start of line 2
    line_end = target + len(lines[1])  # where End puts the caret on line 2
    tree = find_named(app, pyatspi.ROLE_TREE, "Objects")
    print("object tree:", "found" if tree is not None else "missing")
    if tree is None:
        problems.append("no tree called Objects")
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
        # Without a window manager the X keyboard follows the pointer: bring it over the view.
        component = view.queryComponent()
        component.grabFocus()
        x, y, width, height = component.getExtents(pyatspi.DESKTOP_COORDS)
        pyatspi.Registry.generateMouseEvent(x + width // 2, y + height // 2, pyatspi.MOUSE_ABS)
        GLib.timeout_add(500, press_end)
        return False

    def press_end():
        pyatspi.Registry.generateKeyboardEvent(KEY_END, None, pyatspi.KEY_SYM)
        deadline = time.time() + 20  # a loaded machine (a sanitizer build) is slow to answer
        GLib.timeout_add(200, lambda: wait_for_end(deadline))
        return False

    def wait_for_end(deadline):
        if ("object:text-caret-moved", line_end) in [e[:2] for e in events] or time.time() > deadline:
            pyatspi.Registry.stop()
            return False
        return True

    GLib.timeout_add(500, act)
    pyatspi.Registry.start()
    for kind, detail, data in events:
        print("event:", kind, detail, repr(data))
    print("caret:", text.caretOffset, "| line at caret:",
          repr(text.getTextAtOffset(text.caretOffset, pyatspi.TEXT_BOUNDARY_LINE_START)[0]))
    wanted = [("object:text-caret-moved", target), ("object:text-changed:insert", target),
              ("object:text-changed:delete", target), ("object:text-caret-moved", line_end)]
    seen = [(kind, detail) for kind, detail, _ in events]
    missing = [w for w in wanted if w not in seen]
    if missing:
        problems.append("events not seen: %r" % missing)
    if ("object:text-changed:insert", target, "Z") not in events:
        problems.append("no insertion of 'Z' reported")
    if text.characterCount != count:
        problems.append("%d characters after the edits, not %d" % (text.characterCount, count))
    if text.caretOffset != line_end:
        problems.append("the caret is at %d after End, not %d" % (text.caretOffset, line_end))
    if problems:
        for problem in problems:
            print("problem:", problem)
        return 1
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
