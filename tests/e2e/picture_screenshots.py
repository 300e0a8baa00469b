#!/usr/bin/env python3
"""Screenshots of the network picture under Xvfb and openbox: a generated 5x4
transportation problem after a solve, a hand-built infeasible problem with its
cut, and a neighbourhood in a 2000-node one.

    picture_screenshots.py --program build/src/app/kavrilon --bench build/bench/kavrilon-bench
                           --output DIR"""

import argparse
import os
import subprocess
import sys
import time

from desktop import Desktop, Failure
from kavrilon_e2e import CUT, INFEASIBLE, MAIN, RESULTS, load, open_window, write_problem

PICTURE = "KAVRILON Network Picture"
BENCH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench")


def solve_and_show(d, path):
    load(d, path)
    d.press_in(MAIN, "alt+r")
    d.wait_window("Kavrilon", exclude=d.answered)  # the solution time
    d.answer_box("Return")
    open_window(d, "alt+d", RESULTS, MAIN)
    d.screenshot("results")
    return open_window(d, "alt+w", PICTURE, RESULTS)


def tour(d, bench):
    d.launch()
    generated = os.path.join(d.folder, "gen")
    os.makedirs(generated, exist_ok=True)
    subprocess.run([bench, "--generate", "5", "4", generated], check=True,
                   stdout=subprocess.DEVNULL)
    solve_and_show(d, os.path.join(generated, "RANPRB1.NDE"))
    time.sleep(2)  # the layout
    d.screenshot("transport-5x4")
    d.press_in(RESULTS, "alt+q")

    load(d, write_problem(d, "INF", INFEASIBLE))
    d.press_in(MAIN, "alt+r")
    for _ in range(3):  # the failed link, the solution time, the severe warning
        d.wait_window("Kavrilon", exclude=d.answered)
        d.answer_box("Return")
    d.press_in(CUT, "alt+o")
    open_window(d, "alt+d", RESULTS, MAIN)
    open_window(d, "alt+w", PICTURE, RESULTS)
    time.sleep(2)  # the layout
    d.screenshot("infeasible-cut")
    d.press_in(RESULTS, "alt+q")

    big = os.path.join(d.folder, "BIG.NDE")
    subprocess.run([sys.executable, os.path.join(BENCH, "make_problem.py"), "--nodes", "2000",
                    big], check=True)
    solve_and_show(d, big)
    d.screenshot("large-search")
    d.type("N17")
    d.key("Return")
    time.sleep(3)
    d.screenshot("neighbourhood-1")
    d.key("alt+t", "Up", "alt+s")  # two steps out

    time.sleep(4)
    d.screenshot("neighbourhood-2")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--bench", required=True)
    parser.add_argument("--output", required=True)
    args = parser.parse_args()
    try:
        with Desktop(os.path.abspath(args.program), os.path.abspath(args.output),
                     "picture") as d:
            tour(d, os.path.abspath(args.bench))
    except Failure as failure:
        print("FAILED: %s" % failure)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
