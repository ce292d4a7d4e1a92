#!/usr/bin/env python3
"""A random sparse Markov chain for timing wistroc.

Usage: gen_chain.py discrete|continuous STATES ENTRIES_PER_ROW > chain.mc
Each row goes to ENTRIES_PER_ROW random states (with probabilities summing
to 1 in discrete time, rates in 0.5..1.5 in continuous time).
"""
import random
import sys

kind, n, k = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
rng = random.Random(7)
out = [f"{kind} sparse", str(n)]
for i in range(n):
    cols = [rng.randrange(n) for _ in range(k)]
    if kind == "discrete":
        w = [rng.random() + 0.1 for _ in cols]
        s = sum(w)
        vals = [x / s for x in w]
        vals[-1] = 1.0 - sum(vals[:-1])
    else:
        cols = [c if c != i else (c + 1) % n for c in cols]
        vals = [0.5 + rng.random() for _ in cols]
    out.extend(f"{i} {c} {v!r}" for c, v in zip(cols, vals))
out += ["stop", "0"]
print("\n".join(out))
