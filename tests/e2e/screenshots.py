#!/usr/bin/env python3
"""Opens every window of the program under Xvfb and openbox at one screen size
and saves a screenshot of the whole screen for each, to be looked at.

    screenshots.py --program build/src/app/kavrilon --output DIR --size 800x600"""

import argparse
import os
import subprocess
import sys
import time

from desktop import Desktop, Failure
from kavrilon_e2e import (ABOUT, CHANGE, CHOOSER, CUT, CYCLE, ERRORS, INFEASIBLE, LINKS, MAIN,
                          NODES, OPEN_NODES, PERCENT, RESULTS, SAVE_NODES, UNCONNECTED,
                          choose_file, load, open_window, write_problem)

BENCH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench")


def tour(d, shoot):
    d.launch()
    if d.windows(ABOUT):
        shoot("splash")
        d.wait_gone(d.windows(ABOUT)[0], "splash")
    shoot("main-menu")
    open_window(d, "alt+a", ABOUT, MAIN)
    shoot("about-box")
    d.key("alt+o")

    d.press_in(MAIN, "alt+l")
    d.wait_window(OPEN_NODES)
    shoot("open-dialog")
    d.key("Escape")
    load(d, write_problem(d, "CYCLE", CYCLE))

    open_window(d, "alt+n", CHOOSER, MAIN)
    shoot("chooser")
    open_window(d, "alt+n", NODES, CHOOSER)
    shoot("node-window")
    d.key("Tab")
    shoot("node-window-focus-on-add")
    d.key("alt+r")
    d.wait_window("Kavrilon", exclude=d.answered)
    shoot("node-window-message")
    d.answer_box("Return")
    d.press_in(NODES, "alt+q")
    open_window(d, "alt+l", LINKS, CHOOSER)
    shoot("link-window")
    d.key("alt+l", "ctrl+a")
    d.type("007")
    d.key("Tab")
    d.wait_window("Kavrilon", exclude=d.answered)
    shoot("link-window-warning")
    d.answer_box("Return")
    d.press_in(LINKS, "alt+q")
    d.press_in(CHOOSER, "alt+q")

    open_window(d, "alt+c", CHANGE, MAIN)
    shoot("change-window")
    d.press_in(CHANGE, "alt+q")

    d.press_in(MAIN, "alt+r")
    d.wait_window("Kavrilon", exclude=d.answered)
    shoot("solved-message")
    d.answer_box("Return")
    open_window(d, "alt+d", RESULTS, MAIN)
    shoot("results-window")
    d.key("alt+q")

    d.press_in(MAIN, "alt+s")
    d.wait_window(SAVE_NODES)
    shoot("save-dialog")
    d.key("Escape")
    d.answer_box("Return")  # files will not be saved

    # A large problem keeps the percent window up for a moment.
    big = os.path.join(d.folder, "BIG.NDE")
    subprocess.run([sys.executable, os.path.join(BENCH, "make_problem.py"), big], check=True)
    load(d, big)
    d.press_in(MAIN, "alt+r")
    d.wait_window(PERCENT)
    shoot("percent-window")
    d.answer_box("Return")

    d.press_in(MAIN, "alt+l")
    d.answer_box("alt+y")  # results not seen: continue anyway
    choose_file(d, OPEN_NODES, write_problem(d, "UNCONNECTED", UNCONNECTED))
    d.press_in(MAIN, "alt+r")
    d.wait_window(ERRORS)
    shoot("error-list")
    d.press_in(ERRORS, "alt+o")

    d.press_in(MAIN, "alt+l")
    choose_file(d, OPEN_NODES, write_problem(d, "INF", INFEASIBLE))
    d.press_in(MAIN, "alt+r")
    for _ in range(3):  # the failed link, the solution time, the severe warning
        d.wait_window("Kavrilon", exclude=d.answered)
        d.answer_box("Return")
    d.wait_window(CUT)
    shoot("cut-window")
    d.press_in(CUT, "alt+o")

    d.press_in(MAIN, "alt+e")
    d.wait_window("Kavrilon", exclude=d.answered)
    shoot("exit-question")
    d.answer_box("alt+n")
    d.wait_window(MAIN)
    shoot("main-menu-after-exit-no")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("--size", default="1280x1024")
    args = parser.parse_args()
    output = os.path.abspath(args.output)
    name = "screen-" + args.size
    try:
        with Desktop(os.path.abspath(args.program), output, name, args.size) as d:
            count = [0]

            def shoot(what):
                count[0] += 1
                path = os.path.join(output, "%s-%02d-%s.png" % (name, count[0], what))
                d._x(["import", "-display", d.display, "-window", "root", path])
                print(path)
            tour(d, shoot)
    except Failure as failure:
        print("FAILED: %s" % failure)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
