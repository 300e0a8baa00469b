#!/usr/bin/env python3
"""End-to-end tests: the real program under Xvfb and openbox, driven by keys as
a user would, its windows read by their titles.

    kavrilon_e2e.py CASE --program build/src/app/kavrilon --output DIR

Each case starts its own display and exits 0 when it passed; on a failure it
names the window or step that went wrong and saves a screenshot under DIR."""

import argparse
import os
import subprocess
import sys
import time

from desktop import Failure, run

MAIN = "KAVRILON Main Menu"
ABOUT = "KAVRILON About Box"
CHOOSER = "Select Node or Link to ADD"
NODES = "Node Addition Form"
LINKS = "Link Addition Form"
CHANGE = "Change or Remove Link Form"
RESULTS = "KAVRILON Results Form"
ERRORS = "Connectivity Error List Form"
CUT = "Infeasibility Explained"
PERCENT = "Percent Complete Form"
OPEN_NODES = "Input the name of the file with the NODE information"
SAVE_NODES = "Specify the file in which to store the NODE information"
SAVE_LINKS = "Specify the file in which to store the LINK information"
BENCH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench")

# A cycle through three nodes whose costs add up to 3: feasible, no flow is optimal.
CYCLE = (["A", "B", "C"], [(1, 2, 0, 10, 5), (2, 3, 0, 10, -3), (3, 1, 0, 10, 1)])
# Five units must enter C through link 3 while at most one can come back:
# every node passes the checks, and the run fails on link 3.
INFEASIBLE = (["A", "B", "C", "D"], [(1, 2, 0, 10, 0), (2, 1, 0, 10, 0), (1, 3, 5, 5, 0),
                                     (3, 4, 0, 10, 0), (4, 3, 0, 10, 0), (4, 2, 0, 1, 0)])
# Node C is never an origin: the checks list it instead of running.
UNCONNECTED = (["A", "B", "C"], [(1, 2, 0, 10, 1), (2, 1, 0, 10, 1), (1, 3, 0, 10, 1)])


def problem_bytes(problem):
    """The node and link files of a problem as the program writes them."""
    names, links = problem

    def line(*numbers):
        return "".join(("%10d" % n) if len(str(n)) < 10 else " %d" % n for n in numbers) + "\r\n"
    nodes = "".join(name + "\r\n" for name in names)
    text = line(len(links), len(names), 0, 0, 0) + "".join(line(*link) for link in links)
    return nodes.encode("latin-1"), text.encode("latin-1")


def write_problem(d, stem, problem):
    nodes, links = problem_bytes(problem)
    path = os.path.join(d.folder, stem)
    with open(path + ".NDE", "wb") as f:
        f.write(nodes)
    with open(path + ".LIN", "wb") as f:
        f.write(links)
    return path + ".NDE"


def write_large_problem(d, *options):
    """Writes bench/make_problem.py's problem (options passed on) as BIG.NDE."""
    path = os.path.join(d.folder, "BIG.NDE")
    subprocess.run([sys.executable, os.path.join(BENCH, "make_problem.py"), *options, path],
                   check=True)
    return path


def check_file(d, name, want):
    path = os.path.join(d.folder, name)
    d._until(lambda: os.path.exists(path), "the program did not write " + path)
    with open(path, "rb") as f:
        got = f.read()
    if got != want:
        d.fail("%s holds %r, expected %r" % (path, got, want))


def check_saved(d, stem, problem):
    """The files saved under stem hold exactly problem."""
    nodes, links = problem_bytes(problem)
    check_file(d, stem + ".NDE", nodes)
    check_file(d, stem + ".LIN", links)


def choose_file(d, title, path):
    """Types path into the file-name field of the file dialog titled title."""
    wid = d.wait_window(title)
    d.activate(wid)
    d.key("ctrl+a")
    d.type(path)
    d.key("Return")
    d.wait_gone(wid, title)


