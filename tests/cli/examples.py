"""Solves every shipped example with kavrilon --solve and checks the figures
its README gives: the optimal cost, the cut of an infeasible one, or the
check errors.

Usage: examples.py PROGRAM EXAMPLES_DIR
"""
import os
import re
import subprocess
import sys
import unittest

PROGRAM = None
EXAMPLES = None
HINT = b'needs a return link: see the guide (F1 in any window), "Supplies and demands".\n'

# A row of the README's table: | `FILE` | what it is | figures |
ROW = re.compile(r"^\| `([^`]+)` \|[^|]*\| ([^|]+) \|$")


def run(*args):
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    return subprocess.run([PROGRAM, *args], env=env, capture_output=True, timeout=60)


def documented():
    with open(os.path.join(EXAMPLES, "README"), encoding="utf-8") as f:
        return [m.groups() for m in map(ROW.match, f.read().splitlines()) if m]


def node_names(problem):
    with open(problem, "rb") as f:
        return f.read().decode("latin-1").split("\r\n")


class Examples(unittest.TestCase):
    def test_every_example_is_documented(self):
        files = {name for name in os.listdir(EXAMPLES)
                 if name.endswith((".NDE", ".min"))}
        self.assertEqual({name for name, _ in documented()}, files)

    def test_documented_figures(self):
        for name, figures in documented():
            with self.subTest(example=name):
                problem = os.path.join(EXAMPLES, name)
                done = run("--solve", problem, "--format", "dimacs")
                cost = re.fullmatch(r"cost (-?\d+)", figures.strip())
                cut = re.fullmatch(r"infeasible: cut \{([^}]*)\}, need (\d+), room (\d+)",
                                   figures.strip())
                if cost:
                    self.assertEqual(done.returncode, 0, done.stderr)
                    self.assertIn(b"\ns %s\n" % cost.group(1).encode(), done.stdout)
                elif cut:
                    self.assertEqual(done.returncode, 1, done.stderr)
                    lines = [l[len("kavrilon: "):] for l in done.stderr.decode().splitlines()]
                    values = dict(l.split(" ", 1) for l in lines if l.startswith("cut_"))
                    self.assertEqual((values["cut_need"], values["cut_room"]), cut.group(2, 3))
                    names = node_names(problem)
                    cut_nodes = [names[int(l.split()[1]) - 1] for l in lines
                                 if l.startswith("cut_node ")]
                    self.assertEqual(", ".join(cut_nodes), cut.group(1))
                elif figures.strip() == "checks fail, with the hint":
                    self.assertEqual(done.returncode, 1)
                    self.assertTrue(done.stderr.endswith(HINT), done.stderr)
                    self.assertEqual(done.stdout, b"")
                else:
                    self.fail("figures not understood: " + figures)


if __name__ == "__main__":
    PROGRAM, EXAMPLES = sys.argv[1], sys.argv[2]
    del sys.argv[1:3]
    unittest.main(verbosity=2)
