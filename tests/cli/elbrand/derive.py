#!/usr/bin/env python3
"""Independent computation of elbrand's results for the random cases.

Reimplements, from the method's description and not from the program: the C
library's unseeded random() (the additive feedback generator started from
seed 1), the variates, a small TGL reader for the fixtures, the layers, the
draw tables (filled every Buf_Size events in their stated order) and the
dater recursion / PERT runs, keeping every dater rather than a ring.

usage: derive.py FILE.tgl [-nevt N] [-bs B]   (prints the expected stdout)
"""
import math
import re
import sys


class GlibcRandom:
    def __init__(self, seed=1):
        r = [0] * 34
        r[0] = seed
        for i in range(1, 31):
            hi, lo = divmod(r[i - 1], 127773)
            word = 16807 * lo - 2836 * hi
            if word < 0:
                word += 2147483647
            r[i] = word
        for i in range(31, 34):
            r[i] = r[i - 31]
        self.r = r
        for _ in range(310):
            self._next()

    def _next(self):
        v = (self.r[-31] + self.r[-3]) & 0xFFFFFFFF
        self.r.append(v)
        if len(self.r) > 64:
            del self.r[:-40]
        return v >> 1

    def random(self):
        return self._next()


RNG = GlibcRandom()


def U():
    return RNG.random() / 2147483647.0


def nonzero_U():
    u = U()
    while u == 0.0:
        u = U()
    return u


def expo(m):
    return -math.log(nonzero_U()) * m


def geometric(p):
    return math.floor(expo(-1.0 / math.log(p)))


def erlang(k, m):
    q = nonzero_U()
    c = 1
    while c < k:
        q *= nonzero_U()
        c += 1
    return -math.log(q) * m / k


def discrete(values, probs):
    r = U()
    i = 0
    while i < len(values) - 1 and probs[i] < r:
        r -= probs[i]
        i += 1
    return values[i]


def draw(law):
    name, a = law
    if name == "CST":
        return a[0]
    if name == "EXP":
        return expo(a[0])
    if name == "UNIF":
        return a[0] + U() * (a[1] - a[0])
    if name == "ERL":
        return erlang(a[0], a[1])
    if name == "GEOSHIFT":
        return 1 + geometric(a[0])
    if name == "GEOM":
        return geometric(a[0])
    if name == "BER":
        return 1.0 if U() < a[0] else 0.0
    if name == "DISC":
        return discrete(a[0], a[1])
    raise SystemExit("law not covered: " + name)


def parse(text):
    text = re.sub(r"#[^\n]*", "", text)
    tasks, links, names = {}, [], {}

    def num(name):
        return names.setdefault(name, len(names))

    law_re = r"(\w+)\(([^)]*)\)(?:\(([^)]*)\))?"
    for m in re.finditer(r"TASK\s+(\w+)(?:\s+\w+)?\s+DURATION\s+" + law_re + r"\s+END|"
                         r"LINK\s+(\w+)\s+TYPE\s+(DATA|PROGRAM)\s+IS\s+(\w+)\s+FROM\s+(\w+)\s+TO\s+(\w+)\s+"
                         r"(?:DURATION\s+" + law_re + r"|DEPTH\s+(\d+))\s+END", text):
        g = m.groups()
        if g[0]:
            tasks[num(g[0])] = (g[0], law(g[1], g[2], g[3]))
        else:
            frm, to = num(g[7]), num(g[8])
            links.append(dict(name=g[4], data=g[5] == "DATA", sync=g[6], frm=frm, to=to,
                              law=law(g[9], g[10], g[11]) if g[9] else None,
                              depth=int(g[12]) if g[12] else 0))
    return tasks, links


def law(name, args, second):
    vals = [float(x) for x in args.split(",")]
    if name == "DISC":
        # The reader hands the law builder its lists as built, by prepending:
        # the values and probabilities are held last written first.
        probs = [float(x) for x in second.split(",")]
        return (name, [vals[::-1], probs[::-1]])
    return (name, vals)