def load(d, path):
    d.press_in(MAIN, "alt+l")
    choose_file(d, OPEN_NODES, path)
    d.require_shown(MAIN)


def run_infeasible(d):
    """Runs the loaded infeasible problem and answers its three boxes in order:
    the failed link and the solution time over the percent window, then the
    severe warning over the main menu."""
    d.press_in(MAIN, "alt+r")
    for over in (PERCENT, PERCENT, MAIN):
        d.wait_window("Kavrilon", exclude=d.answered)
        d.require_shown(over)
        d.answer_box("Return")


def save(d, stem):
    d.press_in(MAIN, "alt+s")
    choose_file(d, SAVE_NODES, os.path.join(d.folder, stem + ".NDE"))


def open_window(d, keys, title, over):
    """Presses keys in the window titled over and waits for the window title."""
    d.press_in(over, keys)
    wid = d.wait_window(title)
    d.activate(wid)
    return wid


def open_link_window(d):
    """Starts the program, adds the nodes A and B and opens the link window."""
    d.launch()
    build_two_nodes(d)
    return open_window(d, "alt+l", LINKS, CHOOSER)


def build_two_nodes(d):
    """Main menu, Add New Links/Nodes, Add Node, A and B, Quit: at the chooser."""
    open_window(d, "alt+n", CHOOSER, MAIN)
    open_window(d, "alt+n", NODES, CHOOSER)
    for name in ("A", "B"):
        d.key("alt+n", "ctrl+a")
        d.type(name)
        d.key("alt+a")
    d.press_in(NODES, "alt+q")
    d._until(lambda: not d.windows(NODES), "the node window did not close")


# Keys that select the first or the last line of a list that has the focus,
# whether or not the list had a current line when it got the focus.
FIRST, LAST = ("End", "Home"), ("Home", "End")


def choose_ends(d, origin, destination):
    """Selects the link's ends in the link window."""
    d.press_in(LINKS, "alt+o", *origin, "alt+d", *destination)


def quit_and_save(d, stem):
    """From the link window back to the main menu, then Save under stem."""
    d.press_in(LINKS, "alt+q")
    d.press_in(CHOOSER, "alt+q")
    d.wait_window(MAIN)
    save(d, stem)


def add_two_links_and_save(d, stem):
    """In the link window: adds A to B and B to A, returns to the main menu and saves."""
    d.step("adding two links and saving them")
    for origin, destination in ((FIRST, LAST), (LAST, FIRST)):
        choose_ends(d, origin, destination)
        d.key("alt+a")
        d.expect_no_box(0.5)
    quit_and_save(d, stem)


# ----- the cases -----

def link_range_warning(d):
    """-05 in Lower Bound gives two warnings in a row; the program stays."""
    open_link_window(d)
    d.step("-05 in Lower Bound, then Tab")
    d.key("alt+l", "ctrl+a")
    d.type("-05")
    d.key("Tab")
    d.answer_box("Return")  # the text was not in plain decimal form
    d.answer_box("Return")  # -5 is below 0
    d.require_shown(LINKS)
    add_two_links_and_save(d, "OUT")
    check_saved(d, "OUT", (["A", "B"], [(1, 2, 0, 0, 0), (2, 1, 0, 0, 0)]))


def link_no_origin(d):
    """007 in Lower Bound and Alt+A with no origin: two warnings; the program stays."""
    open_link_window(d)
    d.step("007 in Lower Bound, no origin, then Alt+A")
    d.key("alt+u", "ctrl+a")
    d.type("9")
    d.key("alt+l", "ctrl+a")
    d.type("007")
    d.key("alt+a")
    d.answer_box("Return")  # 007 was taken as 7
    d.answer_box("Return")  # no origin is selected
    d.require_shown(LINKS)
    add_two_links_and_save(d, "OUT")
    check_saved(d, "OUT", (["A", "B"], [(1, 2, 7, 9, 0), (2, 1, 7, 9, 0)]))


