#!/usr/bin/env python3
"""Independent computation of the heap orvillan writes for a graph.

usage: derive.py [-maxsize 2|3] [-greedy] GRAPH
Covers the undirected edges (either arc) by cliques as described for the
program, gives every node left out a column of its own, colours the pieces
around the colour wheel and prints the heap-of-pieces text."""
import math
import sys


def read_graph(path):
    words = open(path).read().split()
    sparse = words[0] == "sp"
    if sparse:
        words = words[1:]
    n = int(words[0])
    rest = words[1 + n:]
    arcs = set()
    if sparse:
        for k in range(0, len(rest) - 1, 2):
            arcs.add((int(rest[k]), int(rest[k + 1])))
    else:
        for i in range(n):
            for j in range(n):
                if rest[i * n + j] == "1":
                    arcs.add((i, j))
    return n, arcs


def cover(n, arcs, maxsize, greedy):
    s = set()
    for i, j in arcs:
        if i != j:
            s.add((i, j))
            s.add((j, i))
    cl = []
    if maxsize == 2:
        for a in range(n):
            for b in range(a + 1, n):
                if (a, b) in s:
                    cl.append([a, b])
        return cl
    for a in range(n):
        for b in range(a + 1, n):
            for c in range(b + 1, n):
                if (a, b) in s and (a, c) in s and (b, c) in s:
                    cl.append([a, b, c])
                    s -= {(b, a), (c, a), (c, b)}
                    if greedy:
                        s -= {(a, b), (a, c), (b, c)}
    for a in range(n):
        for b in range(a):
            if (a, b) in s:
                cl.append([a, b])
    return cl


def num2col(x):
    v = math.floor(256 * x)
    return "ff" if v >= 256 else "%02x" % v


def colour(i, n):
    a = 6.0 * i / n
    s = math.floor(a)
    f = a - s
    table = [("ff", "00", num2col(1 - f)), ("ff", num2col(f), "00"),
             (num2col(1 - f), "ff", "00"), ("00", "ff", num2col(f)),
             ("00", num2col(1 - f), "ff"), (num2col(f), "00", "ff")]
    return "#" + "".join(table[s])


def main():
    args = sys.argv[1:]
    maxsize, greedy = 2, False
    if "-greedy" in args:
        greedy = True
        args.remove("-greedy")
    if args[0] == "-maxsize":
        maxsize = int(args[1])
        args = args[2:]
    n, arcs = read_graph(args[0])
    cl = cover(n, arcs, maxsize, greedy)
    for v in range(n):
        if not any(v in c for c in cl):
            cl.append([v])
    out = ["Columns %d\n\n" % len(cl)]
    for v in range(n):
        cols = [q for q, c in enumerate(cl) if v in c]
        out.append("Piece %d\nWeight 1\nColor %s\n" % (v + 1, colour(v, n)))
        out.append("LoProf " + "".join(" %d 0" % q for q in cols) + "\n")
        out.append("HiProf " + "".join(" %d 1" % q for q in cols) + "\n\n")
    sys.stdout.write("".join(out))


main()
