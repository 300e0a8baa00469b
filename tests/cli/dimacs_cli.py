"""DIMACS files as other programs write them, solved by the real program.

Usage: dimacs_cli.py PROGRAM
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

PROGRAM = None

# Shapes that other solvers accept: a node without a leaving or an entering arc
# is joined to SUPPLY by links that carry nothing. (problem, least cost, nodes
# joined)
SHAPES = {
    "isolated node, no supplies": ("p min 3 2\na 1 2 0 5 -2\na 2 1 0 5 1\n", -5, 1),
    "isolated node beside supplies": ("p min 3 1\nn 1 4\nn 2 -4\na 1 2 0 9 3\n", 12, 1),
    "transshipment node that only sends":
        ("p min 3 2\nn 1 3\nn 3 -3\na 1 3 0 5 2\na 2 3 0 5 1\n", 6, 1),
    "transshipment node that only receives":
        ("p min 3 2\nn 1 3\nn 3 -3\na 1 3 0 5 2\na 1 2 0 5 -1\n", 6, 1),
    "no supplies, a node that only sends":
        ("p min 3 3\na 1 2 0 4 -3\na 2 1 0 4 1\na 3 1 0 4 -5\n", -8, 1),
    "no supplies, a node that only receives":
        ("p min 3 3\na 1 2 0 4 -3\na 2 1 0 4 1\na 1 3 0 4 -5\n", -8, 1),
    "unused nodes after the used ones":
        ("p min 6 2\nn 1 2\nn 2 -2\na 1 2 1 5 4\na 2 1 0 5 1\n", 8, 4),
    "named, zero supply line, isolated and one-way nodes":
        ("c name 4 Depot\np min 5 4\nn 1 5\nn 4 0\nn 5 -5\na 1 5 0 9 2\na 1 3 0 9 -1\n"
         "a 3 1 0 9 -1\na 4 3 0 9 -7\n", -8, 2),
}


def run(*args, **streams):
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    return subprocess.run([PROGRAM, *args], env=env, timeout=120, capture_output=True, **streams)


def glpsol_cost(path):
    done = subprocess.run(["glpsol", "--mincost", path, "-o", path + ".out"],
                          capture_output=True, timeout=120)
    assert done.returncode == 0, done.stdout
    with open(path + ".out") as f:
        return int(re.search(r"Objective:\s+(-?\d+) \(MINimum\)", f.read()).group(1))


class Dimacs(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def write(self, name, data):
        path = os.path.join(self.dir, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def solved_cost(self, path):
        done = run("--solve", path, "--format", "dimacs")
        self.assertEqual(done.returncode, 0, done.stderr)
        cost = next(l for l in done.stdout.decode().split("\n") if l.startswith("s "))
        return int(cost[2:]), done

    def test_shapes_other_solvers_accept_are_solved_to_their_cost(self):
        for shape, (text, cost, joined) in SHAPES.items():
            with self.subTest(shape):
                path = self.write("shape.min", text.encode())
                solved, done = self.solved_cost(path)
                self.assertEqual(solved, cost)
                if shutil.which("glpsol"):
                    self.assertEqual(glpsol_cost(path), cost)
                plural = "node lacks" if joined == 1 else "nodes lack"
                self.assertIn(f"[{path}]: {joined} {plural} a leaving or an entering arc".encode(),
                              done.stderr)
                # The file's arcs keep their flows; the added links carry none.
                flows = [l.split() for l in done.stdout.decode().split("\n") if l.startswith("f ")]
                self.assertEqual([f[3] for f in flows[-2 * joined:]], ["0"] * 2 * joined)

    def test_files_of_other_programs_are_dimacs_by_their_content(self):
        problem = "p min 3 3\nc name 1 Depot\na 1 2 0 5 -2\na 2 3 0 5 1\na 3 1 0 5 1\n"
        comments = "c generated\n" * 1001
        for name, text in (("bare_c.txt", ("c\n" + problem).replace("\n", "\r\n")),
                           ("blank", ("\nc made elsewhere\n" + problem).replace("\n", "\r\n")),
                           ("long_comment.dat", comments + problem)):
            with self.subTest(name):
                solved, done = self.solved_cost(self.write(name, text.encode()))
                self.assertEqual(solved, 0)
                self.assertEqual(done.stderr, b"")

    def test_remarks_after_c_name_are_comments_and_numbers_are_checked(self):
        problem = "p min 2 2\na 1 2 0 5 -2\na 2 1 0 5 1\n"
        solved, _ = self.solved_cost(self.write(
            "remarks.min", ("c name -- names follow\nc name 1st is the depot\n" + problem).encode()))
        self.assertEqual(solved, -5)
        for name_line, why in (("c name 0 X", "between 1 and 2010, not 0"),
                               ("c name +3 X", "between 1 and 2010, not \"+3\""),
                               ("c name 3 X", "between 1 and 2, not 3")):
            done = run("--solve", self.write("bad.min", f"c\n{name_line}\n{problem}".encode()))
            self.assertEqual(done.returncode, 2, name_line)
            self.assertIn(f"line 2: expected a node number {why}".encode(), done.stderr)


if __name__ == "__main__":
    PROGRAM = os.path.abspath(sys.argv.pop(1))
    unittest.main()
