#!/usr/bin/env python3
"""Independent simulation of a Bernoulli product, for the generated
simulators' expected results.

usage: derive.py FILE.bp STEPS REPLICATIONS [stats]
Draws from the C library's random(), never seeded, as the generated program
does: U = random()/2147483647, the first matrix whose cumulative
probability is not below U; X =
A_k (x) X from X = 0; per replication X_i/STEPS is summed."""
import ctypes
import math
import sys

libc = ctypes.CDLL("libc.so.6")
libc.random.restype = ctypes.c_long
EPS = -1e38


def words(path):
    return open(path).read().split()


def read_product(path):
    w = words(path)
    pos = 0
    size, count = int(w[0]), int(w[1])
    pos = 2
    weights = [float(x) for x in w[pos:pos + count]]
    pos += count
    mats = []
    for _ in range(count):
        m = [[None] * size for _ in range(size)]
        if w[pos] == "sp":
            pos += 1
            while pos + 2 < len(w):
                try:
                    i, j, v = int(w[pos]), int(w[pos + 1]), float(w[pos + 2])
                except ValueError:
                    break
                m[i][j] = v
                pos += 3
            pos += 1  # closing word
        else:
            for i in range(size):
                for j in range(size):
                    m[i][j] = None if w[pos] == "eps" else float(w[pos])
                    pos += 1
        mats.append(m)
    total = sum(weights)
    cum, acc = [], 0.0
    for x in weights:
        acc += x / total
        cum.append(acc)
    cum[-1] = 1.0
    return size, mats, cum


def main():
    path, steps, reps = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    stats = len(sys.argv) > 4
    size, mats, cum = read_product(path)
    g = [0.0] * size
    g2 = [0.0] * size
    for _ in range(reps):
        x = [0.0] * size
        for _ in range(steps):
            u = libc.random() / 0x7FFFFFFF
            k = 0
            while k < len(cum) and u > cum[k]:
                k += 1
            m = mats[k]
            x = [max([x[j] + m[i][j] for j in range(size) if m[i][j] is not None] or [EPS])
                 for i in range(size)]
        for i in range(size):
            if x[i] == EPS or g[i] == EPS:
                g[i] = EPS
                continue
            v = x[i] / steps
            g[i] += v
            g2[i] += v * v
    for i in range(size):
        if g[i] == EPS:
            print("gamma[%d] = eps" % i)
            continue
        line = "gamma[%d] = %f" % (i, g[i] / reps)
        if stats and reps > 1:
            var = (g2[i] - g[i] * g[i] / reps) / (reps - 1)
            line += "  +/- %f (conf. 95%%)" % (1.96 * math.sqrt(max(var, 0.0)) / math.sqrt(reps))
        print(line)


main()
