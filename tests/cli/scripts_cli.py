"""The command line as scripts meet it: signals, a JSON result, exact words.

Usage: scripts_cli.py PROGRAM
"""
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
        done, result = self.solved("p min 3 3\nc name 1 Zürich\n" + arcs)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(result["status"], "optimal")
        self.assertEqual(result["total_cost"], 3 * MOST * MOST)
        self.assertGreater(result["total_cost"], 2 ** 63)
        self.assertEqual(result["certificate"],
                         {"checked": True, "optimal": True, "links": 3, "nodes": 3})
        self.assertEqual([(l["origin_name"], l["flow"], l["in_kilter"]) for l in result["links"]],
                         [("Zürich", MOST, True), ("2", MOST, True), ("3", MOST, True)])
        self.assertEqual(result["nodes"][0]["name"], "Zürich")

    def test_order_and_selection_apply(self):
        done, result = self.solved("p min 3 4\na 1 2 0 5 3\na 2 3 1 5 2\na 3 1 0 5 1\n"
                                   "a 1 3 0 5 9\n", "--order", "dest", "--nonzero")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual([l["number"] for l in result["links"]], [3, 1, 2])
        self.assertEqual(result["total_cost"], 6)

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
        before = read(self.path("bad.min"))
        done = run("--solve", self.path("bad.min"), "--format", "json", "--output",
                   self.path("bad.min"))
        self.assertEqual(read(self.path("bad.min")), before)
        bad = run("--solve", self.path("bad.min"), "--format", "json", "--format", "json")
        self.assertEqual((bad.returncode, bad.stdout), (3, b""))


if __name__ == "__main__":
    PROGRAM = os.path.abspath(sys.argv.pop(1))
    unittest.main()
