#!/usr/bin/env python3
"""Independent values for the expected files of quorrel's cases.

The n-th waiting time is max over m <= n of (B_m - S_m), S_m the m-th arrival
of a Poisson stream of rate lam. Its distribution is computed forward: the
arrival count is followed along the points B_m - x and every path with
N(B_m - x) >= m is dropped. The stationary values take n large; the M/D/1
ones come from Erlang's formula and the Pollaczek-Khinchine and Takacs
moments. Run: python3 derive.py NAME (prints that expected text).
"""
import math
import sys


def epoch(B, inc, m):
    T, D = len(B) - 1, len(inc)
    if m <= T:
        return B[m]
    k, i = divmod(m - T, D)
    return B[T] + k * sum(inc) + sum(inc[:i])


def pois(d, k):
    return math.exp(-d + k * math.log(d) - math.lgamma(k + 1)) if d > 0 else float(k == 0)


def F(lam, B, inc, n, x):
    if x < B[0]:
        return 0.0
    p, t = [1.0], 0.0
    for m in range(1, n + 1):
        y = epoch(B, inc, m) - x
        if y <= 0:
            continue
        d = lam * (y - t)
        t = y
        w = [pois(d, k) for k in range(m)]
        q = [0.0] * m
        for c, pc in enumerate(p):
            if pc == 0.0:
                continue
            for c2 in range(c, m):
                q[c2] += pc * w[c2 - c]
        p = q
    return sum(p)


def moment(lam, B, inc, n, k, steps=4000, cut=0.0):
    # E W^k = integral of k x^(k-1) (1 - F) from 0, W >= 0; F is smooth
    # between epochs, so Simpson's rule runs piece by piece.
    total = B[0] ** k
    for m in range(n):
        a, b = epoch(B, inc, m), epoch(B, inc, m + 1)
        if b <= a:
            continue
        if 1 - F(lam, B, inc, n, a) < cut:
            break
        h = (b - a) / steps
        g = lambda x: k * x ** (k - 1) * (1 - F(lam, B, inc, n, x))
        s = g(a + 1e-15) + g(b - 1e-15)
        for i in range(1, steps):
            s += (4 if i % 2 else 2) * g(a + i * h)
        total += s * h / 3
    return total


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
    t1 = (2.0, [0.5, 1.0], [0.25, 0.75])
    d2 = (0.8, [0.0, 0.3, 0.5], [0.2, 0.9])
    out = ""
    if name == "t1-range":
        out = "".join(line(x, F(*t1, 1, x)) for x in points(0, 1.25, 0.25))
    elif name == "t1-queue":
        out = "".join(line(x, 1 - F(*t1, 1, x)) for x in points(0, 1.25, 0.25))
    elif name == "t1-queue-log":
        out = "".join(line(x, math.log(1 - F(*t1, 1, x)) if F(*t1, 1, x) < 1 else -math.inf)
                      for x in points(0, 1.25, 0.25))
    elif name == "t1-n4-range":
        out = "".join(line(x, F(*t1, 4, x)) for x in points(0.4, 2.4, 0.4))
    elif name.startswith("t1-n4-moment"):
        out = "%f\n" % moment(*t1, 4, int(name[-1]))
    elif name.startswith("t1-moment"):
        out = "%f\n" % moment(*t1, 1, int(name[-1]))
    elif name == "md1-range":
        out = "".join(line(x, erlang_md1(1.0, 0.5, x)) for x in points(0, 2, 0.25))
    elif name == "md1-moments":
        lam, s = 1.0, 0.5
        rho = lam * s
        w1 = lam * s * s / (2 * (1 - rho))
        w2 = 2 * w1 * w1 + lam * s ** 3 / (3 * (1 - rho))
        out = "%f\n%f\n" % (w1, w2)
    elif name == "d2-moments":
        out = "".join("%f\n" % moment(*d2, 60, k, 200, 1e-13) for k in (1, 2))
    elif name == "doc-example":
        # examples/queue.dat, customer 3
        q = (2.0, [0.5, 1.0, 1.5], [0.25, 0.75])
        out = "".join(line(x, F(*q, 3, x)) for x in points(0, 2, 0.25))
    elif name == "zero-period":
        # Served at 0, then every later customer at 2.0: customer 3.
        z = (1.0, [0.0, 2.0], [0.0])
        out = "".join(line(x, F(*z, 3, x)) for x in points(0, 2, 0.5))
        out += "".join("%f\n" % moment(*z, 3, k) for k in (1, 2))
    elif name == "d2-range":
        out = "".join(line(x, F(*d2, 300, x)) for x in points(0, 3, 0.25))
    sys.stdout.write(out)


if __name__ == "__main__":
    main(sys.argv[1])
