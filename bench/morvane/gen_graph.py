#!/usr/bin/env python3
"""Random interaction graph: gen_graph.py NODES DEGREE SEED [uniform|weighted] [full]

About DEGREE successors per node (self-loops and repeated arcs included, as
a user's file may have them), weights 1 or drawn from 1..9."""
import random
import sys

n, degree, seed = int(sys.argv[1]), float(sys.argv[2]), int(sys.argv[3])
kind = sys.argv[4] if len(sys.argv) > 4 else "uniform"
full = len(sys.argv) > 5 and sys.argv[5] == "full"
rnd = random.Random(seed)
w = ["1" if kind == "uniform" else str(rnd.randint(1, 9)) for _ in range(n)]
out = [] if full else ["sp"]
out.append(str(n))
out.append(" ".join(w))
if full:
    p = min(1.0, degree / n)
    for i in range(n):
        out.append(" ".join("1" if rnd.random() < p else "0" for _ in range(n)))
else:
    for i in range(n):
        for _ in range(int(degree) + (rnd.random() < degree - int(degree))):
            out.append("%d %d" % (i, rnd.randrange(n)))
sys.stdout.write("\n".join(out) + "\n")
