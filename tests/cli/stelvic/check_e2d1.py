#!/usr/bin/env python3
"""Independent check of the two-phase case (rate 0.5, one queue of service 1,
routing "1 0"): the queue sees every other customer of the Poisson stream,
an E2/D/1 queue. Its waiting time W solves Lindley's equation
W' = (W + 1 - A)+ with A ~ Gamma(2, rate 0.5); it is iterated here on a grid
(an atom at 0 and masses at cell midpoints). The customer of the other phase
arrives an Exp(0.5) time after a routed one and finds (W + 1 - E)+.
Prints E[W] and E[W] + E[(W + 1 - E)+] (the workload-mode sum over phases).
"""
import math

h = 0.005
n = int(16 / h)
xs = [(i + 0.5) * h for i in range(n)]


def gamma2_surv(y):  # P(A > y), A ~ Gamma(2, 0.5)
    return 1.0 if y <= 0 else math.exp(-y / 2) * (1 + y / 2)


def exp_surv(y):  # P(E > y), E ~ Exp(0.5)
    return 1.0 if y <= 0 else math.exp(-y / 2)


# State: atom a0 at 0, masses m[i] at xs[i]. Start from W = 0.
a0, m = 1.0, [0.0] * n
pts = [0.0] + xs
for it in range(60):
    w = [a0] + m
    # P(W' <= x) = E[P(A >= W + 1 - x)], at the cell edges.
    def cdf(x, surv=gamma2_surv):
        return sum(wk * surv(p + 1 - x) for wk, p in zip(w, pts) if wk > 1e-15)
    edges = [cdf(i * h) for i in range(n + 1)]
    a0 = edges[0]
    m = [edges[i + 1] - edges[i] for i in range(n)]
w = [a0] + m
EW = sum(wk * p for wk, p in zip(w, pts))
# E[(W + 1 - E)+] = E over W of the integral of P(E < W + 1 - x) over x > 0.
def mean_pos(c):  # E[(c - E)+] for c >= 0
    return c - 2 * (1 - math.exp(-c / 2))
EX = sum(wk * mean_pos(p + 1) for wk, p in zip(w, pts))
print("%f %f %f" % (EW, EX, EW + EX))
