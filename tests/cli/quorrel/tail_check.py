#!/usr/bin/env python3
"""Stationary waiting-time tail of quorrel against an exact computation.

The stationary waiting time is W = sup over m >= 0 of (B_m - S_m), S_m the
m-th arrival of a Poisson stream of rate lam going back in time (S_0 = 0).
So W <= x exactly when the arrival count N stays below m at every point
c_m = B_m - x, and 1 - F(x) is the mass of the count paths that cross that
staircase. The paths are followed forward with positive terms only: no
difference is ever formed, so every value keeps its relative precision, far
out in the tail too. The walk stops once the mass still crossing is below
1e-20 of what crossed.

  tail_check.py print DATA FIRST LAST STEP [log]   expected text
  tail_check.py QUORREL model    that model, from 0 to 30
  tail_check.py QUORREL random SEED COUNT   COUNT random models

Each point quorrel prints must agree with the exact value to its printed
digits (F, and ln(1 - F) with -queue -log) unless quorrel warned of
inaccurate values at or before that point. Prints "ok" or the faults.
"""
import math
import random
import re
import subprocess
import sys


def epochs(B, inc, count):
    T, D = len(B) - 1, len(inc)
    out = [b for b in B]
    incs = [v for v in inc]
    m = T
    while len(out) < count:
        out.append(out[-1] + incs[(m - T) % D])
        m += 1
    return out


def tail(lam, B, inc, x, tiny=1e-45):
    """1 - F(x) of the stationary waiting time; Poisson weights below tiny
    are cut, which may miss up to tiny of crossing mass per point c_m."""
    lam, x = lam, x
    if x < B[0]:
        return 1.0
    T, D = len(B) - 1, len(inc)
    gamma = sum(v for v in inc) / D
    limit = 20000
    E = epochs(B, inc, limit)
    p, base = [1.0], 0      # p[i]: mass of count base + i
    prev = 0.0
    crossed = 0.0
    quiet = 0
    drop = 1e-30
    for m in range(1, limit):
        c = E[m] - x
        if c <= 0:
            continue
        d = lam * (c - prev)
        prev = c
        # Poisson weights of the count added on (prev, c]
        w, t, k = [], math.exp(-d), 0
        while True:
            w.append(t)
            k += 1
            t = t * d / k
            if k > d and t < tiny:
                break
        n = len(p)
        q = [0.0] * (n + len(w) - 1)
        for j, wj in enumerate(w):
            q[j:j + n] = [a + wj * b for a, b in zip(q[j:j + n], p)]
        # counts of m or more have crossed
        keep = m - base          # indices 0 .. keep-1 survive
        lost = sum(q[keep:]) if keep < len(q) else 0.0
        q = q[:max(keep, 0)]
        crossed += lost
        # drop the negligible ends of the distribution
        total = sum(q)
        lo = 0
        while lo < len(q) and q[lo] < drop * total:
            lo += 1
        q = q[lo:]
        base += lo
        p = q
        if not p:
            break
        # a cell left as far below the staircase as the whole distribution
        # is wide no longer crosses: stop when the crossings have faded
        if crossed > 0 and lost < crossed * 1e-20:
            quiet += 1
            if quiet > 4 * D and m > T + 4 * D:
                break
        else:
            quiet = 0
    return crossed


def run(quorrel, data, args):
    r = subprocess.run([quorrel, "-f", data] + args, capture_output=True, text=True)
    return r.returncode, r.stdout, r.stderr


WARN = re.compile(r"inaccurate stationary values from x = ([-0-9.]+) on")


def check(quorrel, lam, B, inc, first, last, step, tmp):
    with open(tmp, "w") as f:
        f.write("%r\n%d %d\n%s\n%s\n-1\n" % (lam, len(B) - 1, len(inc), " ".join(map(repr, B)),
                                            " ".join(map(repr, inc))))
    faults = []
    exact = {}
    for mode in ([], ["-queue", "-log"]):
        st, out, err = run(quorrel, tmp, ["-xfrom", repr(first), "-xto", repr(last),
                                          "-xstep", repr(step)] + mode)
        if st != 0:
            faults.append("status %d %s [lam %r B %r inc %r]" % (st, mode, lam, B, inc))
            continue
        w = WARN.search(err)
        warned_from = float(w.group(1)) if w else float("inf")
        for line in out.splitlines():
            xs, ys = line.split()
            x, got = float(xs), float(ys)
            if x >= warned_from - 5e-7:
                break
            if x not in exact:
                exact[x] = tail(lam, B, inc, x)
            t = exact[x]
            if mode:
                if t == 0:
                    continue
                want = math.log(t)
                ok = abs(got - want) <= 6e-9 * max(1.0, abs(want))
            else:
                want = 1 - t
                ok = abs(got - want) <= 6e-9
            if not ok:
                faults.append("x=%r %s: printed %r, exact %.10f (no warning) [lam %r B %r inc %r]"
                              % (x, " ".join(mode), got, want, lam, B, inc))
    return faults


ISSUE = (1.637, [0.889, 2.306, 2.306], [0.9831, 0.0, 0.0, 0.7063])


def main():
    if sys.argv[1] == "print":
        # expected text: DATA FIRST LAST STEP [log]
        words = open(sys.argv[2]).read().split()
        lam, T, D = float(words[0]), int(words[1]), int(words[2])
        B = [float(v) for v in words[3:4 + T]]
        inc = [float(v) for v in words[4 + T:4 + T + D]]
        first, last, step = (float(v) for v in sys.argv[3:6])
        n = int(math.floor((last - first) / step)) + 1
        for i in range(n):
            x = first + i * step
            t = tail(lam, B, inc, x, 1e-300)
            print("%10.6f %12.8f" % (x, math.log(t) if sys.argv[6:] else 1 - t))
        return
    quorrel, what = sys.argv[1], sys.argv[2]
    tmp = "tail_check.dat"
    faults = []
    if what == "model":
        faults += check(quorrel, *ISSUE, 0.0, 30.0, 6.0, tmp)
    else:
        seed, count = int(sys.argv[3]), int(sys.argv[4])
        rng = random.Random(seed)
        for _ in range(count):
            T, D = rng.randint(0, 3), rng.randint(1, 5)
            B = sorted(round(rng.uniform(0, 3), 4) for _ in range(T + 1))
            inc = [round(rng.choice([0.0, rng.uniform(0.3, 1.5)]), 4) for _ in range(D)]
            if sum(inc) == 0:
                inc[0] = 0.5
            rho = rng.uniform(0.3, 0.8)
            lam = round(rho * D / sum(inc), 4)
            top = B[-1] + 8 * sum(inc) / D / (1 - rho) + 2
            step = round((top - B[0]) / 5, 3)
            faults += check(quorrel, lam, B, inc, B[0], B[0] + 5 * step, step, tmp)
    print("\n".join(faults) if faults else "ok")


if __name__ == "__main__":
    main()