def link_click_after_warning(d):
    """A click on Add Link while Lower Bound holds 007: after the conversion
    warning the click carries on and adds the link, as Alt+A would."""
    links = open_link_window(d)
    d.step("007 in Lower Bound, then a click on Add Link")
    choose_ends(d, FIRST, LAST)
    d.key("alt+u", "ctrl+a")
    d.type("9")
    d.key("alt+l", "ctrl+a")
    d.type("007")
    d.click(links, 40, -44)  # Add Link, the first of the buttons above the undo line
    d.answer_box("Return")
    d.step("Alt+A right after the click's link was added must report that no origin is selected")
    d.key("alt+a")
    d.answer_box("Return")
    d.step("adding B to A by Alt+A and saving")
    choose_ends(d, LAST, FIRST)
    d.key("alt+a")
    quit_and_save(d, "OUT")
    check_saved(d, "OUT", (["A", "B"], [(1, 2, 7, 9, 0), (2, 1, 7, 9, 0)]))


def change_warnings(d):
    """A cost out of range and a lower bound above the upper bound, each
    leaving the field by Tab: two warnings each, and the link is unchanged."""
    d.launch()
    load(d, write_problem(d, "CYCLE", CYCLE))
    open_window(d, "alt+c", CHANGE, MAIN)
    for field, text in (("alt+c", "0100000001"), ("alt+l", "050")):
        d.step("%s in the field of %s, then Tab" % (text, field))
        d.key(field, "ctrl+a")
        d.type(text)
        d.key("Tab")
        d.answer_box("Return")  # leading zero
        d.answer_box("Return")  # out of range, or above the upper bound of 10
        d.require_shown(CHANGE)
    d.step("quitting and saving")
    d.press_in(CHANGE, "alt+q")
    d.wait_window(MAIN)
    save(d, "OUT")
    check_saved(d, "OUT", CYCLE)


def files(d):
    """Load, run, display, save (a new name, then over it), and Exit with its questions."""
    d.launch()
    load(d, write_problem(d, "CYCLE", CYCLE))
    d.step("a run")
    d.press_in(MAIN, "alt+r")
    d.wait_window("Kavrilon", exclude=d.answered)
    d.require_shown(PERCENT)  # the solution time is shown over the percent window
    d.answer_box("Return")
    d.wait_window(MAIN)
    d.step("Exit with results not seen, No")
    d.press_in(MAIN, "alt+e")
    d.answer_box("alt+n")
    d.require_shown(MAIN)
    d.step("display, then save")
    open_window(d, "alt+d", RESULTS, MAIN)
    d.key("alt+q")
    d.wait_window(MAIN)
    save(d, "OUT")
    check_saved(d, "OUT", CYCLE)
    # Saving over OUT.NDE asks to replace it; OUT.LIN exists too, so the link
    # file is asked for, and a new name is written without a question.
    d.step("saving over the saved files")
    d.press_in(MAIN, "alt+s")
    choose_file(d, SAVE_NODES, os.path.join(d.folder, "OUT.NDE"))
    d.answer_box("alt+y")
    choose_file(d, SAVE_LINKS, os.path.join(d.folder, "OTHER.LIN"))
    check_file(d, "OTHER.LIN", problem_bytes(CYCLE)[1])
    # Saved and seen: Exit asks only whether to exit. No stays; Yes ends it.
    d.step("Exit, No, then Exit, Yes")
    d.press_in(MAIN, "alt+e")
    d.answer_box("alt+n")
    d.require_shown(MAIN)
    d.press_in(MAIN, "alt+e")
    d.answer_box("alt+y")
    d.answer_box("Return")  # "Exiting KAVRILON."
    expect_exit(d)


