#!/usr/bin/env python3
"""Writes a random live, flat, FIFO event graph as EGL on standard output.

usage: gen_graph.py TRANSITIONS PLACES [SEED]

Every transition is recycled (a marked self-loop) and fires after an
exponential time; the other places have constant holding times, token-free
ones only from a lower to a higher transition so that the graph stays live.
"""
import random
import sys


def main():
    n = int(sys.argv[1])
    places = int(sys.argv[2])
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 1)
    outs = {t: [f"{t} C 0.0 1 0.0"] for t in range(1, n + 1)}
    for _ in range(max(places - n, 0)):
        u = rng.randint(1, n)
        d = rng.randint(1, n)
        hold = f"{rng.randint(0, 9)}.{rng.randint(0, 9)}"
        if u < d and rng.random() < 0.5:
            outs[u].append(f"{d} C {hold} 0")
        else:
            outs[u].append(f"{d} C {hold} 1 0.0")
    print(f"Size <- {n}")
    for t in range(1, n + 1):
        print(f"{t} E {rng.randint(1, 5)}.0, " + ", ".join(outs[t]) + ";")


if __name__ == "__main__":
    main()
