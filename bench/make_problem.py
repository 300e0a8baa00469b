#!/usr/bin/env python3
"""Writes a random test problem as a node file and its link file.

    make_problem.py OUT.NDE [--links 20000] [--nodes 2010] [--seed 1]

The link file's name is the node file's with its last three characters
replaced by LIN. Node k is named Nk. A ring k -> k+1 of wide links keeps every
node an origin and a destination and makes the problem feasible; the other
links join random pairs, a tenth of them with a small lower bound.
"""
import argparse
import random


def field(value, width=10):
    text = str(value)
    return " " + text if len(text) >= width else text.rjust(width)


def line(*values):
    return "".join(field(v) for v in values) + "\r\n"


def make_links(links, nodes, rng):
    for k in range(1, min(links, nodes) + 1):
        yield k, k % nodes + 1, 0, 1000000, rng.randint(1, 10)
    for _ in range(links - nodes):
        origin = rng.randint(1, nodes)
        dest = rng.randint(1, nodes - 1)
        dest += dest >= origin
        lower = rng.randint(1, 5) if rng.random() < 0.1 else 0
        yield origin, dest, lower, rng.randint(lower + 1, 1000), rng.randint(-20, 100)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("node_file")
    parser.add_argument("--links", type=int, default=20000)
    parser.add_argument("--nodes", type=int, default=2010)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    if args.nodes < 2 or args.links < args.nodes:
        parser.error("needs at least 2 nodes and at least as many links as nodes")

    rng = random.Random(args.seed)
    link_file = args.node_file[:-3] + "LIN" if len(args.node_file) >= 3 else "LIN"
    with open(link_file, "w", newline="") as out:
        out.write(line(args.links, args.nodes, 0, 0, 0))
        for link in make_links(args.links, args.nodes, rng):
            out.write(line(*link))
    with open(args.node_file, "w", newline="") as out:
        for k in range(1, args.nodes + 1):
            out.write(f"N{k}\r\n")


if __name__ == "__main__":
    main()
