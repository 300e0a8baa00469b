"""The command line as scripts meet it: signals, a JSON result, exact words.

Usage: scripts_cli.py PROGRAM
"""
import csv
import json
import os
import resource
import signal
import subprocess
import sys
import tempfile
import time
import unittest

PROGRAM = None


def environment(**extra):
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(extra)
    return env


def run(*args, cwd=None, env=None, **streams):
    if not streams:
        streams["capture_output"] = True
    return subprocess.run([PROGRAM, *args], cwd=cwd, env=env or environment(), timeout=120,
                          **streams)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)
    return path


def leftovers(folder):
    return [name for name in os.listdir(folder) if name.startswith(".kav-")]


class Folder(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def path(self, name):
        return os.path.join(self.dir, name)

    def generated(self, origins, destinations):
        """A random transportation problem; its node file."""
        done = run("--generate", str(origins), str(destinations), self.dir)
        self.assertEqual(done.returncode, 0, done.stderr)
        return self.path("RANPRB1.NDE")


class Signals(Folder):
    """Pipes that close, file-size limits and ending signals."""

    def test_a_reader_that_stops_early_fails_only_the_trace(self):
        problem = self.generated(40, 40)
        results = self.path("r.txt")
        # The trace is far longer than a pipe holds: head stops reading it.
        child = subprocess.Popen([PROGRAM, "--solve", problem, "--trace", "-", "--output",
                                  results], env=environment(), stdout=subprocess.PIPE,
                                 stderr=subprocess.PIPE)
        for _ in range(5):
            child.stdout.readline()
        child.stdout.close()
        error = child.stderr.read()
        child.stderr.close()
        self.assertEqual(child.wait(timeout=120), 4, error)
        self.assertEqual(error, b"kavrilon: cannot write the trace to standard output: "
                                b"Broken pipe\n")
        self.assertTrue(read(results).rstrip(b"\n").endswith(b"links and 82 nodes"))

    def test_a_file_size_limit_fails_the_write_and_keeps_the_old_file(self):
        problem = self.generated(40, 40)
        limit = lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (65536, 65536))
        for option, name in (("--output", "o.txt"), ("--trace", "t.jsonl")):
            target = write(self.path(name), b"old text\n")
            done = subprocess.run([PROGRAM, "--solve", problem, option, target],
                                  env=environment(), capture_output=True, preexec_fn=limit,
                                  timeout=120)
            self.assertEqual(done.returncode, 4, (option, done.stderr))
            self.assertIn(("[%s]: File too large" % target).encode(), done.stderr)
            self.assertEqual(read(target), b"old text\n")
            self.assertEqual(leftovers(self.dir), [])

    def test_an_interrupt_removes_the_temporary_copy(self):
        problem = self.generated(100, 195)
        trace = write(self.path("t.jsonl"), b"old trace\n")

        def default_interrupt():
            signal.signal(signal.SIGINT, signal.SIG_DFL)

        # The trace is written for a fraction of a second: caught while its
        # temporary copy exists, in one try or another.
        for attempt in range(10):
            child = subprocess.Popen([PROGRAM, "--solve", problem, "--trace", trace,
                                      "--output", os.devnull], env=environment(),
                                     preexec_fn=default_interrupt)
            while child.poll() is None and not leftovers(self.dir):
                time.sleep(0.0005)
            if child.poll() is None:
                child.send_signal(signal.SIGINT)
            status = child.wait(timeout=120)
            if status == -signal.SIGINT:
                break
            self.assertEqual(status, 0)
            write(trace, b"old trace\n")
        self.assertEqual(status, -signal.SIGINT)
        self.assertEqual(leftovers(self.dir), [])
        self.assertEqual(read(trace), b"old trace\n")

    def test_a_trace_into_a_hard_linked_file_keeps_the_link(self):
        problem = self.generated(5, 5)
        trace = write(self.path("t.jsonl"), b"old trace\n")
        os.link(trace, self.path("second.jsonl"))
        done = run("--solve", problem, "--trace", trace, "--output", os.devnull)
        self.assertEqual(done.returncode, 0, done.stderr)
        fresh = run("--solve", problem, "--trace", "-", "--output", os.devnull).stdout
        self.assertEqual(read(trace), fresh)
        self.assertEqual(read(self.path("second.jsonl")), fresh)
        self.assertEqual(os.stat(trace).st_nlink, 2)
        self.assertEqual(leftovers(self.dir), [])

    def test_standard_input_is_protected_like_a_named_problem(self):
        # Named .svg so that --picture takes the name too.
        problem = write(self.path("p.svg"), b"p min 2 2\nn 1 3\nn 2 -3\na 1 2 0 5 2\n"
                                            b"a 2 1 0 5 1\n")
        before = read(problem)
        for option in ("--output", "--trace", "--narrate", "--picture"):
            results = [] if option == "--output" else ["--output", "r.txt"]
            with open(problem, "rb") as source:
                done = run("--solve", "-", option, "./p.svg", *results, cwd=self.dir,
                           stdin=source, capture_output=True)
            self.assertEqual(done.returncode, 4, (option, done.stderr))
            self.assertEqual(read(problem), before, option)
            self.assertEqual(done.stdout, b"")
            self.assertFalse(os.path.exists(self.path("r.txt")))

