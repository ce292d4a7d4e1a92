#!/usr/bin/env python3
"""Writes the reader's benchmark nets into a folder (gen.py DIR [N] [K]):
  ring.pnl      a flat ring of N transitions and N places (default 100000),
  instances.pnl a top net instancing cell.pnl K times (default 1000),
  cell.pnl      a 50-transition, 50-place submodel with one input and one output.
"""
import os
import sys


def ring(path, n):
    with open(path, "w") as f:
        f.write(f"Transitions <- {n}\nPlaces <- {n}\n")
        for i in range(1, n + 1):
            f.write(f'T {i} "t{i}" E 1.0 , {i % n + 1} ;\n')
        for i in range(1, n + 1):
            tokens = "1 0.5" if i == 1 else "0"
            f.write(f'P {i} "p{i}" C 0.0 {tokens} , {i} ;\n')


def cell(path, m):
    with open(path, "w") as f:
        f.write(f"Transitions <- {m}\nPlaces <- {m}\n")
        for i in range(1, m):
            f.write(f"T {i} E 1.0 , {i + 1} ;\n")
        f.write(f"T {m} E 1.0 ;\n")
        for i in range(1, m + 1):
            f.write(f"P {i} C 0.0 0 , {i} ;\n")
        f.write("Export\nIN 1 IS P 1 ;\n" f"OUT 1 IS T {m} ;\n")


def instances(path, k):
    # Instance i feeds place i, whose transition feeds instance i+1 (a ring).
    with open(path, "w") as f:
        f.write(f"Transitions <- {k}\nPlaces <- {k}\n")
        for i in range(1, k + 1):
            f.write(f'Submodel {i} FILE "cell.pnl" ;\n')
        for i in range(1, k + 1):
            f.write(f"T {i} C 0.0 , S {i % k + 1} / IN 1 ;\n")
        for i in range(1, k + 1):
            tokens = "1 0.0" if i == 1 else "0"
            f.write(f"P {i} C 0.0 {tokens} , {i} ;\n")
        for i in range(1, k + 1):
            f.write(f"S {i} / OUT 1 , {i} ;\n")


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    n = int(sys.argv[2]) if len(sys.argv) > 2 else 100000
    k = int(sys.argv[3]) if len(sys.argv) > 3 else 1000
    os.makedirs(out, exist_ok=True)
    ring(os.path.join(out, "ring.pnl"), n)
    cell(os.path.join(out, "cell.pnl"), 50)
    instances(os.path.join(out, "instances.pnl"), k)


if __name__ == "__main__":
    main()
