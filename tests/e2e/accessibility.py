#!/usr/bin/env python3
"""What a screen reader hears: the real program under Xvfb and openbox, with a
private D-Bus session bus and the AT-SPI registry of its own, its windows walked
with pyatspi as a reader walks them.

    accessibility.py --program build/src/app/kavrilon --output DIR

Every list, field, drop-down, slider and window shown on the way is held to its
role and its name (the visible label, without the accelerator mark); the change
window reads each caption before its value; result and link lines are read with
their column names; the picture speaks what is selected in it; and a step of
Step Through reaches the reader as an event carrying the new sentence."""

import argparse
import os
import subprocess
import sys
import time

try:
    import pyatspi
except ImportError:
    # Debian's module is built for Debian's interpreter.
    if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    print("SKIPPED: python3-pyatspi is not installed (scripts/setup.sh installs it)")
    sys.exit(77)

from gi.repository import GLib

from desktop import Desktop, Failure, _die_with_parent
from kavrilon_e2e import CHANGE, CHOOSER, LINKS, MAIN, NODES, RESULTS, load, open_window
from step_through import EXAMPLES, PICTURE, STEPS

HELP = "Kavrilon Help"

# Role and name of the controls each window must show a reader.
EXPECTED = {
    MAIN: [],
    HELP: [],
    NODES: [("text", "Node Name"), ("list", "List of Nodes")],
    LINKS: [("list", "Origin Node"), ("list", "Destination Node"), ("text", "Unit Cost"),
            ("text", "Lower Bound"), ("text", "Upper Bound"), ("list", "Table of Links")],
    CHANGE: [("combo box", "Table of Links"), ("combo box", "Origin"),
             ("combo box", "Destination"), ("text", "Lower Bound"), ("text", "Upper Bound"),
             ("text", "Unit Cost"), ("text", "Link Number"), ("text", "Actual Flow"),
             ("text", "Reduced Cost"), ("text", "In Kilter?")],
    RESULTS: [("list", "Link Information"), ("list", "Node Information")],
    PICTURE: [("combo box", "Scale:")],
    STEPS: [("slider", "Speed:")],
}
CHANGE_ROWS = ["Link Number", "Origin", "Destination", "Lower Bound", "Actual Flow",
               "Upper Bound", "Unit Cost", "Reduced Cost", "In Kilter?"]
CONTROL_ROLES = {"list", "text", "combo box", "slider", "spin button", "progress bar", "table",
                 "tree"}


class Reader:
    """The reader's side: the accessibility tree of the program and the events
    it sends."""

    def __init__(self, d):
        self.d = d
        self.events = []

    def application(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for k in range(desktop.childCount):
            app = desktop.getChildAtIndex(k)
            if app is not None and app.name == "Kavrilon":
                return app
        return None

    def window(self, title):
        def found():
            app = self.application()
            if app is None:
                return None
            for k in range(app.childCount):
                child = app.getChildAtIndex(k)
                if child is not None and child.name == title and \
                        child.getState().contains(pyatspi.STATE_SHOWING):
                    return child
            return None
        return self.d._until(found, "the reader does not see the window \"%s\"" % title)

    def descendants(self, node):
        found = []
        for k in range(node.childCount):
            child = node.getChildAtIndex(k)
            if child is None:
                continue
            found.append(child)
            if child.getRoleName() not in ("list", "table", "tree", "combo box"):
                found.extend(self.descendants(child))
        return found

    def controls(self, window):
        return [(a.getRoleName(), a.name) for a in self.descendants(window)
                if a.getRoleName() in CONTROL_ROLES and
                a.getState().contains(pyatspi.STATE_SHOWING)]

    def check_window(self, title):
        self.d.step("reading the window \"%s\"" % title)
        window = self.window(title)
        if window.getRoleName() != "frame":
            self.d.fail("the window is reported as \"%s\", not as a frame" % window.getRoleName())
        controls = self.controls(window)
        for control in EXPECTED[title]:
            if control not in controls:
                self.d.fail("no %s named \"%s\"; the reader hears %s" % (*control, controls))
        unnamed = [role for role, name in controls if not name.strip()]
        if unnamed:
            self.d.fail("controls without a name: %s" % unnamed)
        return window

    def first_line(self, window, list_name):
        for a in self.descendants(window):
            if a.getRoleName() == "list" and a.name == list_name:
                for k in range(a.childCount):
                    item = a.getChildAtIndex(k)
                    if item is not None and item.getRoleName() == "list item":
                        return item.name
        self.d.fail("the list \"%s\" has no line a reader can read" % list_name)

    def listen(self, kind):
        pyatspi.Registry.registerEventListener(self.events.append, kind)

    def heard(self, predicate, what, seconds=5.0):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            while GLib.MainContext.default().iteration(False):
                pass
            for event in self.events:
                if predicate(event):
                    return event
            time.sleep(0.05)
        self.d.fail("the reader heard no %s; it heard %s" % (
            what, [(e.type, e.source.name) for e in self.events][-10:]))


def start_bus(d):
    """A D-Bus session bus of the test's own; the AT-SPI bus starts on it when
    the program or the reader asks for it."""
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=d.env,
                           preexec_fn=_die_with_parent)
    address = bus.stdout.readline().decode().strip()
    if not address:
        raise Failure("the D-Bus session bus did not start")
    d.env.update(DBUS_SESSION_BUS_ADDRESS=address, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                 QT_ACCESSIBILITY="1")
    os.environ.update(DISPLAY=d.display, DBUS_SESSION_BUS_ADDRESS=address,
                      XDG_RUNTIME_DIR=d.env["XDG_RUNTIME_DIR"])
    return bus