def main():
    path = sys.argv[1]
    opts = sys.argv[2:]
    nevt = int(opts[opts.index("-nevt") + 1]) if "-nevt" in opts else 1000
    bs = int(opts[opts.index("-bs") + 1]) if "-bs" in opts else 1024
    tasks, links = parse(open(path).read())
    n = len(tasks)
    # Each task's list: the last written link first.
    out = {t: [l for l in reversed(links) if l["frm"] == t] for t in range(n)}
    # Layers by DATA links, tasks ascending in each.
    placed, layers = set(), []
    while len(placed) < n:
        layer = [t for t in range(n) if t not in placed and
                 all(l["frm"] in placed for l in links if l["data"] and l["to"] == t)]
        assert layer, "cyclic"
        layers.append(layer)
        placed.update(layer)
    order = [t for layer in layers for t in layer]
    prev = {t: sorted({l["frm"] for l in links if l["to"] == t}) for t in range(n)}
    # The first-declared link of each pair.
    first = {}
    for l in links:
        first.setdefault((l["frm"], l["to"]), l)
    maxdep = max([l["depth"] for l in links if not l["data"]] + [0])
    if maxdep == 0:
        bs = max(bs, 1)
    else:
        bs = max(bs, maxdep + 1)

    exec_t = {t: [0.0] * bs for t in range(n)}
    comm = {}
    const_task = {t: tasks[t][1][0] == "CST" for t in range(n)}
    # A pair's table keeps the draws of its first-declared DATA link, drawn
    # last; it is drawn once when that link's law is a constant.
    const_pair = {}
    for l in links:
        if l["data"]:
            const_pair.setdefault((l["frm"], l["to"]), l["law"][0] == "CST")

    def fill(initial):
        for t in range(n):
            if initial or not const_task[t]:
                exec_t[t] = [draw(tasks[t][1]) for _ in range(bs)]
            for l in out[t]:
                if not l["data"]:
                    continue
                key = (l["frm"], l["to"])
                if initial or not const_pair[key]:
                    comm[key] = [draw(l["law"]) for _ in range(bs)]

    fill(True)
    lines = []
    if maxdep > 0:
        Y = {t: [] for t in range(n)}
        for k in range(nevt):
            for t in order:
                if not prev[t]:
                    Y[t].append(0.0 if k == 0 else 1e12)
                    continue
                acc = None
                for p in prev[t]:
                    l = first[(p, t)]
                    if l["data"]:
                        v = Y[p][k] + comm[(p, t)][k % bs]
                    else:
                        assert l["depth"] > 0
                        v = Y[p][k - l["depth"]] if k >= l["depth"] else 0.0
                    if acc is None:
                        acc = v
                    elif l["sync"] == "OPTIONAL":
                        acc = min(acc, v)
                    else:
                        acc = max(acc, v)
                Y[t].append(acc + exec_t[t][k % bs])
            if (k + 1) % bs == 0:
                fill(False)
        for i in range(n):
            y = Y[i][nevt - 1]
            ct = "oo" if y >= 1e12 else "%f" % (y / nevt)
            lines.append("Y_%d[%d] = %f  --> cycle time %s" % (i, nevt, y, ct))
    else:
        sums = [0.0] * n
        total_sum = 0.0
        for k in range(nevt):
            c = [0.0] * n
            total = 0.0
            for t in order:
                acc = None
                for p in prev[t]:
                    l = first[(p, t)]
                    if not l["data"]:
                        continue
                    v = c[p] + comm[(p, t)][k % bs]
                    if acc is None:
                        acc = v
                    elif l["sync"] == "OPTIONAL":
                        acc = min(acc, v)
                    else:
                        acc = max(acc, v)
                c[t] = (acc or 0.0) + exec_t[t][k % bs]
                total = max(total, c[t])
            for t in range(n):
                sums[t] += c[t]
            total_sum += total
            if (k + 1) % bs == 0:
                fill(False)
        for i in range(n):
            lines.append("Time of execution end of Y_%d = %f" % (i, sums[i] / nevt))
        lines.append("Total execution time: ET = %f" % (total_sum / nevt))
    print("\n".join(lines))


if __name__ == "__main__":
    main()
