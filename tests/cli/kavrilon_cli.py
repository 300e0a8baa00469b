"""The command-line modes of the real program, run with no display at all.

Usage: kavrilon_cli.py PROGRAM
"""
import csv
import io
import os
import shutil
import stat
import subprocess
import sys
import tempfile
import threading
import unittest

PROGRAM = None


def no_display():
    return {k: v for k, v in os.environ.items()
            if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}


def run(*args, cwd=None, **streams):
    if not streams:
        streams["capture_output"] = True
    return subprocess.run([PROGRAM, *args], cwd=cwd, env=no_display(), timeout=120, **streams)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write(folder, name, text):
    path = os.path.join(folder, name)
    with open(path, "wb") as f:
        f.write(text.replace("\n", "\r\n").encode("latin-1"))
    return path


# Three nodes, a feasible circulation with one link that needs no flow.
NODES = "A\nB\nC\n"
LINKS = "4 3 0 0 0\n1 2 0 5 3\n2 3 1 5 2\n3 1 0 5 1\n1 3 0 5 9\n"
# 4 units must leave {A, B} and at most 2 can come back.
INFEASIBLE_LINKS = ("8 4 0 0 0\n1 2 0 5 1\n2 1 0 5 1\n1 3 2 2 1\n2 4 2 2 1\n"
                    "3 1 0 1 1\n4 2 0 1 1\n3 4 0 5 1\n4 3 0 5 1\n")