MOST = 2147483647


class JsonResult(Folder):
    """--format json for every way a run can end, read by python's json."""

    def solved(self, text, *args, name="p.min"):
        problem = write(self.path(name), text.encode())
        done = run("--solve", problem, "--format", "json", *args)
        return done, json.loads(done.stdout)

    def test_an_optimal_total_beyond_64_bits_is_exact(self):
        # Three links each carrying the largest flow at the largest cost.
        arcs = "".join("a %d %d %d %d %d\n" % (n, n % 3 + 1, MOST, MOST, MOST) for n in (1, 2, 3))
        done, result = self.solved("p min 3 3\nc name 1 Zürich\nc name 2 a\"b\\c\n" + arcs)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(result["status"], "optimal")
        self.assertEqual(result["total_cost"], 3 * MOST * MOST)
        self.assertGreater(result["total_cost"], 2 ** 63)
        self.assertEqual(result["certificate"],
                         {"checked": True, "optimal": True, "links": 3, "nodes": 3})
        self.assertEqual([(l["origin_name"], l["flow"], l["in_kilter"]) for l in result["links"]],
                         [("Zürich", MOST, True), ('a"b\\c', MOST, True), ("3", MOST, True)])
        self.assertEqual(result["nodes"][0]["name"], "Zürich")

    def test_order_and_selection_apply(self):
        done, result = self.solved("p min 3 4\na 1 2 0 5 3\na 2 3 1 5 2\na 3 1 0 5 1\n"
                                   "a 1 3 0 5 9\n", "--order", "dest", "--nonzero")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual([l["number"] for l in result["links"]], [3, 1, 2])
        self.assertEqual(result["total_cost"], 6)

    def test_each_optimal_link_carries_the_sensitivity_tables_figures(self):
        arcs = "p min 3 4\na 1 2 0 5 3\na 2 3 1 5 2\na 3 1 0 5 1\na 1 3 0 5 9\n"
        done, result = self.solved(arcs, "--sensitivity", self.path("s.csv"), name="s.min")
        self.assertEqual(done.returncode, 0, done.stderr)
        with open(self.path("s.csv"), newline="", encoding="utf-8") as f:
            rows = list(csv.DictReader(f))
        figure = lambda text: None if text == "" else text if text == "infeasible" else int(text)
        for link, row in zip(result["links"], rows):
            self.assertEqual(link["cost_range"], [figure(row["cost_low"]), figure(row["cost_high"])])
            for move in ("upper_plus", "upper_minus", "lower_plus", "lower_minus", "flow_plus",
                         "flow_minus"):
                value = link["bound_values"][move]
                self.assertEqual(value["change"], figure(row[move + "_1"]), move)
                if isinstance(value["change"], int):
                    self.assertEqual(value["units"], figure(row[move + "_units"]), move)
        self.assertEqual(len(rows), 4)

    def test_infeasible_names_the_cut(self):
        # 4 units must leave {1, 2} and at most 2 can come back.
        done, result = self.solved(
            "p min 4 8\na 1 2 0 5 1\na 2 1 0 5 1\na 1 3 2 2 1\na 2 4 2 2 1\n"
            "a 3 1 0 1 1\na 4 2 0 1 1\na 3 4 0 5 1\na 4 3 0 5 1\n")
        self.assertEqual(done.returncode, 1)
        self.assertEqual(result["status"], "infeasible")
        cut = result["infeasible"]["cut"]
        self.assertEqual((len(cut["nodes"]), cut["need"], cut["room"]), (2, 4, 2))
        self.assertGreater(result["infeasible"]["failed_link"], 0)
        self.assertEqual(len(result["links"]), 8)
        self.assertNotIn("cost_range", result["links"][0])  # figures only for an optimum

    def test_runs_without_results_say_why(self):
        write(self.path("Q.LIN"), b"2 3 0 0 0\r\n1 2 0 5 3\r\n2 3 0 5 2\r\n")
        write(self.path("Q.NDE"), b"A\r\nB\r\nC\r\n")
        checks = run("--solve", self.path("Q.NDE"), "--format", "json")
        stopped = self.solved("p min 4 4\na 4 1 1 1 0\na 1 2 0 1 1000000000\n"
                              "a 2 3 0 1 1000000000\na 3 4 0 1 1000000000\n")[0]
        refused = self.solved("p min 2 1\na 1 3 0 1 1\n", name="bad.min")[0]
        for done, status, key, code in ((checks, "checks_failed", "checks", 1),
                                        (stopped, "stopped", "reason", 1),
                                        (refused, "refused", "reason", 2)):
            self.assertEqual(done.returncode, code, done.stderr)
            result = json.loads(done.stdout)
            self.assertEqual(sorted(result), [key, "status"])
            self.assertEqual(result["status"], status)
            self.assertTrue(result[key])
        self.assertIn("line 2: ", json.loads(refused.stdout)["reason"])
        self.assertEqual(json.loads(checks.stdout)["checks"][-1],
                         checks.stderr.decode().splitlines()[-1][len("kavrilon: "):])
        # A problem that cannot be read is never written over by its own result.
        write(self.path("R.NDE"), b"A\r\n")
        write(self.path("R.LIN"), b"1 1 0 0 0\r\n1 x\r\n")
        for problem, output in (("bad.min", "bad.min"), ("R.NDE", "R.LIN")):
            before = read(self.path(output))
            done = run("--solve", self.path(problem), "--format", "json", "--output",
                       self.path(output))
            self.assertEqual(done.returncode, 2, done.stderr)
            self.assertEqual(read(self.path(output)), before)
        bad = run("--solve", self.path("bad.min"), "--format", "json", "--format", "json")
        self.assertEqual((bad.returncode, bad.stdout), (3, b""))



