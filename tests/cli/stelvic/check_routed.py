#!/usr/bin/env python3
"""Independent mean waiting times of one queue fed by a periodic routing:
the customers of one phase out of P, a Poisson stream of rate lam, service s.
The stationary waiting time W of a routed customer is the sup over m of
(B_m - S_m), B_m the work of the routed customers among the m before it and
S_m the m-th arrival back in time; its tail comes from tail_check.py of
quorrel (the arrival count followed forward, no cancellation) and
E[W] = integral of the tail, by Gauss-Legendre on each piece between
epochs, where the tail is smooth. Run: check_routed.py LAM S INC...
(the increments of the routed phase's sequence, e.g. 0 0 s).
"""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "quorrel"))
import tail_check  # noqa: E402

# 8-point Gauss-Legendre nodes and weights on [-1, 1]
GL = [(-0.9602898564975363, 0.1012285362903763), (-0.7966664774136267, 0.2223810344533745),
      (-0.5255324099163290, 0.3137066458778873), (-0.1834346424956498, 0.3626837833783620),
      (0.1834346424956498, 0.3626837833783620), (0.5255324099163290, 0.3137066458778873),
      (0.7966664774136267, 0.2223810344533745), (0.9602898564975363, 0.1012285362903763)]


def main():
    lam = float(sys.argv[1])
    inc = [float(v) for v in sys.argv[2:]]
    B = [0.0]
    # the epochs of the sequence are the kinks of the tail
    edges, e, i = [0.0], 0.0, 0
    total = 0.0
    while True:
        e += inc[i % len(inc)]
        i += 1
        if e <= edges[-1]:
            continue
        a, b = edges[-1], e
        piece = sum(w * tail_check.tail(lam, B, inc, (a + b) / 2 + (b - a) / 2 * t)
                    for t, w in GL) * (b - a) / 2
        total += piece
        edges.append(e)
        if piece < 1e-12 * total:
            break
    print("%.9f" % total)


if __name__ == "__main__":
    main()
