#!/usr/bin/env python3
"""Random closed nets with constant delays (zero ones too), cyclic routing
and arc weights:
the equational module that oskel writes, run by harness.py, must count the
same initiated firings at the end of the run as quanter's in-process
simulation of the same net (an implementation of its own).

usage: agree.py NETS TMAX SEED   (run in a scratch folder; prints one line)
"""
import os
import random
import re
import subprocess
import sys

here = os.path.dirname(os.path.abspath(__file__))


def make_net(rng):
    n = rng.randint(2, 5)
    places = []  # (input transition, weight in, outputs [(t, w)], cyclic, tokens, hold)
    for t in range(n):  # a ring keeps every transition fed
        places.append([t, 1, [((t + 1) % n, 1)], None, rng.randint(0, 2), rng.choice([0.0, 0.5])])
    for _ in range(rng.randint(0, 3)):
        u = rng.randrange(n)
        if rng.random() < 0.4:
            a, b = rng.sample(range(n), 2) if n > 1 else (0, 0)
            cycle = [rng.choice([a, b]) for _ in range(rng.randint(2, 3))]
            if a not in cycle:
                cycle[0] = a
            if b not in cycle:
                cycle[-1] = b
            outs = [(a, 1), (b, 1)]
            places.append([u, rng.randint(1, 2), outs, cycle, rng.randint(0, 3), rng.choice([0.0, 0.5])])
        else:
            places.append([u, rng.randint(1, 2), [(rng.randrange(n), rng.randint(1, 2))], None,
                           rng.randint(1, 4), rng.choice([0.0, 0.5, 1.0])])
    lines = ["Transitions <- %d" % n, "Places <- %d" % len(places)]
    for t in range(n):
        arcs = ["%d %d" % (i + 1, p[1]) for i, p in enumerate(places) if p[0] == t]
        lines.append('T %d "t%d" C %s%s ;' % (t + 1, t, rng.choice(["0.0", "0.5", "1.0", "1.5"]),
                                             "".join(" , " + a for a in arcs)))
    for i, (u, w, outs, cycle, tok, hold) in enumerate(places):
        lags = " ".join(["0.0"] * tok)
        route = " Cyclic [ %s ]" % " ".join(str(c + 1) for c in cycle) if cycle else ""
        arcs = "".join(" , %d %d" % (t + 1, wt) for t, wt in outs)
        lines.append("P %d C %s %d %s%s%s ;" % (i + 1, hold, tok, lags + " " if lags else "",
                                                route.strip() and route, arcs))
    return "\n".join(lines) + "\n"


def main():
    nets, tmax, seed = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
    rng = random.Random(seed)
    compared = 0
    while compared < nets:
        text = make_net(rng)
        with open("net.pnl", "w") as f:
            f.write(text)
        q = subprocess.run(["quanter", "-f", "net.pnl", "-tmax", str(tmax)], capture_output=True, text=True)
        if q.returncode != 0:
            continue
        want = [int(x) for x in re.findall(r"^Y_\d+\[\d+\] =\s+(\d+)", q.stdout, re.M)]
        for f in ("EQ_Module.c",):
            if os.path.exists(f):
                os.remove(f)
        o = subprocess.run(["oskel", "-f", "net.pnl", "-tmax", str(tmax), "-novaltor"],
                           capture_output=True, text=True)
        if o.returncode != 0:
            print("oskel refused a net quanter took:\n" + text + o.stdout + o.stderr)
            return 1
        module = open("EQ_Module.c").read()
        scale = int(re.search(r"^int     SCALE = (\d+);", module, re.M).group(1))
        h = subprocess.run([sys.executable, os.path.join(here, "harness.py"), "EQ_Module.c",
                            str(tmax * scale + 1), "--final-y"], capture_output=True, text=True)
        got = re.search(r"^Y:(.*)$", h.stdout, re.M)
        got = [int(x) for x in got.group(1).split()] if got else None
        if got != want:
            print("disagreement on\n" + text + "quanter %s, module %s\n" % (want, got) + h.stdout[-400:])
            return 1
        compared += 1
    print("%d nets agree" % compared)
    return 0


if __name__ == "__main__":
    sys.exit(main())
