#!/usr/bin/env python3
"""A live free-choice net for timing tormial: a ring of G stages, each a
synchronisation s_g joining W one-input transitions that it fed at the stage
before (W^G combinations); with --chain, a marked place also joins s_(g-1)
to s_g, and every synchronisation reaches every one-input transition
((G*W)^G combinations: the worst case).
usage: gen.py G W [--chain] > net.pnl"""
import sys

g_count, width = int(sys.argv[1]), int(sys.argv[2])
chain = "--chain" in sys.argv
nt = g_count * (width + 1)
sync = lambda g: g * (width + 1) + 1          # transition numbers from 1
branch = lambda g, i: g * (width + 1) + 2 + i
places = []  # (from, to, tokens)
for g in range(g_count):
    nxt = (g + 1) % g_count
    for i in range(width):
        places.append((sync(g), branch(nxt, i), 1 if nxt == 0 else 0))  # into the branch
        places.append((branch(nxt, i), sync(nxt), 0))                    # branch to its sync
    if chain:
        places.append((sync(g), sync(nxt), 1))
out = {t: [] for t in range(1, nt + 1)}
for p, (a, _, _) in enumerate(places):
    out[a].append(p + 1)
print("Transitions <- %d\nPlaces <- %d" % (nt, len(places)))
for t in range(1, nt + 1):
    print('T %d "t%d" C 1.0' % (t, t) + "".join(" , %d" % p for p in out[t]) + " ;")
for p, (_, b, m) in enumerate(places):
    print("P %d C 0.0 %d%s , %d ;" % (p + 1, m, " 0.0" * m, b))
