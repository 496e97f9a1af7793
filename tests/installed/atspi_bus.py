"""The accessibility bus as any outside program sees it, over raw D-Bus (Gio), not through a
screen reader's library: every signal a program sends, and every object path it has ever
published asked directly for its name and description. Where a library walks only the tree a
program chooses to show, this finds what the program would rather hide.

Run inside scripts/with-accessibility, which starts the accessibility bus."""

import re

from gi.repository import Gio, GLib

ACCESSIBLE = "org.a11y.atspi.Accessible"
ROOT = "/org/a11y/atspi/accessible/root"
PATH = re.compile(r"^/org/a11y/atspi/accessible/(\d+)$")


def connect():
    """A connection of our own to the session's accessibility bus."""
    session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    address = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                                None, GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, 5000,
                                None).unpack()[0]
    return Gio.DBusConnection.new_for_address_sync(
        address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
        | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)


def call(bus, name, path, interface, method, args=None, timeout=2000):
    return bus.call_sync(name, path, interface, method, args, None, Gio.DBusCallFlags.NONE,
                         timeout, None).unpack()


def bus_name_of(bus, pid):
    """The program's unique name on the accessibility bus, found by its process, or None."""
    names = call(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                 "ListNames")[0]
    for name in names:
        if not name.startswith(":"):
            continue
        try:
            owner = call(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                         "org.freedesktop.DBus", "GetConnectionUnixProcessID",
                         GLib.Variant("(s)", (name,)))[0]
        except GLib.Error:
            continue
        if owner == pid:
            try:  # the program's own connection, the one that publishes its objects
                call(bus, name, ROOT, "org.freedesktop.DBus.Properties", "Get",
                     GLib.Variant("(ss)", (ACCESSIBLE, "Name")), 1000)
                return name
            except GLib.Error:
                continue
    return None


class Recorder:
    """Every signal a program sends on the bus from the moment it is made: (path, member,
    arguments as text)."""

    def __init__(self, bus):
        self.bus = bus
        self.signals = []
        self._id = bus.signal_subscribe(None, None, None, None, None,
                                        Gio.DBusSignalFlags.NONE, self._received)

    def _received(self, _bus, sender, path, interface, member, parameters):
        self.signals.append((sender, path, f"{interface}.{member}", str(parameters)))

    def paths(self, sender):
        """The object paths the sender named in its signals, as sources or in arguments."""
        found = set()
        for who, path, _, args in self.signals:
            if who == sender:
                found.add(path)
                found.update(re.findall(r"/org/a11y/atspi/accessible/\d+", args))
        return found

    def close(self):
        self.bus.signal_unsubscribe(self._id)


def tree_paths(bus, name):
    """Every object path reachable from the program's root by its children."""
    seen, todo = set(), [ROOT]
    while todo:
        path = todo.pop()
        if path in seen:
            continue
        seen.add(path)
        try:
            children = call(bus, name, path, ACCESSIBLE, "GetChildren")[0]
        except GLib.Error:
            continue
        todo += [child_path for child_name, child_path in children if child_name == name]
    return seen


def neighbours(paths, margin=64):
    """The paths of every id between the lowest and the highest of paths, and margin either
    side: the ids a program hands out one after another, hidden objects' among them."""
    ids = [int(m.group(1)) for m in map(PATH.match, paths) if m]
    if not ids:
        return set()
    return {f"/org/a11y/atspi/accessible/{i}" for i in range(max(0, min(ids) - margin),
                                                             max(ids) + margin + 1)}


def told(bus, name, path):
    """What the object at path tells when asked directly: its name and description (empty
    for a path that holds no object)."""
    values = []
    for prop in ("Name", "Description"):
        try:
            values.append(call(bus, name, path, "org.freedesktop.DBus.Properties", "Get",
                               GLib.Variant("(ss)", (ACCESSIBLE, prop)), 1000)[0])
        except GLib.Error:
            pass
    return values


def leaks(bus, name, recorder, secrets):
    """Where any of secrets comes out: in a signal the program sent, or in the name or
    description of any path it published or might have (tree, signals, neighbouring ids).
    Returns (what was looked at, [findings])."""
    findings = []
    for who, path, member, args in recorder.signals:
        if who == name:
            for secret in secrets:
                if f"'{secret}'" in args:
                    findings.append(f"signal {member} of {path} carries {secret!r}")
    paths = tree_paths(bus, name) | recorder.paths(name)
    paths |= neighbours(paths)
    for path in sorted(paths):
        for value in told(bus, name, path):
            if value in secrets:
                findings.append(f"{path} tells {value!r}")
    return len(paths), findings
