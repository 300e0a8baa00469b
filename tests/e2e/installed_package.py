#!/usr/bin/env python3
"""The installed program with an example given as the desktop entry gives a
file: solved, its picture drawn and its results printed to a PDF file, whose
text is then read back. Run by scripts/check-install.sh.

    installed_package.py --program WRAPPER --output DIR"""

import argparse
import os
import subprocess
import sys
import time

from desktop import run
from kavrilon_e2e import MAIN, RESULTS, choose_file, open_window

PICTURE = "KAVRILON Network Picture"


def tour(d):
    d.launch()
    d.press_in(MAIN, "alt+p")  # Printer Setup: PDF file, the only choice here
    d.wait_window("Printer Setup")
    d.key("Return")
    pdf = os.path.join(d.folder, "results.pdf")
    choose_file(d, "Print the results to a PDF file", pdf)
    d.press_in(MAIN, "alt+r")
    d.answer_box("Return")  # the solution time
    open_window(d, "alt+d", RESULTS, MAIN)
    open_window(d, "alt+w", PICTURE, RESULTS)
    time.sleep(3)  # the layout
    d.screenshot("picture")
    d.expect_no_box()  # a layout that failed would say so in a message box
    with open(d.app_log, errors="replace") as f:
        complaints = [line for line in f if any(
            word in line for word in ("Error", "error:", "not recognized", "Could not load"))]
    if complaints:
        d.fail("the program reported:\n" + "".join(complaints[-10:]))
    d.press_in(PICTURE, "Escape")
    d.press_in(RESULTS, "alt+p")  # Print Lists
    d._until(lambda: os.path.exists(pdf) and os.path.getsize(pdf) > 0,
             "Print Lists wrote no PDF file", 20)
    time.sleep(1)
    text = subprocess.run(["pdftotext", "-layout", pdf, "-"], capture_output=True,
                          text=True).stdout
    if "TOTAL COST = 68" not in text:
        d.fail("the printed results hold no TOTAL COST = 68:\n" + text)
    print("ok: example opened, picture drawn, results printed")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--output", required=True)
    args = parser.parse_args()
    return run(tour, args.program, args.output, "installed")


if __name__ == "__main__":
    sys.exit(main())