def exit_guards(d):
    """Enter never discards work: No is the default of the discard warning and
    of the replace question; closing the main menu by Alt+F4 warns as Exit does."""
    d.launch()
    load(d, write_problem(d, "CYCLE", CYCLE))
    d.press_in(MAIN, "alt+r")
    d.answer_box("Return")
    d.step("Exit with results not seen, Enter on the warning must answer No")
    d.press_in(MAIN, "alt+e")
    d.answer_box("Return")
    d.expect_no_box()
    d.require_shown(MAIN)
    d.step("Alt+F4 on the main menu with results not seen: the warning, then the exit question")
    d.press_in(MAIN, "alt+F4")
    d.answer_box("alt+y")
    d.answer_box("alt+n")
    d.expect_no_box()
    d.require_shown(MAIN)
    d.step("saving over an existing file, Enter on the replace question must answer No")
    save(d, "CYCLE")
    d.answer_box("Return")
    d.press_in(SAVE_NODES, "Escape")  # asked again: cancel
    d.answer_box("Return")  # files will not be saved
    check_saved(d, "CYCLE", CYCLE)


def expect_exit(d):
    d.last_action = "the exit confirmation"
    d._until(lambda: d.app.poll() is not None,
             "the program is still running after the exit was confirmed", 10)
    if d.app.returncode != 0:
        d.fail("the program ended with exit status %d" % d.app.returncode)


def infeasible(d):
    """An infeasible run shows three boxes in order, then the nodes that cannot be
    balanced; Exit then warns about unseen results."""
    d.launch()
    load(d, write_problem(d, "INF", INFEASIBLE))
    d.step("an infeasible run")
    run_infeasible(d)
    d.step("the window that shows why, in place of the main menu")
    d.press_in(CUT, "alt+o")
    d.require_shown(MAIN)
    d.step("Exit after the infeasible run")
    d.press_in(MAIN, "alt+e")
    d.answer_box("alt+y")  # results not seen: continue anyway
    d.answer_box("alt+y")  # exit now
    d.answer_box("Return")
    expect_exit(d)


