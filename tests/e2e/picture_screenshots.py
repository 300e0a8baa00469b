#!/usr/bin/env python3
"""Screenshots of the network picture under Xvfb and openbox: a generated 5x4
transportation problem after a solve, a hand-built infeasible problem with its
cut, and a neighbourhood in a 2000-node one.

    picture_screenshots.py --program build/src/app/kavrilon --bench build/bench/kavrilon-bench
                           --output DIR [--size 800x600] [--scale-factor 2]"""

import argparse
import os
import subprocess
import sys
import time

from desktop import run
from kavrilon_e2e import (CUT, INFEASIBLE, MAIN, RESULTS, load, open_window, run_infeasible,
                          write_large_problem, write_problem)

PICTURE = "KAVRILON Network Picture"


def solve_and_show(d, path):
    load(d, path)
    d.press_in(MAIN, "alt+r")
    d.wait_window("Kavrilon", exclude=d.answered)  # the solution time
    d.answer_box("Return")
    open_window(d, "alt+d", RESULTS, MAIN)
    d.screenshot("results")
    return open_window(d, "alt+w", PICTURE, RESULTS)


def tour(d, bench, scale_factor):
    if scale_factor:
        d.env["QT_SCALE_FACTOR"] = scale_factor
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
    run_infeasible(d)
    d.press_in(CUT, "alt+o")
    open_window(d, "alt+d", RESULTS, MAIN)
    open_window(d, "alt+w", PICTURE, RESULTS)
    time.sleep(2)  # the layout
    d.screenshot("infeasible-cut")
    d.press_in(RESULTS, "alt+q")

    solve_and_show(d, write_large_problem(d, "--nodes", "2000"))
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
    parser.add_argument("--size", default="1280x1024")
    parser.add_argument("--scale-factor", default="")
    args = parser.parse_args()
    bench = os.path.abspath(args.bench)
    name = "picture-" + args.size + ("-x" + args.scale_factor if args.scale_factor else "")
    return run(lambda d: tour(d, bench, args.scale_factor), args.program, args.output, name,
               size=args.size)


if __name__ == "__main__":
    sys.exit(main())
