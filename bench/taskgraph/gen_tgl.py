#!/usr/bin/env python3
"""Random task graphs for timing the TGL reader, the topology and elbrand.

  gen_tgl.py layered TASKS LINKS LAYERS   DAG of DATA links over LAYERS layers
                                          (a chain through every layer)
  gen_tgl.py repetitive TASKS LINKS BACK  the same with BACK PROGRAM back-links
  gen_tgl.py pert TASKS LINKS             a DAG of EXP and ERL laws, no lag
"""
import random
import sys


def dag(n, m, layers, rng):
    layer = [min(i * layers // n, layers - 1) for i in range(n)]
    by_layer = {}
    for i, l in enumerate(layer):
        by_layer.setdefault(l, []).append(i)
    edges = []
    # One chain through the layers, then random forward links.
    for l in range(1, layers):
        edges.append((by_layer[l - 1][0], by_layer[l][0]))
    while len(edges) < m:
        a, b = rng.randrange(n), rng.randrange(n)
        if layer[a] < layer[b]:
            edges.append((a, b))
    return edges


def law(rng):
    return rng.choice(["EXP(%.1f)" % rng.uniform(0.5, 3), "ERL(3, %.1f)" % rng.uniform(1, 4)])


def main():
    kind = sys.argv[1]
    n, m = int(sys.argv[2]), int(sys.argv[3])
    rng = random.Random(5)
    layers = int(sys.argv[4]) if kind == "layered" else max(2, n // 10)
    edges = dag(n, m, layers, rng)
    out = []
    for i in range(n):
        out.append("TASK t%d DURATION %s END" % (i, law(rng)))
    for k, (a, b) in enumerate(edges):
        out.append("LINK d%d TYPE DATA IS NECESSARY FROM t%d TO t%d DURATION %s END"
                   % (k, a, b, law(rng)))
    if kind == "repetitive":
        for k in range(int(sys.argv[4])):
            a, b = rng.randrange(n), rng.randrange(n)
            out.append("LINK p%d TYPE PROGRAM IS NECESSARY FROM t%d TO t%d DEPTH %d END"
                       % (k, max(a, b), min(a, b), rng.randint(1, 5)))
    print("\n".join(out))


if __name__ == "__main__":
    main()