def window_manager(d):
    """Alt+F4 and minimising, tried on each secondary window and on a message
    box: the window stays or comes back, and the program keeps running."""
    faults = []

    def try_window(title):
        wid = d.wait_window(title)
        d.activate(wid)
        d.key("alt+F4")
        time.sleep(0.5)
        d.require_running("after Alt+F4 on \"%s\"" % title)
        if not d.is_viewable(wid):
            faults.append("Alt+F4 closed \"%s\" (%s)" % (title, d.screenshot("closed")))
            d._x(["xdotool", "windowmap", wid], check=False)
        minimise(wid, "\"%s\"" % title)
        d.activate(wid)

    def minimise_splash(wid):
        """The splash hides itself 1.5 s after the start: once minimised, it
        must come back before that, not stay minimised until it is hidden."""
        d.last_action = "minimising the splash"
        d._x(["xdotool", "windowminimize", wid], check=False)
        deadline = time.monotonic() + 1.0
        while time.monotonic() < deadline and d.is_viewable(wid) and not d.is_iconic(wid):
            time.sleep(0.05)  # until the window manager has acted
        if not d.is_iconic(wid):
            return  # not minimised, already back, or hidden before
        deadline = time.monotonic() + 5.0
        while time.monotonic() < deadline and d.is_iconic(wid):
            time.sleep(0.05)
        if d.is_iconic(wid) or not d.is_viewable(wid):
            faults.append("minimising the splash: it stayed minimised until it was hidden")

    def minimise(wid, what, back=lambda wid: d.is_viewable(wid) and not d.is_iconic(wid),
                 settle=0.5, seconds=3.0):
        """Minimises wid and expects back(wid) within seconds."""
        d.last_action = "minimising " + what
        d._x(["xdotool", "windowminimize", wid], check=False)
        time.sleep(settle)
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline and not back(wid):
            time.sleep(0.05)
        d.require_running("after " + d.last_action)
        if not back(wid):
            shot = d.screenshot("minimised")
            faults.append("%s: it stayed minimised (%s)" % (d.last_action, shot))
            d._x(["xdotool", "windowactivate", wid], check=False)

    d.launch()
    splash = d.windows(ABOUT)
    if splash:
        minimise_splash(splash[0])
    load(d, write_problem(d, "CYCLE", CYCLE))

    open_window(d, "alt+a", ABOUT, MAIN)
    try_window(ABOUT)
    d.press_in(ABOUT, "alt+o")
    open_window(d, "alt+n", CHOOSER, MAIN)
    try_window(CHOOSER)
    open_window(d, "alt+n", NODES, CHOOSER)
    try_window(NODES)
    d.press_in(NODES, "alt+r")  # nothing selected: an information box
    box = d.wait_window("Kavrilon", exclude=d.answered)
    minimise(box, "a message box")
    d.answer_box("Return")
    d.require_shown(NODES)
    d.press_in(NODES, "alt+q")
    open_window(d, "alt+l", LINKS, CHOOSER)
    try_window(LINKS)
    d.press_in(LINKS, "alt+q")
    d.press_in(CHOOSER, "alt+q")
    open_window(d, "alt+c", CHANGE, MAIN)
    try_window(CHANGE)
    d.press_in(CHANGE, "alt+q")
    # The percent window is on screen while the solution time is shown over it.
    d.press_in(MAIN, "alt+r")
    box = d.wait_window("Kavrilon", exclude=d.answered)

    def usable(_):
        return d.is_viewable(box) and not d.is_iconic(box)
    minimise(d.wait_window(PERCENT), "\"%s\" under the solution time's box" % PERCENT, usable)
    d.answer_box("Return")
    d.require_shown(MAIN)
    open_window(d, "alt+d", RESULTS, MAIN)
    try_window(RESULTS)
    d.press_in(RESULTS, "alt+q")
    load(d, write_problem(d, "UNCONNECTED", UNCONNECTED))
    d.press_in(MAIN, "alt+r")
    try_window(ERRORS)
    d.press_in(ERRORS, "alt+o")
    # Alt+F4 on the main menu asks before the program ends; No keeps it.
    d.press_in(MAIN, "alt+F4")
    d.answer_box("alt+n")
    d.require_shown(MAIN)
    if faults:
        raise Failure("\n  ".join(["the window manager's close and minimise were not refused:"]
                                  + faults))



# ----- keys typed as fast as a practised user types them -----

def fast_keys(d, *keys, delay=10):
    """Presses keys delay ms apart, then gives the windows time to settle."""
    d.last_action = "pressing %s %d ms apart" % (" ".join(keys), delay)
    d._x(["xdotool", "key", "--delay", str(delay)] + list(keys))
    time.sleep(0.8)


def practised_delay(round_number):
    """10, 25 or 40 ms: how far apart a practised user's keys are."""
    return (10, 25, 40)[round_number % 3]


def adding_windows(d):
    """The windows on screen, which must be the main menu alone or the chooser
    with the node or link window over it: nothing else, not both."""
    shown = set(d.visible_titles())
    if (not shown or shown - {MAIN, CHOOSER, NODES, LINKS}
            or (MAIN in shown) == bool(shown & {CHOOSER, NODES, LINKS})
            or (shown & {NODES, LINKS} and CHOOSER not in shown)):
        d.fail("windows the program must never show together: %s" % sorted(shown))
    return shown


def leave_adding_windows(d, shown):
    for title in (NODES, LINKS, CHOOSER):
        if title in shown:
            d.press_in(title, "alt+q")
            d._until(lambda title=title: not d.windows(title), "\"%s\" stayed open" % title)
    d.wait_window(MAIN)


def start_with_cycle(d):
    """Starts the program, waits for the splash to go and loads CYCLE."""
    d.launch()
    d._until(lambda: not d.windows(ABOUT), "the splash stayed on screen")
    load(d, write_problem(d, "CYCLE", CYCLE))


