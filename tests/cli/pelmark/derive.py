#!/usr/bin/env python3
"""Independent simulation of an interaction graph, for the expected results
of the generated simulators (and of morvane).

usage: derive.py GRAPH STEPS [REPLICATIONS [stats]] [-rounded]
At every step U = random()/2147483647 from the C library's random(), never
seeded; the node drawn is the first whose cumulative probability is not
below U (with -rounded, the probabilities as six-decimal text); its height
grows by one and each successor takes the larger of its own height and the
new one. Per replication the heights start at 0; height/STEPS is averaged."""
import ctypes
import math
import sys

libc = ctypes.CDLL("libc.so.6")
libc.random.restype = ctypes.c_long


def read_graph(path):
    words = open(path).read().split()
    sparse = words[0] == "sp"
    if sparse:
        words = words[1:]
    n = int(words[0])
    w = [float(x) for x in words[1:1 + n]]
    rest = words[1 + n:]
    succ = [set() for _ in range(n)]
    if sparse:
        for k in range(0, len(rest) - 1, 2):
            succ[int(rest[k])].add(int(rest[k + 1]))
    else:
        for i in range(n):
            for j in range(n):
                if rest[i * n + j] == "1":
                    succ[i].add(j)
    return n, w, succ


def main():
    args = sys.argv[1:]
    rounded = "-rounded" in args
    if rounded:
        args.remove("-rounded")
    path, steps = args[0], int(args[1])
    reps = int(args[2]) if len(args) > 2 else 1
    stats = len(args) > 3
    n, w, succ = read_graph(path)
    total = sum(w)
    cum, acc = [], 0.0
    for i in range(n):
        acc = acc + w[i] / total
        cum.append(float("%f" % acc) if rounded else acc)
    cum[-1] = 1.0
    g = [0.0] * n
    g2 = [0.0] * n
    for _ in range(reps):
        y = [0.0] * n
        for _ in range(steps):
            u = libc.random() / 2147483647
            k = 0
            while k < n - 1 and u > cum[k]:
                k += 1
            y[k] += 1
            for s in succ[k]:
                if s != k:
                    y[s] = max(y[s], y[k])
        for i in range(n):
            v = y[i] / steps
            g[i] += v
            g2[i] += v * v
    for i in range(n):
        line = "gamma[%d] = %f" % (i, g[i] / reps)
        if stats and reps > 1:
            var = (g2[i] - g[i] * g[i] / reps) / (reps - 1)
            line += "  +/- %f (conf. 95%%)" % (1.96 * math.sqrt(max(var, 0.0)) / math.sqrt(reps))
        print(line)


main()
