#!/usr/bin/env python3
"""Independent model of wistroc's walks, used to work out the expected files.

glibc's random() is rebuilt here from its published recurrence (additive
feedback, 34-word state, seed 1, 310 discarded outputs), not taken from the
program. Usage: oracle.py disc|cont CHAIN_ENTRIES INIT TMAX [stats] [incr]
where CHAIN_ENTRIES is "r,c,v[,reward];..." in file order.
"""
import math
import sys


def glibc_random():
    r = [0] * 34
    r[0] = 1
    for i in range(1, 31):
        hi, lo = divmod(r[i - 1], 127773)
        word = 16807 * lo - 2836 * hi
        if word < 0:
            word += 2147483647
        r[i] = word
    for i in range(31, 34):
        r[i] = r[i - 31]
    state = r[:]
    k = 34
    # Outputs start after 310 more words.
    while True:
        v = (state[k - 31] + state[k - 3]) & 0xFFFFFFFF
        state.append(v)
        if k >= 344:
            yield v >> 1
        k += 1


def main():
    mode, chain_text, init, tmax = sys.argv[1], sys.argv[2], int(sys.argv[3]), float(sys.argv[4])
    stats = "stats" in sys.argv[5:]
    incr = "incr" in sys.argv[5:]
    rows = {}
    for e in chain_text.split(";"):
        parts = e.split(",")
        r, c, v = int(parts[0]), int(parts[1]), float(parts[2])
        w = float(parts[3]) if len(parts) > 3 else None
        rows.setdefault(r, []).append((c, v, w))
    n = 1 + max(max(rows), max(c for es in rows.values() for c, _, _ in es))
    rnd = glibc_random()
    u01 = lambda: next(rnd) / 2147483647.0
    out = []
    s = init
    if mode == "disc":
        steps = round(tmax)  # halves to even, as rint does
        visits = [0] * n
        rsum = 0.0
        for k in range(steps):
            out.append("%6d %4d" % (k, s))
            visits[s] += 1
            u = u01()
            row = rows[s]
            pick = row[-1]
            for ent in row:
                u -= ent[1]
                if u <= 0:
                    pick = ent
                    break
            if pick[2] is not None:
                rsum += pick[2]
            s = pick[0]
        out.append("%6d %4d" % (steps, s))
        if stats:
            out = out if "traj" in sys.argv[5:] else []
            for i in range(n):
                out.append("State %3d:   cum time = %5d   ( %8.4f%%)" % (i, visits[i], 100.0 * visits[i] / steps))
            if any(e[2] is not None for es in rows.values() for e in es):
                out.append("Average reward: %f" % (rsum / steps))
    else:
        for i in range(n):
            rows.setdefault(i, [])
            rows[i].append((i, -sum(v for _, v, _ in rows[i]), None))
        t = 0.0
        cum = [0.0] * n
        while True:
            rate = -rows[s][-1][1]
            if rate == 0:
                h = 1e38
            else:
                u = u01()
                while u == 0:
                    u = u01()
                h = -math.log(u) / rate
            m = u01() * rate
            nxt = s
            for c, v, _ in rows[s]:
                if m <= 0:
                    break
                if c != s:
                    m -= v
                nxt = c
            cum[s] += (tmax - t) if t + h >= tmax else h
            out.append("%12.6f %4d" % (t, s) + (" %10.6f" % h if incr else ""))
            at_t = s
            s = nxt
            t += h
            if not t < tmax:
                break
        # the jump past tmax comes after it
        out.append("%12.6f %4d" % (tmax, at_t) + (" %10.6f" % h if incr else ""))
        if stats:
            out = out if "traj" in sys.argv[5:] else []
            for i in range(n):
                out.append("State %3d:   cum time = %5f   ( %8.4f%% )" % (i, cum[i], 100.0 * cum[i] / tmax))
    print("\n".join(out))


main()