def fast_keys_main_menu(d):
    """Alt+N, then Alt+Z or Alt+L: the chooser replaces the main menu, whose
    Zero and Load Data no longer act; the saved problem is the loaded one."""
    start_with_cycle(d)
    for round_number, second in enumerate(["alt+z", "alt+l"] * 3, 1):
        d.step("round %d" % round_number)
        d.activate(d.wait_window(MAIN))
        fast_keys(d, "alt+n", second, delay=practised_delay(round_number))
        if d.windows(OPEN_NODES):
            d.fail("the hidden main menu's Load dialog opened")
        shown = adding_windows(d)
        if MAIN in shown:
            d.fail("the chooser did not replace the main menu")
        leave_adding_windows(d, shown)
    save(d, "OUT")  # Save is disabled after a Zero
    check_saved(d, "OUT", CYCLE)


def fast_keys_link_window(d):
    """Alt+Q Alt+Q Alt+N Alt+L from the link window, round after round."""
    start_with_cycle(d)
    open_window(d, "alt+n", CHOOSER, MAIN)
    open_window(d, "alt+l", LINKS, CHOOSER)
    for round_number in range(1, 7):
        d.step("round %d" % round_number)
        d.activate(d.wait_window(LINKS))
        fast_keys(d, "alt+q", "alt+q", "alt+n", "alt+l", delay=practised_delay(round_number))
        shown = adding_windows(d)
        if MAIN in shown:
            open_window(d, "alt+n", CHOOSER, MAIN)
            shown = {CHOOSER}
        if NODES in shown:
            d.press_in(NODES, "alt+q")
        if LINKS not in shown:
            open_window(d, "alt+l", LINKS, CHOOSER)
    leave_adding_windows(d, adding_windows(d))
    save(d, "OUT")
    check_saved(d, "OUT", CYCLE)


def fast_number_fields(d):
    """Alt keys that press nothing (Alt+Q once Quit is off) never type into a
    number field: each link is added with what was typed, and no warning.
    Enter in a number field adds the link as Alt+A does."""
    start_with_cycle(d)
    open_window(d, "alt+n", CHOOSER, MAIN)
    open_window(d, "alt+l", LINKS, CHOOSER)
    rounds = (("alt+c", "1 2 alt+q alt+a", (1, 3, 0, 0, 12)),
              ("alt+u", "9 alt+x alt+j alt+q alt+a", (1, 3, 0, 9, 12)),
              ("alt+l", "3 alt+q ctrl+v alt+a", (1, 3, 3, 9, 12)),
              ("alt+c", "minus 4 alt+q Return", (1, 3, 3, 9, -4)),
              ("alt+u", "1 1 alt+x KP_Enter", (1, 3, 3, 11, -4)))
    for field, keys, _ in rounds:
        d.step("%s in the field of %s" % (keys, field))
        choose_ends(d, FIRST, LAST)
        d.key(field)
        fast_keys(d, *keys.split())
        d.expect_no_box(0.5)
        d.require_shown(LINKS)
    quit_and_save(d, "OUT")
    check_saved(d, "OUT", (CYCLE[0], CYCLE[1] + [link for _, _, link in rounds]))

CASES = {case.__name__: case for case in (link_range_warning, link_no_origin,
                                         link_click_after_warning, change_warnings, files,
                                         exit_guards, infeasible, window_manager,
                                         fast_keys_main_menu, fast_keys_link_window,
                                         fast_number_fields)}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("case", choices=sorted(CASES))
    parser.add_argument("--program", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("--trace", action="store_true",
                        help="save a screenshot of every message box before answering it")
    args = parser.parse_args()
    status = run(CASES[args.case], args.program, args.output, args.case, trace=args.trace)
    if status == 0:
        print("passed " + args.case)
    return status


if __name__ == "__main__":
    sys.exit(main())