class CommandLine(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name
        self.nde = write(self.dir, "P.NDE", NODES)
        write(self.dir, "P.LIN", LINKS)

    def tearDown(self):
        self.tmp.cleanup()

    def test_text_is_the_report(self):
        done = run("--solve", self.nde)
        self.assertEqual(done.returncode, 0, done.stderr)
        lines = done.stdout.decode().split("\n")
        self.assertEqual(lines[0], "LINK LIST")
        self.assertTrue(lines[3].startswith("Node #    Origin"))
        self.assertEqual(lines[-1], "")
        self.assertEqual(lines[-3], "TOTAL COST = 6")
        self.assertEqual(lines[-2], "Optimal: checked on 4 links and 3 nodes")
        self.assertEqual(lines.index("NODE LIST"), 5 + 4 + 2)

    def test_csv_follows_order_and_selection(self):
        done = run("--solve", self.nde, "--format", "csv", "--order", "dest", "--nonzero")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn(b"\r\n", done.stdout)
        rows = list(csv.reader(io.StringIO(done.stdout.decode("utf-8"), newline="")))
        self.assertEqual(rows[0][:3], ["row", "number", "origin"])
        links = [r for r in rows[1:] if r[0] == "link"]
        nodes = [r for r in rows[1:] if r[0] == "node"]
        # Grouped by destination name A, B, C; link 4 carries no flow.
        self.assertEqual([(r[1], r[3], r[7]) for r in links],
                         [("3", "A", "1"), ("1", "B", "1"), ("2", "C", "1")])
        self.assertEqual([(r[1], r[10]) for r in nodes], [("1", "A"), ("2", "B"), ("3", "C")])
        # Every row has the header's fields; the total and the status come last.
        self.assertEqual(rows[0][12:], ["origin_number", "destination_number"])
        self.assertEqual({len(r) for r in rows}, {14})
        self.assertEqual([(r[0], r[6], r[10]) for r in rows[-2:]],
                         [("total", "6", ""), ("status", "", "optimal")])
        self.assertEqual(len(rows), 1 + 3 + 3 + 2)

    def test_dimacs_output_solves_again_to_the_same_cost(self):
        done = run("--solve", self.nde, "--format", "dimacs")
        self.assertEqual(done.returncode, 0, done.stderr)
        text = done.stdout.decode()
        self.assertIn("c name 2 B\n", text)
        self.assertIn("s 6\n", text)
        self.assertIn("f 1 3 0\n", text)
        # Our own output, solution lines and all, reads back to the same cost.
        problem = os.path.join(self.dir, "P.min")
        with open(problem, "w") as f:
            f.write(text)
        again = run("--solve", problem, "--format", "dimacs")
        self.assertEqual(again.returncode, 0, again.stderr)
        self.assertIn("s 6\n", again.stdout.decode())

    def test_infeasible_dimacs_has_no_solution_lines(self):
        write(self.dir, "R.NDE", "A\nB\nC\nD\n")
        write(self.dir, "R.LIN", INFEASIBLE_LINKS)
        out = os.path.join(self.dir, "R.min")
        done = run("--solve", os.path.join(self.dir, "R.NDE"), "--format", "dimacs",
                   "--output", out)
        self.assertEqual(done.returncode, 1)
        text = read(out).decode()
        self.assertEqual([l for l in text.splitlines() if l[:1] in ("s", "f")], [])
        comments = [l for l in text.splitlines() if l.startswith("c ")]
        self.assertIn("c infeasible: no feasible flow exists", comments)
        self.assertIn("c cut_nodes 2", comments)
        self.assertIn("c cut_need 4", comments)
        self.assertIn("c cut_room 2", comments)
        if shutil.which("glpsol"):
            # Another solver reads the file and finds no feasible flow either.
            other = subprocess.run(["glpsol", "--mincost", out], capture_output=True, timeout=60)
            self.assertIn(b"HAS NO PRIMAL FEASIBLE SOLUTION", other.stdout)

    def test_not_solved_is_one(self):
        # Node C is never an origin: the checks fail, in the error list's words.
        write(self.dir, "Q.NDE", NODES)
        write(self.dir, "Q.LIN", "2 3 0 0 0\n1 2 0 5 3\n2 3 0 5 2\n")
        done = run("--solve", os.path.join(self.dir, "Q.NDE"))
        self.assertEqual(done.returncode, 1)
        self.assertIn(b"C", done.stderr)
        self.assertTrue(done.stderr.endswith(b"needs a return link: see the guide (F1 in any window), "
                                             b"\"Supplies and demands\".\n"), done.stderr)
        self.assertEqual(done.stdout, b"")
        # Every node's bounds fit, but 4 units must leave {A, B} and at most 2 can
        # come back: infeasible, and the results are still written.
        write(self.dir, "R.NDE", "A\nB\nC\nD\n")
        write(self.dir, "R.LIN", INFEASIBLE_LINKS)
        done = run("--solve", os.path.join(self.dir, "R.NDE"))
        self.assertEqual(done.returncode, 1)
        self.assertIn(b"INFEASIBLE", done.stderr)
        self.assertIn(b"TOTAL COST", done.stdout)
        figures = dict(line[len("kavrilon: "):].split(" ", 1)
                       for line in done.stderr.decode().splitlines()
                       if line.startswith("kavrilon: cut_"))
        self.assertEqual(figures["cut_nodes"], "2")
        self.assertGreater(int(figures["cut_need"]), int(figures["cut_room"]))

    def test_unreadable_is_two(self):
        self.assertEqual(run("--solve", os.path.join(self.dir, "NONE.NDE")).returncode, 2)
        bad = write(self.dir, "bad.min", "p min 2 1\na 1 3 0 1 1\n")
        done = run("--solve", bad)
        self.assertEqual(done.returncode, 2)
        self.assertIn(b"line 2: expected a node number between 1 and 2", done.stderr)

    def test_bad_arguments_are_three(self):
        for args in (["--solve"], ["--solve", self.nde, "--format", "xml"],
                     ["--solve", self.nde, "--order", "name"], ["--format", "csv", self.nde],
                     ["--generate", "2", "x", self.dir], ["--bogus"],
                     ["--generate", "200", "200", self.dir],
                     ["--solve", self.nde, "--format", "dimacs", "--order", "dest"],
                     ["--solve", self.nde, "--format", "dimacs", "--nonzero"]):
            self.assertEqual(run(*args).returncode, 3, args)

    def test_unwritable_output_is_four(self):
        missing = os.path.join(self.dir, "no", "out.txt")
        self.assertEqual(run("--solve", self.nde, "--output", missing).returncode, 4)
        out = os.path.join(self.dir, "out.csv")
        self.assertEqual(run("--solve", self.nde, "--format", "csv", "--output", out).returncode, 0)
        with open(out, "rb") as f:
            self.assertTrue(f.read().startswith(b"row,number,"))

    def test_outputs_never_go_over_the_problem(self):
        dimacs = write(self.dir, "P.min", "p min 2 2\na 1 2 0 5 1\na 2 1 0 5 1\n")
        lin = os.path.join(self.dir, "P.LIN")
        os.symlink(lin, os.path.join(self.dir, "to_lin.txt"))
        os.link(dimacs, os.path.join(self.dir, "hard.txt"))
        os.mkdir(os.path.join(self.dir, "sub"))
        for problem, output in ((self.nde, lin), (self.nde, self.nde), (dimacs, dimacs),
                                (dimacs, "hard.txt"), (self.nde, "to_lin.txt"),
                                (self.nde, "./sub/../P.LIN")):
            target = os.path.join(self.dir, output)
            before = read(target)
            done = run("--solve", problem, "--format", "dimacs", "--output", output,
                       cwd=self.dir)
            self.assertEqual(done.returncode, 4, (problem, output))
            self.assertIn(b"holds the problem being solved", done.stderr)
            self.assertEqual(done.stdout, b"")
            self.assertEqual(read(target), before, output)
        os.symlink(self.nde, os.path.join(self.dir, "to_nde.svg"))
        before = read(self.nde)
        done = run("--solve", self.nde, "--picture", "to_nde.svg", cwd=self.dir)
        self.assertEqual((done.returncode, done.stdout), (4, b""))
        self.assertIn(b"holds the problem being solved", done.stderr)
        self.assertEqual(read(self.nde), before)

    def test_pipes_devices_and_descriptors_are_written_as_they_are(self):
        fifo = os.path.join(self.dir, "fifo")
        os.mkfifo(fifo)
        writer = subprocess.Popen([PROGRAM, "--solve", self.nde, "--output", fifo],
                                  env=no_display(), stderr=subprocess.PIPE)

        def release():
            # A program that ends without opening the pipe must not leave the
            # open below waiting for a writer.
            writer.wait()
            try:
                os.close(os.open(fifo, os.O_WRONLY | os.O_NONBLOCK))
            except OSError:  # the reader is done already
                pass
        threading.Thread(target=release, daemon=True).start()
        with open(fifo, "rb") as f:
            self.assertTrue(f.read().startswith(b"LINK LIST"))
        self.assertEqual(writer.wait(timeout=60), 0, writer.communicate()[1])
        self.assertTrue(stat.S_ISFIFO(os.lstat(fifo).st_mode))
        # Appending to a log through /dev/stdout keeps the log's earlier lines.
        log = write(self.dir, "log.txt", "earlier line\n")
        with open(log, "ab") as f:
            done = run("--solve", self.nde, "--output", "/dev/stdout", stdout=f)
        self.assertEqual(done.returncode, 0)
        self.assertTrue(read(log).startswith(b"earlier line\r\nLINK LIST"))
        for name in ("/dev/stdout", "-"):  # into a pipe
            done = run("--solve", self.nde, "--output", name)
            self.assertEqual(done.returncode, 0, done.stderr)
            self.assertTrue(done.stdout.startswith(b"LINK LIST"))
        # A descriptor of its own, as the shell's >(...) gives one.
        read_end, write_end = os.pipe()
        done = run("--solve", self.nde, "--output", f"/dev/fd/{write_end}",
                   pass_fds=(write_end,), capture_output=True)
        os.close(write_end)
        with os.fdopen(read_end, "rb") as f:
            self.assertTrue(f.read().startswith(b"LINK LIST"))
        self.assertEqual(done.returncode, 0, done.stderr)
        if os.geteuid() == 0:
            # A device of our own (never the system's /dev/null: root could
            # replace it) stays the device it was.
            null = os.path.join(self.dir, "null")
            os.mknod(null, 0o666 | stat.S_IFCHR, os.makedev(1, 3))
            done = run("--solve", self.nde, "--output", null)
            self.assertEqual(done.returncode, 0, done.stderr)
            self.assertTrue(stat.S_ISCHR(os.lstat(null).st_mode))

    def test_output_failures_name_the_file_and_the_reason(self):
        missing = os.path.join(self.dir, "no", "out.txt")
        cases = ((missing, "No such file or directory"), (self.dir, "Is a directory"))
        for output, reason in cases:
            done = run("--solve", self.nde, "--output", output)
            self.assertEqual(done.returncode, 4)
            self.assertIn(f"[{output}]: {reason}".encode(), done.stderr)

    def test_one_total_for_an_infeasible_solve(self):
        # The text's total is the total of the flows the CSV lists, as the
        # results window recomputes it.
        write(self.dir, "R.NDE", "A\nB\nC\nD\n")
        write(self.dir, "R.LIN", INFEASIBLE_LINKS)
        problem = os.path.join(self.dir, "R.NDE")
        text = run("--solve", problem).stdout.decode().splitlines()
        rows = list(csv.reader(io.StringIO(run("--solve", problem, "--format", "csv")
                                           .stdout.decode(), newline="")))
        total = sum(int(r[6]) * int(r[7]) for r in rows if r[0] == "link")
        self.assertNotEqual(total, 0)
        self.assertEqual(text[-1], f"TOTAL COST = {total}")
        self.assertEqual([r[6] for r in rows if r[0] == "total"], [str(total)])
        self.assertEqual([r[10] for r in rows if r[0] == "status"], ["infeasible"])

    def test_utf8_names_reach_the_csv_once_warned(self):
        # DIMACS by its content whatever the extension; names in UTF-8.
        problem = write(self.dir, "names.dmx",
                        "c made elsewhere\np min 3 3\nc name 1 =Z\u00fcrich\n"
                        "c name 2 Warehouse-North-A\nc name 3 Warehouse-North-B\n"
                        "a 1 2 0 5 1\na 2 3 0 5 1\na 3 1 1 5 1\n".encode().decode("latin-1"))
        done = run("--solve", problem, "--format", "csv")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn("nodes 2 and 3 are all named \"Warehouse-No\"".encode(), done.stderr)
        rows = list(csv.reader(io.StringIO(done.stdout.decode("utf-8"), newline="")))
        self.assertEqual([r[10] for r in rows if r[0] == "node"],
                         ["'=Z\u00fcrich", "Warehouse-No", "Warehouse-No"])
        self.assertEqual([(r[2], r[12]) for r in rows if r[0] == "link"][0], ("'=Z\u00fcrich", "1"))

    def test_problem_names_are_taken_byte_for_byte(self):
        dimacs = "p min 2 2\na 1 2 0 5 1\na 2 1 0 5 1\n"
        odd = os.path.join(self.dir.encode(), b"caf\xe9.min")  # Latin-1, not UTF-8
        with open(odd, "wb") as f:
            f.write(dimacs.encode())
        done = run("--solve", odd, "--output", os.path.join(self.dir.encode(), b"out\xe9.txt"))
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertTrue(os.path.exists(os.path.join(self.dir.encode(), b"out\xe9.txt")))
        # A picture's name too; a node name typed in UTF-8 or given in Latin-1
        # finds the node the problem names in Latin-1.
        nde = write(self.dir, "N.NDE", "Z\u00fcrich\nBern\n")
        write(self.dir, "N.LIN", "2 2 0 0 0\n1 2 0 5 1\n2 1 0 5 1\n")
        picture = os.path.join(self.dir.encode(), b"pic\xe9.svg")
        for around in ("Z\u00fcrich".encode(), "Z\u00fcrich".encode("latin-1")):
            done = run("--solve", nde, "--picture", picture, "--around", around)
            self.assertEqual(done.returncode, 0, (around, done.stderr))
            self.assertIn(b'<g id="node1">', read(picture))
            os.remove(picture)
        # "-" reads a DIMACS problem from standard input.
        done = run("--solve", "-", input=dimacs.encode(), capture_output=True)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn(b"TOTAL COST = 0", done.stdout)

    def test_each_unreadable_problem_says_why(self):
        fifo = os.path.join(self.dir, "pipe")
        os.mkfifo(fifo)
        for problem, why in ((self.dir, b"is a folder"), (fifo, b"is a device or a pipe"),
                             (os.path.join(self.dir, "NONE.NDE"), b"does not exist")):
            done = run("--solve", problem)
            self.assertEqual(done.returncode, 2, problem)
            self.assertIn(why, done.stderr)

    def test_qt_options_are_left_to_the_windows(self):
        for args in (["-platform", "offscreen", "--version"], ["-style=fusion", "--help"],
                     ["--solve", self.nde, "-display", ":99"],
                     ["--solve", self.nde, "--picture", os.path.join(self.dir, "q.svg"),
                      "-platform", "xcb"]):
            done = run(*args)
            self.assertEqual(done.returncode, 0, (args, done.stderr))

    def test_generate_failures_name_the_folder_and_the_reason(self):
        missing = os.path.join(self.dir, "none")
        done = run("--generate", "2", "3", missing)
        self.assertEqual(done.returncode, 4)
        self.assertIn(f"[{missing}]".encode(), done.stderr)
        self.assertIn(b"No such file or directory", done.stderr)

    def test_generate_repeats_for_a_seed(self):
        outputs = []
        for seed in ("0", "0", "7"):
            folder = tempfile.mkdtemp(dir=self.dir)
            done = run("--generate", "5", "6", folder, "--seed", seed)
            self.assertEqual(done.returncode, 0, done.stderr)
            with open(os.path.join(folder, "RANPRB1.LIN"), "rb") as f:
                outputs.append(f.read())
        self.assertEqual(outputs[0], outputs[1])
        self.assertNotEqual(outputs[0], outputs[2])
        # No seed: the sequence starts where the program starts it.
        folder = tempfile.mkdtemp(dir=self.dir)
        run("--generate", "5", "6", folder)
        with open(os.path.join(folder, "RANPRB1.LIN"), "rb") as f:
            self.assertEqual(f.read(), outputs[0])

    def test_picture_options_and_exit_statuses(self):
        svg = os.path.join(self.dir, "net.svg")
        png = os.path.join(self.dir, "net.png")
        big = os.path.join(self.dir, "BIG.NDE")
        # A hub joined both ways to 400 others: too many for a whole picture.
        write(self.dir, "BIG.LIN", "800 401 0 0 0\n" + "".join(
            "1 %d 0 5 1\n%d 1 0 5 1\n" % (n, n) for n in range(2, 402)))
        write(self.dir, "BIG.NDE", "".join("N%d\n" % n for n in range(1, 402)))
        twins = write(self.dir, "TWINS.NDE", "A\nB\nA\n")
        write(self.dir, "TWINS.LIN", LINKS)
        cases = [  # arguments after --solve PROBLEM, status, file written, stderr holds
            ([self.nde, "--picture", svg], 0, svg, b""),
            ([self.nde, "--picture", png, "--scale", "4"], 0, png, b""),
            ([self.nde, "--picture", svg, "--around", "B", "--steps", "2"], 0, svg, b""),
            ([self.nde, "--picture", svg, "--around", "2"], 0, svg, b""),
            ([big, "--picture", svg, "--around", "N7"], 0, svg, b""),
            ([big, "--picture", svg], 3, None, b"--around"),
            ([self.nde, "--picture", svg, "--around", "Z"], 3, None, b"no node Z"),
            ([self.nde, "--picture", svg, "--around", " C "], 0, svg, b""),
            ([twins, "--picture", svg, "--around", "A"], 3, None,
             b"2 nodes are named A (1 and 3): give the node's number to --around."),
            ([self.nde, "--picture", svg, "--scale", "2"], 3, None, b"PNG pictures only"),
            ([self.nde, "--picture", png, "--scale", "0"], 3, None, b"1 to 16"),
            ([big, "--picture", png, "--scale", "16", "--around", "1"], 3, None, b"16 million"),
            ([self.nde, "--picture", os.path.join(self.dir, "net.gif")], 3, None, b".svg or .png"),
            ([self.nde, "--picture", svg, "--steps", "2"], 3, None, b"--steps needs --around"),
            ([self.nde, "--picture", svg, "--output", os.path.join(self.dir, ".", "net.svg")], 3,
             None, b"--picture and --output name the same file"),
            ([self.nde, "--picture", os.path.join(self.dir, "no", "x.svg")], 4, None, b"x.svg"),
        ]
        for args, status, written, said in cases:
            for name in (svg, png):
                if os.path.exists(name):
                    os.remove(name)
            done = run("--solve", *args)
            self.assertEqual(done.returncode, status, (args, done.stderr))
            self.assertIn(said, done.stderr, args)
            for name in (svg, png):
                self.assertEqual(os.path.exists(name), name == written, (args, name))
            if status in (0, 4):  # the results still go to standard output
                self.assertIn(b"TOTAL COST", done.stdout, args)
        self.assertEqual(run("--picture", svg, self.nde).returncode, 3)
        # Refused before the solve: no trace is written either.
        trace = os.path.join(self.dir, "t.jsonl")
        done = run("--solve", big, "--picture", svg, "--trace", trace)
        self.assertEqual((done.returncode, os.path.exists(trace)), (3, False), done.stderr)
        with open(png, "wb"):
            pass
        run("--solve", self.nde, "--picture", png, "--scale", "4")
        with open(png, "rb") as f:
            self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n")

    def test_picture_of_an_infeasible_run_shows_its_cut(self):
        write(self.dir, "R.NDE", "A\nB\nC\nD\n")
        write(self.dir, "R.LIN", "6 4 0 0 0\n1 2 0 10 0\n2 1 0 10 0\n1 3 5 5 0\n"
                                 "3 4 0 10 0\n4 3 0 10 0\n4 2 0 1 0\n")
        svg = os.path.join(self.dir, "cut.svg")
        done = run("--solve", os.path.join(self.dir, "R.NDE"), "--picture", svg)
        self.assertEqual(done.returncode, 1, done.stderr)
        import xml.etree.ElementTree as ET
        ns = {"s": "http://www.w3.org/2000/svg"}
        groups = {g.get("id"): g for g in ET.parse(svg).getroot().iter("{%s}g" % ns["s"])}
        self.assertEqual(sorted(groups), ["link%d" % k for k in range(1, 7)] +
                         ["node%d" % n for n in range(1, 5)])
        fills = {n: groups["node%d" % n].find("s:ellipse", ns).get("fill") for n in range(1, 5)}
        self.assertEqual(fills[3], fills[4])  # C and D: the cut
        self.assertNotEqual(fills[1], fills[3])
        self.assertEqual(fills[1], fills[2])
        width = {k: float(groups["link%d" % k].find("s:path", ns).get("stroke-width"))
                 for k in range(1, 7)}
        self.assertGreater(width[3], width[1])  # into the cut: bold
        # The label, then the results line with its out-of-kilter mark.
        self.assertTrue(groups["link3"].find("s:title", ns).text.startswith("1 in 5..5\n   3*"))

    def test_trace_is_json_lines_that_replay_to_the_solution(self):
        import json
        trace = os.path.join(self.dir, "trace.jsonl")
        csv_out = os.path.join(self.dir, "out.csv")
        write(self.dir, "R.NDE", "A\nB\nC\nD\n")
        write(self.dir, "R.LIN", INFEASIBLE_LINKS)
        infeasible = os.path.join(self.dir, "R.NDE")

        def events(data):
            return [json.loads(line) for line in data.decode().splitlines()]

        # To a file; the results go to standard output as always.
        done = run("--solve", self.nde, "--trace", trace)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn(b"TOTAL COST = 6", done.stdout)
        steps = events(read(trace))
        self.assertEqual(steps[0]["event"], "start")
        self.assertEqual(steps[-1], {"event": "done", "total_cost": 6})
        flows = steps[0]["flows"]
        for step in steps:
            if step["event"] == "augment":
                for link, sign in step["links"]:
                    flows[link - 1] += sign * step["amount"]
        done = run("--solve", self.nde, "--format", "csv")
        rows = [r for r in csv.reader(io.StringIO(done.stdout.decode(), newline=""))
                if r[0] == "link"]
        self.assertEqual(flows, [int(r[7]) for r in rows])

        # To standard output, with the results in a file; an infeasible run
        # ends with its failed link and cut.
        done = run("--solve", infeasible, "--trace", "-", "--format", "csv", "--output", csv_out)
        self.assertEqual(done.returncode, 1, done.stderr)
        steps = events(done.stdout)
        self.assertEqual(steps[-1]["event"], "infeasible")
        self.assertIn(b"WORKING ON LINK %d " % steps[-1]["link"], done.stderr)
        figures = dict(line[len("kavrilon: "):].split(" ", 1)
                       for line in done.stderr.decode().splitlines()
                       if line.startswith("kavrilon: cut_"))
        self.assertEqual((steps[-1]["need"], steps[-1]["room"]),
                         (int(figures["cut_need"]), int(figures["cut_room"])))
        self.assertTrue(read(csv_out).startswith(b"row,number,"))

        # In words, one numbered line a step, with the trace beside it.
        done = run("--solve", infeasible, "--narrate", "-", "--trace", trace, "--output", csv_out)
        self.assertEqual(done.returncode, 1, done.stderr)
        lines = done.stdout.decode().splitlines()
        self.assertEqual(len(lines), len(events(read(trace))))
        self.assertEqual([line.split("\t")[0] for line in lines],
                         [str(n) for n in range(1, len(lines) + 1)])
        self.assertTrue(lines[-1].split("\t")[1].startswith("No feasible flow: link "))

        # The sensitivity table: its header, then one CR LF row per link. The
        # one unit on B -> C costs 6 round the cycle, so a lower bound of 0
        # saves 6 and a second unit costs 6, for as long as the room of 4 lasts.
        done = run("--solve", self.nde, "--sensitivity", "-", "--output", csv_out)
        self.assertEqual(done.returncode, 0, done.stderr)
        rows = done.stdout.split(b"\r\n")
        self.assertEqual(rows[0], b"link,origin,destination,cost,flow,cost_low,cost_high,"
                         b"upper_plus_1,upper_plus_units,upper_minus_1,upper_minus_units,"
                         b"lower_plus_1,lower_plus_units,lower_minus_1,lower_minus_units,"
                         b"flow_plus_1,flow_plus_units,flow_minus_1,flow_minus_units")
        self.assertEqual([row.split(b",")[0] for row in rows[1:]], [b"1", b"2", b"3", b"4", b""])
        self.assertEqual(rows[2], b"2,B,C,2,1,-4,,0,,0,4,6,4,-6,1,6,4,-6,1")

        os.remove(trace)
        write(self.dir, "Q.NDE", NODES)
        write(self.dir, "Q.LIN", "2 3 0 0 0\n1 2 0 5 3\n2 3 0 5 2\n")
        cases = [  # arguments after --solve, status, stderr holds
            ([self.nde, "--trace", "-"], 3, b"the results and the trace"),
            ([self.nde, "--trace", "/dev/fd/1"], 3, b"the results and the trace"),
            ([self.nde, "--trace", ""], 3, b"--trace needs a file name"),
            ([self.nde, "--trace", trace, "--output", trace], 3, b"the same file"),
            ([self.nde, "--trace", "./x.svg", "--picture", "x.svg"], 3, b"the same file"),
            (["--trace", trace, self.nde], 3, b"need --solve"),
            ([self.nde, "--trace", os.path.join(self.dir, "no", "t")], 4, b"the trace"),
            ([self.nde, "--trace", os.path.join(self.dir, "P.LIN")], 4, b"holds the problem"),
            ([os.path.join(self.dir, "Q.NDE"), "--trace", trace], 1, b"return link"),
            # --narrate follows the same rules.
            ([self.nde, "--narrate", "-"], 3, b"the results and the narration"),
            ([self.nde, "--narrate", ""], 3, b"--narrate needs a file name"),
            ([self.nde, "--narrate", trace, "--trace", trace], 3, b"the same file"),
            ([self.nde, "--narrate", "-", "--trace", "-", "--output", csv_out], 3,
             b"the trace and the narration"),
            (["--narrate", trace, self.nde], 3, b"need --solve"),
            ([self.nde, "--narrate", os.path.join(self.dir, "no", "t")], 4, b"the narration"),
            ([self.nde, "--narrate", os.path.join(self.dir, "P.LIN")], 4, b"holds the problem"),
            # --sensitivity too, and only an optimal solve has a table.
            ([self.nde, "--sensitivity", "-"], 3, b"the results and the sensitivity table"),
            ([self.nde, "--sensitivity", trace, "--output", trace], 3, b"the same file"),
            (["--sensitivity", trace, self.nde], 3, b"need --solve"),
            ([self.nde, "--sensitivity", os.path.join(self.dir, "no", "t")], 4,
             b"the sensitivity table"),
            ([self.nde, "--sensitivity", os.path.join(self.dir, "P.LIN")], 4, b"holds the problem"),
            ([infeasible, "--sensitivity", trace, "--output", csv_out], 1,
             b"no sensitivity table written"),
        ]
        for args, status, said in cases:
            done = run(*args) if args[0].startswith("--") else run("--solve", *args)
            self.assertEqual(done.returncode, status, (args, done.stderr))
            self.assertIn(said, done.stderr, args)
            self.assertFalse(os.path.exists(trace), args)
        self.assertEqual(read(os.path.join(self.dir, "P.LIN")),
                         LINKS.replace("\n", "\r\n").encode())
        # Standard output sent into a file: that file named again would be
        # replaced under the results.
        for option, name in (("--trace", "all.txt"), ("--picture", "all.svg")):
            with open(os.path.join(self.dir, name), "wb") as f:
                done = run("--solve", self.nde, option, name, cwd=self.dir, stdout=f,
                           stderr=subprocess.PIPE)
            self.assertEqual(done.returncode, 3, (option, done.stderr))
            self.assertIn(b"only one output can go to standard output", done.stderr)

        # A trace that cannot be written to the end is exit 4: a full device
        # of our own (never the system's, which root could replace).
        if os.geteuid() == 0:
            full = os.path.join(self.dir, "full")
            os.mknod(full, 0o666 | stat.S_IFCHR, os.makedev(1, 7))
            done = run("--solve", self.nde, "--trace", full)
            self.assertEqual(done.returncode, 4, done.stderr)
            self.assertIn(b"cannot write the trace", done.stderr)
            self.assertTrue(stat.S_ISCHR(os.lstat(full).st_mode))

    def test_help_names_the_exit_statuses(self):
        done = run("--help")
        self.assertEqual(done.returncode, 0)
        self.assertNotIn(b"kavrilon-bench", done.stdout)
        self.assertNotIn(b"range guard", done.stdout)
        self.assertIn(b"Usage: kavrilon ", done.stdout)
        self.assertRegex(done.stdout, rb"The guide: /\S+/share/doc/kavrilon/guide\.md \(in the windows: F1\)\n")
        self.assertRegex(done.stdout, rb"Examples: /\S+/share/kavrilon/examples\n")
        self.assertEqual(run("--version").returncode, 0)


if __name__ == "__main__":
    PROGRAM = os.path.abspath(sys.argv.pop(1))
    unittest.main()
