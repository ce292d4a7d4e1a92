#!/usr/bin/env python3
"""A random live event graph for timing yarrisk: N transitions with
exponential and uniform firing times, each with a marked recycling place, a
token-free tree joining them (so the layers are deep), and about N more
places with one or two tokens. About 3N places in all.

Usage: gen_graph.py N [SEED] > graph.egl"""
import random
import sys

n = int(sys.argv[1])
rnd = random.Random(int(sys.argv[2]) if len(sys.argv) > 2 else 1)


def law():
    return rnd.choice(["E 1.0", "U 0.5 1.5", "C 0.1"])


lines = [[f"{t + 1} C 0.0 1 0.0"] for t in range(n)]
for t in range(1, n):
    lines[rnd.randrange(max(0, t - 5), t)].append(f"{t + 1} {law()} 0")
for _ in range(n):
    u, d = rnd.randrange(n), rnd.randrange(n)
    m = rnd.choice([1, 1, 2])
    lines[u].append(f"{d + 1} {law()} {m}" + " 0.0" * m)
print(f"Size <- {n}")
for t in range(n):
    print(f"{t + 1} {law()} , " + " , ".join(lines[t]) + " ;")
