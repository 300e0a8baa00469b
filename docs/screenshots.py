#!/usr/bin/env python3
"""Takes the guide's pictures: the real program under Xvfb and openbox, driven
by keys as in the end-to-end tests, each window saved with its frame.

    docs/screenshots.py --program build/src/app/kavrilon --output docs/images"""

import argparse
import os
import re
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))

from desktop import run  # noqa: E402
from kavrilon_e2e import (CHOOSER, CUT, ERRORS, LINKS, MAIN, NODES, OPEN_NODES,  # noqa: E402
                          RESULTS, choose_file, load, open_window, run_infeasible)

EXAMPLES = os.path.join(HERE, "..", "examples")
PICTURE = "KAVRILON Network Picture"
STEPS = "KAVRILON Step Through"


def tour(d, output):
    def shoot(title, name):
        """Saves the window titled title, with its frame, as name.png."""
        wid = d.wait_window(title)
        time.sleep(0.5)  # the last repaint
        # The frame openbox puts around the window is the child of the root
        # window that holds it.
        parent = re.search(r"Parent window id: (\S+)",
                           d._x(["xwininfo", "-children", "-id", wid])).group(1)
        root = re.search(r"Window id: (\S+)", d._x(["xwininfo", "-root"])).group(1)
        target = wid if parent == root else parent
        path = os.path.join(output, name + ".png")
        d._x(["import", "-display", d.display, "-window", target, path])
        print(path)

    def example(name):
        return os.path.abspath(os.path.join(EXAMPLES, name))

    d.launch()
    time.sleep(2.5)  # the splash closes
    shoot(MAIN, "main-menu")

    # The first nodes of the transportation problem, typed by hand.
    open_window(d, "alt+n", CHOOSER, MAIN)
    open_window(d, "alt+n", NODES, CHOOSER)
    for name in ("SOURCE", "PLANT1", "PLANT2", "PLANT3", "CITY1"):
        d.key("alt+n", "ctrl+a")
        d.type(name)
        d.key("alt+a")
    d.key("alt+n", "ctrl+a")
    d.type("CITY2")
    shoot(NODES, "node-window")
    d.key("alt+a")
    d.press_in(NODES, "alt+q")
    d._until(lambda: not d.windows(NODES), "the node window did not close")

    # SOURCE -> PLANT1 with lower = upper = 35, the supply of PLANT1, then
    # SOURCE -> PLANT2 with 50 typed in and not yet added.
    open_window(d, "alt+l", LINKS, CHOOSER)
    for down, supply in ((["Down"], "35"), (["Down", "Down"], "50")):
        d.press_in(LINKS, "alt+o", "Home", "End", "Home")  # SOURCE, the first node
        d.key("alt+d", "Home", "End", "Home", *down)
        for field, value in (("alt+c", "0"), ("alt+l", supply), ("alt+u", supply)):
            d.key(field, "ctrl+a")
            d.type(value)
        d.key("Tab")
        if supply == "35":
            d.key("alt+a")
    shoot(LINKS, "link-window")
    d.press_in(LINKS, "alt+q")
    d.press_in(CHOOSER, "alt+q")
    d.wait_window(MAIN)

    # The whole problem without its return link: the checks and their hint.
    d.press_in(MAIN, "alt+l")
    d.answer_box("alt+y")  # the nodes typed above are not saved: go on
    choose_file(d, OPEN_NODES, example("NORETURN.NDE"))
    d.press_in(MAIN, "alt+r")
    shoot(ERRORS, "error-list")
    d.press_in(ERRORS, "alt+o")

    # The transportation problem, solved.
    load(d, example("TRANSPRT.NDE"))
    d.press_in(MAIN, "alt+r")
    d.answer_box("Return")  # the solution time
    open_window(d, "alt+d", RESULTS, MAIN)
    d.key("alt+o")  # grouped by origin
    shoot(RESULTS, "results")
    open_window(d, "alt+w", PICTURE, RESULTS)
    time.sleep(3)  # the layout
    shoot(PICTURE, "picture")
    # Stepping through it, at its first flow change (the eighth step).
    open_window(d, "alt+p", STEPS, PICTURE)
    d.key(*["Right"] * 7)
    shoot(STEPS, "step-through")
    d.press_in(STEPS, "Escape")
    d.press_in(PICTURE, "Escape")
    d.press_in(RESULTS, "alt+q")

    # The infeasible example and its cut.
    load(d, example("INFEAS.NDE"))
    run_infeasible(d)
    shoot(CUT, "cut")
    d.press_in(CUT, "alt+o")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--output", required=True)
    args = parser.parse_args()
    output = os.path.abspath(args.output)
    os.makedirs(output, exist_ok=True)
    return run(lambda d: tour(d, output), args.program, output + "/.work", "guide",
               size="1024x768")


if __name__ == "__main__":
    sys.exit(main())