def editing_windows(d, reader):
    open_window(d, "alt+n", CHOOSER, MAIN)
    open_window(d, "alt+n", NODES, CHOOSER)
    reader.check_window(NODES)
    d.press_in(NODES, "alt+q")
    links = open_window(d, "alt+l", LINKS, CHOOSER)
    window = reader.check_window(LINKS)
    line = reader.first_line(window, "Table of Links")
    if not line.startswith("link 1, origin ") or ", cost " not in line:
        d.fail("the Table of Links' first line is read as \"%s\"" % line)
    d.press_in(LINKS, "alt+q")
    d.wait_gone(links, LINKS)
    d.press_in(CHOOSER, "alt+q")
    open_window(d, "alt+c", CHANGE, MAIN)
    d.key("alt+t", "Down")
    window = reader.check_window(CHANGE)
    order = [(a.getRoleName(), a.name) for a in reader.descendants(window)]
    for caption in CHANGE_ROWS:
        label = order.index(("label", caption)) if ("label", caption) in order else -1
        value = order.index(("text", caption)) if ("text", caption) in order else -1
        if label < 0 or value != label + 1:
            d.fail("the row \"%s\" is not read caption then value: %s" % (caption, order))
    d.press_in(CHANGE, "alt+q")


def results_windows(d, reader):
    d.press_in(MAIN, "alt+r")
    d.answer_box("Return")  # the solution time
    open_window(d, "alt+d", RESULTS, MAIN)
    window = reader.check_window(RESULTS)
    line = reader.first_line(window, "Link Information")
    for column in ("link ", ", origin ", ", destination ", ", lower ", ", flow ", ", upper ",
                   ", cost ", ", reduced cost "):
        if column not in line:
            d.fail("a link line is read as \"%s\", without \"%s\"" % (line, column.strip(", ")))
    if not reader.first_line(window, "Node Information").startswith("node "):
        d.fail("a node line is not read with its column names")
    picture = open_window(d, "alt+w", PICTURE, RESULTS)
    window = reader.check_window(PICTURE)
    if not [a for a in reader.descendants(window) if a.name.startswith("Legend: at lower bound")]:
        d.fail("the legend is not read in words")
    d.step("N selects a node of the picture, and the picture says which")
    time.sleep(1.0)  # the layout
    d.activate(picture)
    d.key("n")

    def described():
        for a in reader.descendants(window):
            if a.name == "Network picture" and a.description.startswith("node "):
                return True
        return False
    d._until(described, "the picture does not describe the node that N selected")
    reader.listen("object:property-change:accessible-name")
    reader.listen("object:property-change:accessible-description")
    d.step("opening Step Through from the picture")

    def steps_open():
        d.activate(picture)
        d.key("alt+p")
        time.sleep(0.5)
        return d.windows(STEPS)
    d._until(steps_open, "Step Through did not open")
    d.activate(d.wait_window(STEPS))
    reader.check_window(STEPS)
    d.step("a step is announced")
    del reader.events[:]
    d.key("Right")
    # The sentence becomes the name of the words' label and the description
    # of the focused button, which readers speak.
    told = reader.heard(lambda e: e.type.endswith("accessible-description") and
                        e.source.getRoleName() == "push button", "sentence on the focused button")
    sentence = told.source.description
    if len(sentence) < 20:
        d.fail("the focused button was told \"%s\", not a sentence" % sentence)
    reader.heard(lambda e: e.type.endswith("accessible-name") and
                 e.source.getRoleName() == "label" and e.source.name == sentence,
                 "sentence \"%s\" as the name of the words' label" % sentence)


def help_window(d, reader):
    open_window(d, "F1", HELP, MAIN)
    window = reader.check_window(HELP)
    # Qt reports read-only text as a label; the reader reads it through its text.
    guide = [a for a in reader.descendants(window) if a.name == "Kavrilon user's guide"]
    if not guide:
        d.fail("the guide's text has no name")
    text = guide[0].queryText()
    if "Reading the results" not in text.getText(0, text.characterCount):
        d.fail("the reader cannot read the guide's text")
    d.press_in(HELP, "Escape")


def tour(d):
    bus = start_bus(d)
    try:
        d.launch()
        reader = Reader(d)
        reader.check_window(MAIN)
        d.step("F1 opens the guide")
        help_window(d, reader)
        d.step("loading the transportation example")
        load(d, os.path.join(EXAMPLES, "TRANSPRT.NDE"))
        editing_windows(d, reader)
        results_windows(d, reader)
    finally:
        bus.terminate()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--output", required=True)
    args = parser.parse_args()
    with Desktop(os.path.abspath(args.program), os.path.abspath(args.output),
                 "accessibility") as d:
        try:
            tour(d)
        except Failure as failure:
            print("FAILED accessibility: %s" % failure)
            return 1
    print("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
