#!/usr/bin/env python3
"""The Step Through window in the real program under Xvfb and openbox: a solve
stepped to its end with the Right key, checked against Run to End and Back, on
the four-node infeasible problem and the shipped transportation problem; with
--shots, screenshots at the first labelling step, flow change and potential
change (of the four-node problem, which has no potential change, the shipped
infeasible example and a generated 5x4 transportation problem).

    step_through.py CASE --program build/src/app/kavrilon --output DIR
                    [--bench build/bench/kavrilon-bench] [--shots]
                    [--size 800x600] [--scale-factor 2]"""

import argparse
import json
import os
import subprocess
import sys
import time

from desktop import run
from kavrilon_e2e import (CUT, INFEASIBLE, MAIN, RESULTS, load, open_window, run_infeasible,
                          write_problem)

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLES = os.path.abspath(os.path.join(HERE, "..", "..", "examples"))
PICTURE = "KAVRILON Network Picture"
STEPS = "KAVRILON Step Through"


def trace_of(d, path):
    """The kinds of the solve's steps, from the program's own trace."""
    trace = os.path.join(d.folder, "trace.jsonl")
    # An infeasible problem has an exit status of its own: the trace is what counts.
    results = os.path.join(d.folder, "results.txt")
    subprocess.run([d.program, "--solve", path, "--trace", trace, "--output", results],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(trace) as lines:
        return [json.loads(line)["event"] for line in lines]


def solve(d, path, infeasible):
    load(d, path)
    if infeasible:
        run_infeasible(d)
        d.press_in(CUT, "alt+o")
    else:
        d.press_in(MAIN, "alt+r")
        d.wait_window("Kavrilon", exclude=d.answered)  # the solution time
        d.answer_box("Return")


def open_steps(d):
    open_window(d, "alt+d", RESULTS, MAIN)
    picture = open_window(d, "alt+w", PICTURE, RESULTS)
    # The button waits for the layout.
    def opened():
        if d.windows(STEPS):
            return True
        d.activate(picture)
        d.key("alt+p")
        time.sleep(0.5)
        return bool(d.windows(STEPS))
    d._until(opened, "Step Through did not open")
    wid = d.wait_window(STEPS)
    d.activate(wid)
    time.sleep(0.5)
    return wid


def picture_part(d, wid, name):
    """The lower half of the window (the picture), as an image file."""
    time.sleep(0.4)  # the last repaint
    shot = os.path.join(d.folder, name + ".png")
    d._x(["import", "-display", d.display, "-window", wid, "-gravity", "South", "-crop",
          "100%x50%+0+0", "+repage", shot])
    return shot


def differing_pixels(d, a, b):
    result = subprocess.run(["compare", "-metric", "AE", a, b, "null:"], capture_output=True,
                            text=True)
    return int(float(result.stderr.split()[0]))


def step_to_end(d, path, infeasible):
    d.launch()
    steps = trace_of(d, path)
    solve(d, path, infeasible)
    d.step("opening Step Through from the picture")
    wid = open_steps(d)
    d.step("stepping through all %d steps with Right" % len(steps))
    for _ in range(len(steps) - 1):
        d.key("Right")
    stepped = picture_part(d, wid, "stepped")
    d.key("Right")  # at the end: nothing changes
    if differing_pixels(d, stepped, picture_part(d, wid, "beyond")) != 0:
        d.fail("Right at the last step changed the picture")
    d.key("Left")
    if differing_pixels(d, stepped, picture_part(d, wid, "back")) == 0:
        d.fail("Left did not change the picture")
    d.step("Restart, then Run to End")
    d.key("alt+r", "alt+e")
    if differing_pixels(d, stepped, picture_part(d, wid, "end")) != 0:
        d.fail("Run to End shows another picture than the last step")
    d.step("Escape closes the window and nothing else")
    d.key("Escape")
    d.wait_gone(wid, STEPS)
    d.require_shown(PICTURE)
    d.require_shown(RESULTS)


def infeasible(d):
    step_to_end(d, write_problem(d, "INF", INFEASIBLE), True)


def transport(d):
    step_to_end(d, os.path.abspath(os.path.join(EXAMPLES, "TRANSPRT.NDE")), False)


def shots(d, bench, scale_factor):
    """Screenshots at the first label, flow change and potential change."""
    if scale_factor:
        d.env["QT_SCALE_FACTOR"] = scale_factor
    d.launch()
    generated = os.path.join(d.folder, "gen")
    os.makedirs(generated, exist_ok=True)
    subprocess.run([bench, "--generate", "5", "4", generated], check=True,
                   stdout=subprocess.DEVNULL)
    for name, path, failing in (("four-node", write_problem(d, "INF", INFEASIBLE), True),
                                ("infeas-example", os.path.join(EXAMPLES, "INFEAS.NDE"), True),
                                ("transport-5x4", os.path.join(generated, "RANPRB1.NDE"), False)):
        steps = trace_of(d, path)
        solve(d, path, failing)
        wid = open_steps(d)
        at = 1
        for kind in ("label", "augment", "potentials"):
            if kind not in steps:
                continue
            target = steps.index(kind) + 1
            d.activate(wid)
            d.key(*(["Right"] * (target - at) if target > at else ["Left"] * (at - target)))
            at = target
            time.sleep(0.5)
            d.screenshot("%s-%s" % (name, kind))
        d.key("alt+e")
        time.sleep(0.5)
        d.screenshot("%s-end" % name)
        d.key("Escape")
        d.wait_gone(wid, STEPS)
        d.press_in(RESULTS, "alt+q")


CASES = {"infeasible": infeasible, "transport": transport}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("case", choices=sorted(CASES) + ["shots"])
    parser.add_argument("--program", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("--bench", default="")
    parser.add_argument("--size", default="1280x1024")
    parser.add_argument("--scale-factor", default="")
    args = parser.parse_args()
    if args.case == "shots":
        bench = os.path.abspath(args.bench)
        name = "steps-" + args.size + ("-x" + args.scale_factor if args.scale_factor else "")
        return run(lambda d: shots(d, bench, args.scale_factor), args.program, args.output, name,
                   size=args.size)
    status = run(CASES[args.case], args.program, args.output, "step_through_" + args.case)
    if status == 0:
        print("passed step_through " + args.case)
    return status


if __name__ == "__main__":
    sys.exit(main())
