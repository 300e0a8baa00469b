#!/usr/bin/env python3
"""Prints from the real program under Xvfb and openbox through the private
CUPS scheduler (tests/cups/private_cups.sh, found through CUPS_SERVER, its
queues writing into KAVRILON_CUPS_OUT), and saves screenshots of Printer
Setup in portrait and landscape, of the box that says where the job went and
of the box that says the chosen printer is gone. Without the scheduler it
says SKIPPED and passes.

    printing_e2e.py --program build/src/app/kavrilon --output DIR"""

import argparse
import glob
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

from desktop import run  # noqa: E402
from kavrilon_e2e import ABOUT, CYCLE, MAIN, RESULTS, load, write_problem  # noqa: E402

SETUP = "Printer Setup"
PAGE_SETUP = "Page Setup"


def jobs(out):
    return set(glob.glob(os.path.join(out, "*-job_*.pdf")))


def tour(d):
    out = os.environ["KAVRILON_CUPS_OUT"]

    def shoot(what):
        print(d.screenshot(what))

    def close_with(title, *keys):
        wid = d.wait_window(title)
        d.activate(wid)
        d.key(*keys)
        d.wait_gone(wid, title)

    def printer_setup(queue, landscape_shots=False):
        """Chooses queue (typed: the list jumps to it) in Printer Setup."""
        d.press_in(MAIN, "alt+p")
        d.wait_window(SETUP)
        if landscape_shots:
            d.key("alt+n")
            d.type("kav-margins")
            shoot("printer-setup-portrait")
            d.key("alt+p")
            d.wait_window(PAGE_SETUP)
            time.sleep(0.5)
            shoot("page-setup")
            d.key("alt+l")
            time.sleep(0.3)
            close_with(PAGE_SETUP, "Return")
            time.sleep(0.5)
            shoot("printer-setup-landscape")
        d.key("alt+n")
        d.type(queue)
        close_with(SETUP, "Return")

    def print_lists():
        d.press_in(MAIN, "alt+d")
        d.wait_window(RESULTS)
        d.press_in(RESULTS, "alt+p")
        d.wait_window("Kavrilon", exclude=d.answered, seconds=30)

    d.launch()
    if d.windows(ABOUT):
        d.wait_gone(d.windows(ABOUT)[0], "splash")
    load(d, write_problem(d, "CYCLE", CYCLE))
    d.press_in(MAIN, "alt+r")
    d.answer_box("Return")

    d.step("printing on the printer chosen in Printer Setup")
    before = jobs(out)
    printer_setup("kav-plain", landscape_shots=True)
    print_lists()
    shoot("job-sent")
    d.answer_box("Return")
    d.expect_no_box()
    deadline = time.monotonic() + 60
    while len(jobs(out) - before) != 1 and time.monotonic() < deadline:
        time.sleep(0.2)
    if len(jobs(out) - before) != 1:
        d.fail("no job came out of kav-plain")
    d.press_in(RESULTS, "alt+q")

    d.step("printing on a printer deleted since it was chosen")
    printer_setup("kav-vanish")
    subprocess.run(["lpadmin", "-x", "kav-vanish"], check=True)
    before = jobs(out)
    print_lists()
    shoot("printer-gone")
    d.answer_box("alt+n")
    d.expect_no_box()
    time.sleep(2)
    if jobs(out) != before:
        d.fail("a job was printed although the user answered No")
    d.press_in(RESULTS, "alt+q")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("--size", default="1280x1024")
    args = parser.parse_args()
    if not os.environ.get("CUPS_SERVER") or not os.environ.get("KAVRILON_CUPS_OUT"):
        print("SKIPPED printing_e2e: no private CUPS scheduler")
        return 0
    status = run(tour, args.program, args.output, "printing-" + args.size, size=args.size)
    if status == 0:
        print("passed printing_e2e")
    return status


if __name__ == "__main__":
    sys.exit(main())
