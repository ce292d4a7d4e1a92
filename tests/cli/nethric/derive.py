#!/usr/bin/env python3
"""Independent computation of nethric's bounds for the fixture graphs.

Prints, for each fixture, the line nethric must print. Written from the
formulas (weights and arcs; degrees and the power iteration on the 0/1
adjacency matrix through the inverse of f), not from the program."""
import math
import sys


def read_graph(path):
    words = open(path).read().split()
    sparse = words[0] == "sp"
    if sparse:
        words = words[1:]
    n = int(words[0])
    w = [float(x) for x in words[1:1 + n]]
    rest = words[1 + n:]
    succ = [[] for _ in range(n)]
    if sparse:
        for k in range(0, len(rest) - 1, 2):
            i, j = int(rest[k]), int(rest[k + 1])
            if j not in succ[i]:
                succ[i].append(j)
    else:
        for i in range(n):
            for j in range(n):
                if rest[i * n + j] == "1":
                    succ[i].append(j)
    return n, w, succ


def f(x):
    if x == 0:
        return 0.0
    if x == 1:
        return 1.0
    if x < 0 or x > 1:
        return 0.0
    return math.exp(math.log(x) + (1 - x) * math.log(1 - x) / x)


TRACE = False


def inv_f(y, eps):
    if TRACE:
        print("Computing f^(-1) ( %f )" % y)
    lo, hi, x = 0.0, 1.0, 0.5
    d = f(x) - y
    while True:
        if d > 0:
            hi = hi - (hi - x) / 2
        elif d < 0:
            lo = lo + (x - lo) / 2
        x = (lo + hi) / 2
        d = f(x) - y
        if TRACE:
            print("DICHO x=[%f,%f] f=%f" % (lo, hi, d))
        if abs(d) <= eps:
            return x


def radius(n, succ, eps):
    x = [1.0] * n
    dist = 0.0
    for _ in range(500):
        y = [sum(x[j] for j in succ[i]) for i in range(n)]
        norm = y[0] if y[0] != 0 else max(y)
        if norm == 0:
            return 0.0
        y = [v / norm for v in y]
        dist = sum(abs(a - b) for a, b in zip(x, y))
        x = y
        if dist <= eps:
            break
    else:
        print("nethric: warning: max number of iterations reached. "
              "Spectral radius may be inaccurate.")
    z = [sum(x[j] for j in succ[i]) for i in range(n)]
    return min([float(n)] + [z[i] / x[i] for i in range(n) if x[i] != 0])


def bounds(path, eps=1e-6):
    n, w, succ = read_graph(path)
    if any(v != w[0] for v in w):
        W = sum(w)
        up = math.e * max([0.0] + [sum(w[j] for j in succ[i]) / W for i in range(n)])
        low = sum(w[i] * w[j] for i in range(n) for j in succ[i]) / (W * W)
    else:
        up = inv_f(radius(n, succ, eps) / n, eps)
        low = sum(len(s) for s in succ) / n / n
    return "%f %f" % (low, up)


if __name__ == "__main__":
    eps = 1e-6
    args = sys.argv[1:]
    if args and args[0] == "-trace":
        TRACE = True
        args = args[1:]
    if args and args[0] == "-epsilon":
        eps = float(args[1])
        args = args[2:]
    for p in args:
        print(p, bounds(p, eps))
