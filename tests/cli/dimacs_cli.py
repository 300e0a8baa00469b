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

# Problems other solvers accept whose nodes lack a leaving or an entering arc:
# (text, least cost, nodes joined to SUPPLY).
SHAPES = {
    "isolated, no supplies": ("p min 3 2\na 1 2 0 5 -2\na 2 1 0 5 1\n", -5, 1),
    "isolated, supplies": ("p min 3 1\nn 1 4\nn 2 -4\na 1 2 0 9 3\n", 12, 1),
    "only sends": ("p min 3 2\nn 1 3\nn 3 -3\na 1 3 0 5 2\na 2 3 0 5 1\n", 6, 1),
    "only receives": ("p min 3 2\nn 1 3\nn 3 -3\na 1 3 0 5 2\na 1 2 0 5 -1\n", 6, 1),
    "only sends, no supplies": ("p min 3 3\na 1 2 0 4 -3\na 2 1 0 4 1\na 3 1 0 4 -5\n", -8, 1),
    "only receives, no supplies": ("p min 3 3\na 1 2 0 4 -3\na 2 1 0 4 1\na 1 3 0 4 -5\n", -8, 1),
    "unused last nodes": ("p min 6 2\nn 1 2\nn 2 -2\na 1 2 1 5 4\na 2 1 0 5 1\n", 8, 4),
    "named, zero supply line": ("c name 4 Depot\np min 5 4\nn 1 5\nn 4 0\nn 5 -5\na 1 5 0 9 2\n"
                                "a 1 3 0 9 -1\na 3 1 0 9 -1\na 4 3 0 9 -7\n", -8, 2),
}


def solve(path):
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    done = subprocess.run([PROGRAM, "--solve", path, "--format", "dimacs"], env=env,
                          timeout=120, capture_output=True)
    lines = done.stdout.decode().split("\n")
    cost = [int(l[2:]) for l in lines if l.startswith("s ")]
    return done, cost, [l.split()[3] for l in lines if l.startswith("f ")]


def glpsol_cost(path):
    subprocess.run(["glpsol", "--mincost", path, "-o", path + ".out"], check=True,
                   capture_output=True, timeout=120)
    with open(path + ".out") as f:
        return int(re.search(r"Objective:\s+(-?\d+) \(MINimum\)", f.read()).group(1))


class Dimacs(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.tmp.cleanup()

    def write(self, name, text):
        path = os.path.join(self.tmp.name, name)
        with open(path, "wb") as f:
            f.write(text.encode())
        return path

    def test_shapes_other_solvers_accept_are_solved_to_their_cost(self):
        for shape, (text, cost, joined) in SHAPES.items():
            with self.subTest(shape):
                path = self.write("shape.min", text)
                done, solved, flows = solve(path)
                self.assertEqual((done.returncode, solved), (0, [cost]), done.stderr)
                if shutil.which("glpsol"):
                    self.assertEqual(glpsol_cost(path), cost)
                lack = f"{joined} node lacks" if joined == 1 else f"{joined} nodes lack"
                self.assertIn(f"[{path}]: {lack} a leaving or an entering arc".encode(),
                              done.stderr)
                self.assertEqual(flows[-2 * joined:], ["0"] * 2 * joined)

    def test_files_of_other_programs_are_dimacs_by_their_content(self):
        # Remarks after "c name" as other programs write them are comments.
        problem = ("c name -- names follow\nc name 1st is the depot\np min 3 3\nc name 1 Depot\n"
                   "a 1 2 0 5 -2\na 2 3 0 5 1\na 3 1 0 5 1\n")
        for name, text in (("bare_c.txt", ("c\n" + problem).replace("\n", "\r\n")),
                           ("blank", ("\nc made elsewhere\n" + problem).replace("\n", "\r\n")),
                           ("long_comment.dat", "c generated\n" * 1001 + problem)):
            with self.subTest(name):
                done, solved, _ = solve(self.write(name, text))
                self.assertEqual((done.returncode, solved, done.stderr), (0, [0], b""))


if __name__ == "__main__":
    PROGRAM = os.path.abspath(sys.argv.pop(1))
    unittest.main()
