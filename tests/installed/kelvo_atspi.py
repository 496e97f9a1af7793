"""What a screen reader sees of a running Kelvo, through AT-SPI (pyatspi), for the scripts
that drive the installed program: finding it, walking its tree, waiting for the focus and for
names, reading the geometry of its windows, and the answer key from the answer-sheet table.

Run inside scripts/with-accessibility, which starts the accessibility bus (harness.run_inside)."""

import os
import sys
import time

import pyatspi
from gi.repository import GLib

import harness
from harness import Failure, check  # noqa: F401 (the scripts import them from here)

SOURCE = harness.SOURCE
EXAM_TITLE = "問題 （Kelvo）"


def pump(seconds=0.0):
    """Lets the events that arrived reach their listeners, for seconds at least."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.pending():
            context.iteration(False)
        if time.monotonic() >= end:
            return
        time.sleep(0.02)


def wait_for(what, probe, timeout=30.0):
    """The first true value probe() gives, trying until timeout; Failure naming what otherwise."""
    return harness.wait_until(what, probe, timeout, between=pump)


def answer_sheet():
    """The answer sheet's pages in tab order: (caption, item, [(label name, key caption)])."""
    pages = []
    path = os.path.join(SOURCE, "src", "resources", "answersheet.tsv")
    with open(path, encoding="utf-8") as table:
        for line in table:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            cells = line.split("\t")
            keys = [tuple(cell.split("=", 1)) for cell in cells[3:] if "=" in cell]
            pages.append((cells[1], int(cells[2]), keys))
    return pages


class Program(harness.Program):
    """The program under test (harness.Program), its last events pumped when it stops."""

    def stop(self):
        super().stop()
        pump()


def application(pid, timeout=60.0):
    """The program's accessible application, found by its process."""
    def probe():
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.get_process_id() == pid:
                return app
        return None
    return wait_for("the program on the accessibility bus", probe, timeout)


def windows(app):
    return [app.getChildAtIndex(i) for i in range(app.childCount)]


def window(app, title, timeout=30.0):
    """The program's showing window titled title."""
    def probe():
        for w in windows(app):
            if w is not None and w.name == title and showing(w):
                return w
        return None
    return wait_for(f"the window {title}", probe, timeout)


def walk(node, depth=0):
    """Every node below node, node included, depth first, with its depth."""
    yield node, depth
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def nodes(root):
    return [n for n, _ in walk(root)]


def role(node):
    return node.getRoleName()


def states(node):
    return node.getState()


def showing(node):
    return states(node).contains(pyatspi.STATE_SHOWING)


def focused(node):
    return states(node).contains(pyatspi.STATE_FOCUSED)


def text_of(node):
    """The node's text, where it has the text interface."""
    try:
        text = node.queryText()
    except NotImplementedError:
        return None
    return text.getText(0, text.characterCount)


def find(root, role_name=None, name=None, predicate=None):
    """The nodes below root of that role and name (either may be None) that predicate passes."""
    found = []
    for node, _ in walk(root):
        if role_name is not None and role(node) != role_name:
            continue
        if name is not None and node.name != name:
            continue
        if predicate is not None and not predicate(node):
            continue
        found.append(node)
    return found


def find_one(root, role_name=None, name=None, predicate=None):
    found = find(root, role_name, name, predicate)
    check(len(found) == 1, f"{len(found)} nodes [{role_name}] {name!r}, one expected")
    return found[0]


class FocusTracker:
    """Follows the focus as a screen reader does, by its events, rather than by walking the
    whole tree at every step. Made before the program starts, it sees the first focus too."""

    def __init__(self):
        self.node = None
        pyatspi.Registry.registerEventListener(self._changed, "object:state-changed:focused")

    def _changed(self, event):
        if event.detail1:
            self.node = event.source

    def current(self):
        pump()
        return self.node

    def wait(self, role_name, name=None, timeout=20.0, predicate=None):
        """The focused node once it is of that role and name (or passes predicate)."""
        def fits(node):
            if node is None or role(node) != role_name:
                return False
            return predicate(node) if predicate else node.name == name

        try:
            return wait_for(f"the focus on [{role_name}] {name!r}",
                            lambda: self.node if fits(self.node) else None, timeout)
        except Failure:
            node = self.node
            got = f"[{role(node)}] {node.name!r}" if node is not None else "nothing"
            raise Failure(f"the focus is on {got}, not on [{role_name}] {name!r}") from None

    def change_from(self, node, timeout=10.0):
        """Waits until the focus has left node; the node that has it then."""
        return wait_for("the focus to move", lambda: self.node if self.node != node else None,
                        timeout)


def press(node):
    """Does the node's press action, as a reader's user activating it."""
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("press", "Press", "click"):
            action.doAction(i)
            return
    raise Failure(f"[{role(node)}] {node.name!r} has no press action")


def extents(node):
    """The node's rectangle on the screen: x, y, width, height."""
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.y, box.width, box.height


def describe(node, depth=0):
    state = [s for s, on in (("focused", focused(node)),
                             ("selected", states(node).contains(pyatspi.STATE_SELECTED)),
                             ("checked", states(node).contains(pyatspi.STATE_CHECKED)),
                             ("not showing", not showing(node))) if on]
    return "  " * depth + f"[{role(node)}] {node.name!r}" + (f" ({', '.join(state)})" if state else "")


def print_tree(root, limit=None, out=sys.stdout):
    for count, (node, depth) in enumerate(walk(root)):
        if limit is not None and count >= limit:
            print("  ...", file=out)
            return
        print(describe(node, depth), file=out)