class ExactWords(Folder):
    """What a script reads: UTF-8, quoted input made safe, the program's own words."""

    def test_names_are_utf8_in_the_text_results(self):
        write(self.path("Z.NDE"), "Zürich\r\nBern\r\n".encode("latin-1"))
        write(self.path("Z.LIN"), b"2 2 0 0 0\r\n1 2 0 5 1\r\n2 1 1 5 1\r\n")
        done = run("--solve", self.path("Z.NDE"))
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn("Zürich", done.stdout.decode("utf-8"))

    def test_quoted_input_is_short_and_shows_what_cannot_be_seen(self):
        title = b"\x1b]0;owned\x07" + b"x" * 200
        cases = {
            # The quote: at most 60 characters, then "...".
            b"p min 1 0\n" + title + b"\n":
                b'not "\\x1B]0;owned\\x07' + b"x" * 50 + b'..."',
            b"p min 1 0\nq\x00tail\n": b'not "q\\x00tail"',
            b"\xef\xbb\xbfp min 1 0\n": b'not "\\xEF\\xBB\\xBFp"',
            b"p min 1 1\na 1 1 0 \xff 0\n": b'not "\\xFF"',
        }
        for text, quoted in cases.items():
            done = run("--solve", write(self.path("q.min"), text))
            self.assertEqual(done.returncode, 2, done.stderr)
            self.assertIn(quoted, done.stderr)
            self.assertNotIn(b"\x1b", done.stderr)
            self.assertNotIn(b"\x00", done.stderr)
            for line in done.stderr.splitlines():
                self.assertTrue(line.startswith(b"kavrilon: cannot read the DIMACS problem ["),
                                line)

    def test_the_name_warning_shows_the_bytes_as_read(self):
        problem = write(self.path("k.min"), b"p min 2 2\nc name 1 K\xf8benhavn\n"
                                            b"a 1 2 0 1 1\na 2 1 0 1 1\n")
        done = run("--solve", problem, "--output", os.devnull)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn(b'"K\\xF8benhavn" became "K?benhavn"', done.stderr)
        done.stderr.decode("utf-8")

    def test_the_command_line_speaks_its_own_words(self):
        alone = write(self.path("alone.NDE"), b"A\r\n")
        directory = os.open(self.dir, os.O_RDONLY)
        self.addCleanup(os.close, directory)
        cases = (
            (["--solve", alone], {}, 2, "kavrilon: [%s] does not exist: the node file [%s] "
             "needs its link file beside it.\n" % (self.path("alone.LIN"), alone)),
            (["--solve", "-"], {"stdin": directory}, 2,
             "kavrilon: cannot read the DIMACS problem from standard input: read error: "
             "Is a directory\n"),
            (["--generate", "2", "-1", self.dir], {}, 3, "kavrilon: ORIGINS and DESTINATIONS "
             "must be whole numbers of 0 or more, not \"-1\".\nTry 'kavrilon --help'.\n"),
        )
        for args, streams, code, said in cases:
            done = run(*args, capture_output=True, **streams)
            self.assertEqual((done.returncode, done.stderr.decode()), (code, said))
        done = subprocess.run("%s --solve - <&-" % PROGRAM, shell=True, capture_output=True)
        self.assertEqual((done.returncode, done.stderr),
                         (2, b"kavrilon: cannot read the problem: standard input is closed\n"))

    def test_a_closed_standard_output_changes_no_file(self):
        problem = write(self.path("p.min"), b"p min 2 2\na 1 2 0 1 1\na 2 1 0 1 1\n")
        write(self.path("t.jsonl"), b"old\n")
        for extra in ("", "--output -", "--trace t.jsonl"):
            done = subprocess.run("%s --solve p.min %s >&-" % (PROGRAM, extra), shell=True,
                                  cwd=self.dir, capture_output=True)
            self.assertEqual((done.returncode, done.stderr),
                             (4, b"kavrilon: standard output is closed\n"), extra)
            self.assertEqual(read(self.path("t.jsonl")), b"old\n")
            self.assertEqual(sorted(os.listdir(self.dir)), ["p.min", "t.jsonl"])
        # With the results in a file, a program started with 1 closed still
        # writes them there and nowhere else.
        done = subprocess.run("%s --solve p.min --output r.txt --trace t.jsonl >&-" % PROGRAM,
                              shell=True, cwd=self.dir, capture_output=True)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertTrue(read(self.path("r.txt")).startswith(b"LINK LIST"))
        self.assertTrue(read(self.path("t.jsonl")).startswith(b'{"event":"start"'))

    def test_an_option_given_twice_is_a_bad_argument(self):
        problem = write(self.path("p.min"), b"p min 2 2\na 1 2 0 1 1\na 2 1 0 1 1\n")
        for twice in (["--format", "csv", "--format", "text"],
                      ["--output", "a.txt", "--output", "b.txt"],
                      ["--narrate", "a.txt", "--narrate", "b.txt", "--output", "c.txt"],
                      ["--nonzero", "--nonzero"], ["--order", "dest", "--order=dest"]):
            done = run("--solve", problem, *twice, cwd=self.dir)
            self.assertEqual((done.returncode, done.stdout), (3, b""), twice)
            self.assertIn(b" is given more than once.", done.stderr)
        self.assertEqual(sorted(os.listdir(self.dir)), ["p.min"])

    def test_a_picture_without_a_runtime_folder_says_nothing(self):
        problem = write(self.path("p.min"), b"p min 2 2\na 1 2 0 1 1\na 2 1 0 1 1\n")
        scratch = self.path("tmp")
        os.mkdir(scratch)
        env = environment(TMPDIR=scratch)
        env.pop("XDG_RUNTIME_DIR", None)
        done = run("--solve", problem, "--picture", self.path("p.svg"), "--output", os.devnull,
                   env=env)
        self.assertEqual((done.returncode, done.stderr), (0, b""))
        self.assertEqual(os.listdir(scratch), [])


if __name__ == "__main__":
    PROGRAM = os.path.abspath(sys.argv.pop(1))
    unittest.main()
