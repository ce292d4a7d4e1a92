#!/usr/bin/env python3
"""Writes the benchmark nets of quanter's in-process simulator.

ring.pnl: 500 transitions in a ring, constant delays of 0.1 to 1.0 time units
(scale 10 stays 10), one token on every tenth place; ring8000.pnl and
ring32000.pnl the same with 8,000 and 32,000 transitions.
grid.pnl: a 100 x 100 torus of transitions; each feeds its right and lower
neighbours, and the places that wrap around hold one token, so every cycle
holds one.

Usage: make_nets.py [DIR]   (default: the current folder)
"""
import os
import random
import sys


def ring(n=500):
    rnd = random.Random(1)
    out = [f"Transitions <- {n}", f"Places <- {n}"]
    for t in range(1, n + 1):
        out.append(f"T {t} C {rnd.randint(1, 10) / 10:.1f} , {t} ;")
    for p in range(1, n + 1):
        tokens = "1 0.0" if p % 10 == 0 else "0"
        out.append(f"P {p} C 0.0 {tokens} , {p % n + 1} ;")
    return "\n".join(out) + "\n"


def grid(side=100):
    rnd = random.Random(2)
    n = side * side
    def tr(i, j):
        return (i % side) * side + (j % side) + 1
    # Place 2k-1 goes right from transition k, place 2k goes down.
    out = [f"Transitions <- {n}", f"Places <- {2 * n}"]
    for i in range(side):
        for j in range(side):
            k = tr(i, j)
            out.append(f"T {k} C {rnd.randint(1, 10) / 10:.1f} , {2 * k - 1} , {2 * k} ;")
    for i in range(side):
        for j in range(side):
            k = tr(i, j)
            right = "1 0.0" if j == side - 1 else "0"
            down = "1 0.0" if i == side - 1 else "0"
            out.append(f"P {2 * k - 1} C 0.0 {right} , {tr(i, j + 1)} ;")
            out.append(f"P {2 * k} C 0.0 {down} , {tr(i + 1, j)} ;")
    return "\n".join(out) + "\n"


def main():
    d = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, "ring.pnl"), "w") as f:
        f.write(ring())
    for n in (8000, 32000):
        with open(os.path.join(d, f"ring{n}.pnl"), "w") as f:
            f.write(ring(n))
    with open(os.path.join(d, "grid.pnl"), "w") as f:
        f.write(grid())


if __name__ == "__main__":
    main()
