#!/usr/bin/env python3
"""Opens every window of the program under Xvfb and openbox at one screen size
and saves a screenshot of the whole screen for each, to be looked at.

    screenshots.py --program build/src/app/kavrilon --output DIR --size 800x600 [--scale 2]"""

import argparse
import sys
import time

from desktop import run
from picture_screenshots import PICTURE
from kavrilon_e2e import (ABOUT, CHANGE, CHOOSER, CUT, CYCLE, ERRORS, INFEASIBLE, LINKS, MAIN,
                          NODES, OPEN_NODES, PERCENT, RESULTS, SAVE_NODES, UNCONNECTED,
                          choose_file, load, open_window, run_infeasible, write_large_problem,
                          write_problem)

HELP = "Kavrilon Help"


def tour(d, scale=None):
    def shoot(what):
        print(d.screenshot(what))

    def shoot_box(what, *keys):
        """Shoots the next message box, then answers it with keys."""
        d.wait_window("Kavrilon", exclude=d.answered)
        shoot(what)
        d.answer_box(*keys)

    def shoot_dialog(keys, title, what):
        """Opens a file dialog from the main menu, shoots it and cancels it."""
        d.press_in(MAIN, keys)
        d.wait_window(title)
        shoot(what)
        d.key("Escape")

    if scale:
        d.env["QT_SCALE_FACTOR"] = scale
    d.launch()
    if d.windows(ABOUT):
        shoot("splash")
        d.wait_gone(d.windows(ABOUT)[0], "splash")
    shoot("main-menu")
    open_window(d, "alt+a", ABOUT, MAIN)
    shoot("about-box")
    d.key("alt+o")

    shoot_dialog("alt+l", OPEN_NODES, "open-dialog")
    load(d, write_problem(d, "CYCLE", CYCLE))

    open_window(d, "alt+n", CHOOSER, MAIN)
    shoot("chooser")
    open_window(d, "alt+n", NODES, CHOOSER)
    shoot("node-window")
    d.key("Tab")
    shoot("node-window-focus-on-add")
    d.key("alt+r")
    shoot_box("node-window-message", "Return")
    d.press_in(NODES, "alt+q")
    open_window(d, "alt+l", LINKS, CHOOSER)
    shoot("link-window")
    d.key("alt+l", "ctrl+a")
    d.type("007")
    d.key("Tab")
    shoot_box("link-window-warning", "Return")
    d.press_in(LINKS, "alt+q")
    d.press_in(CHOOSER, "alt+q")

    open_window(d, "alt+c", CHANGE, MAIN)
    shoot("change-window")
    d.press_in(CHANGE, "alt+q")

    d.press_in(MAIN, "alt+r")
    shoot_box("solved-message", "Return")
    open_window(d, "alt+d", RESULTS, MAIN)
    shoot("results-window")
    open_window(d, "F1", HELP, RESULTS)
    shoot("help-window")
    d.key("Escape")
    open_window(d, "alt+w", PICTURE, RESULTS)
    time.sleep(1)  # the layout
    shoot("picture-window")
    d.key("Escape")
    d.press_in(RESULTS, "alt+q")

    shoot_dialog("alt+s", SAVE_NODES, "save-dialog")
    d.answer_box("Return")  # files will not be saved

    # A large problem keeps the percent window up for a moment.
    load(d, write_large_problem(d))
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
    run_infeasible(d)
    d.wait_window(CUT)
    shoot("cut-window")
    d.press_in(CUT, "alt+o")
    # The results of the infeasible run, and the cut opened again from them.
    open_window(d, "alt+d", RESULTS, MAIN)
    shoot("results-window-infeasible")
    open_window(d, "alt+u", CUT, RESULTS)
    shoot("cut-window-from-results")
    d.press_in(CUT, "alt+o")
    d.press_in(RESULTS, "alt+q")

    d.press_in(MAIN, "alt+e")
    shoot_box("exit-question", "alt+n")
    d.wait_window(MAIN)
    shoot("main-menu-after-exit-no")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("--size", default="1280x1024")
    parser.add_argument("--scale", help="QT_SCALE_FACTOR for the program")
    args = parser.parse_args()
    name = "screen-" + args.size + ("-scale" + args.scale if args.scale else "")
    return run(lambda d: tour(d, args.scale), args.program, args.output, name, size=args.size)


if __name__ == "__main__":
    sys.exit(main())
