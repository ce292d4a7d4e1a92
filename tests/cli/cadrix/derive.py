#!/usr/bin/env python3
"""Independent values for cadrix's end-to-end cases.

The served transition's epochs B_m are worked out by hand from the graphs
(see cases.txt); the n-th waiting time is max over m <= n of (B_m - S_m),
S_m the m-th arrival of a Poisson stream of rate lam. Its distribution is
computed forward here: the arrival count is followed along the points
B_m - x and every path with N(B_m - x) >= m is dropped. The stationary
values of the one-server cycle are those of the M/D/1 queue: Erlang's
formula for the distribution and Pollaczek-Khinchine for the mean.
Run: python3 derive.py NAME (prints that expected text).
"""
import math
import sys


def pois(d, k):
    return math.exp(-d + k * math.log(d) - math.lgamma(k + 1)) if d > 0 else float(k == 0)


def F(lam, epochs, n, x):
    """P(W_n <= x), epochs[m] = B_m for m = 0..n."""
    if x < epochs[0]:
        return 0.0
    p, t = [1.0], 0.0
    for m in range(1, n + 1):
        y = epochs[m] - x
        if y <= 0:
            continue
        d = lam * (y - t)
        t = y
        w = [pois(d, k) for k in range(m)]
        q = [0.0] * m
        for c, pc in enumerate(p):
            for c2 in range(c, m):
                q[c2] += pc * w[c2 - c]
        p = q
    return sum(p)


def erlang_md1(lam, s, x):
    rho = lam * s
    return (1 - rho) * sum((lam * (j * s - x)) ** j / math.factorial(j) * math.exp(-lam * (j * s - x))
                           for j in range(int(math.floor(x / s)) + 1))


def line(x, v):
    return "%10.6f %12.8f\n" % (x, v)


def points(a, b, step):
    n = 1 if a == b else int(math.floor((b - a) / step)) + 1
    return [a + i * step for i in range(n)]


def main(name):
    # Server of the cyclicity-2 graph: 5, 6, 9, 10, 13, 14, ... from its first
    # epoch: 0, 1, 4, 5, 8, 9.
    alternate = [0, 1, 4, 5, 8, 9, 12, 13]
    # Flattened two-token graph: the server fires at 3, 5, 7, ...: 0, 2, 4, ...
    flat = [2 * m for m in range(20)]
    out = ""
    if name == "cycle-range":
        out = "".join(line(x, erlang_md1(0.25, 2.0, x)) for x in points(0, 3, 0.1))
    elif name == "cycle-queue":
        out = "".join(line(x, 1 - erlang_md1(0.25, 2.0, x)) for x in points(0, 0.5, 0.1))
    elif name == "cycle-queue-log":
        out = "".join(line(x, math.log(1 - erlang_md1(0.25, 2.0, x))) for x in points(0, 0.5, 0.1))
    elif name == "cycle-value":
        out = line(1.0, erlang_md1(0.25, 2.0, 1.0))
    elif name == "cycle-mean":
        lam, s = 0.25, 2.0
        out = "%f\n" % (lam * s * s / (2 * (1 - lam * s)))
    elif name == "alternate":
        out = line(2.0, F(0.5, alternate, 5, 2.0))
    elif name == "doc-example":
        out = "".join(line(x, F(0.5, alternate, 5, x)) for x in points(0, 1, 0.1))
    elif name == "first-firings":
        # Transition 1 of fed.egl fires at 1, 5, 9, 13: 0, 4, 8, 12.
        out = line(0.5, F(0.5, [0, 4, 8, 12], 2, 0.5))
    elif name == "cell-mill":
        # The mill of the cell fires at 4, 10.5, 17: 0, 6.5, 13.
        out = line(1.0, F(0.1, [0, 6.5, 13], 2, 1.0))
    elif name == "zero-time":
        # Transition 2 of zerotime.egl fires at 0, then at 2.0 for ever.
        out = line(1.0, F(1.0, [0, 2, 2, 2], 3, 1.0))
    elif name == "flat":
        out = line(1.5, F(0.4, flat, 3, 1.5))
    sys.stdout.write(out)


if __name__ == "__main__":
    main(sys.argv[1])
