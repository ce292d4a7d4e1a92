#!/usr/bin/env python3
"""Check that a run of gossamel's network program conserves cells.

usage: ./atm | conserve.py CONFIG

For each session s, from the program's report: G cells generated (Source_s),
D delivered (Sink_s), L lost (the LossBufferIn and LossBufferOut firings of
its models). Every cell generated is delivered, lost or still in transit:
I = G - D - L, and I must be what the objects hold between them at the end,
each holding nothing below zero: the cells between the source and its first
switch's bucket, inside each switch (entered less left less lost), on each
link (sent by a switch, not yet served) and between a link and the next
switch. A cell counted twice or lost without a loss firing breaks one of
these. The last switch hands every cell it sends to the sink at once.
Prints one line per session, then "cells conserved".
"""
import re
import sys


def main():
    cfg = open(sys.argv[1]).read().split()
    pos = 0

    def num():
        nonlocal pos
        pos += 1
        return cfg[pos - 1]

    nsw = int(num())
    for _ in range(nsw):
        num(), num(), num()
    nse = int(num())
    paths = []
    for _ in range(nse):
        law = num()
        # the law's parameters: numbers up to the crossing count
        params = {"E": 1, "C": 1, "B": 1, "G": 1, "U": 2, "R": 2, "O": 3}[law]
        for _ in range(params):
            num()
        n = int(num())
        path = []
        for _ in range(n):
            path.append(int(num()) - 1)
            num(), num()
        paths.append(path)

    text = sys.stdin.read()
    served = {m.group(1): int(m.group(2))
              for m in re.finditer(r"^(\S+)  services (\d+) ", text, re.M)}
    eq = {}
    for m in re.finditer(r"^ Station (?:Transition|Source) (\S+)\s*#EQ/\d+ .*\n\n(?:.*\n)*?"
                         r" Number of (?:services|generated customers) : (\d+)", text, re.M):
        eq[m.group(1)] = int(m.group(2))

    status = 0

    def check(what, value):
        nonlocal status
        if value < 0:
            print("%s: %d" % (what, value))
            status = 1

    for s, path in enumerate(paths):
        G, D = served["Source_%d" % s], served["Sink_%d" % s]
        L, held = 0, 0
        for i, k in enumerate(path):
            pre = "Switch%d/session%d_%d/" % (k, s, k)
            got = lambda n: eq[pre + n]
            lost = got("LossBufferIn") + got("LossBufferOut")
            L += lost
            entered = got("leaky-Bucket/bucket") if i == 0 else got("input_transition")
            before = G if i == 0 else served["Link_%d_%d" % (s, path[i - 1])]
            check("session %d before switch %d" % (s, k), before - entered)
            inside = entered - got("OutputTransition") - lost
            check("session %d inside switch %d" % (s, k), inside)
            held += before - entered + inside
            if i + 1 < len(path):
                link = got("OutputTransition") - served["Link_%d_%d" % (s, k)]
                check("session %d on link from switch %d" % (s, k), link)
                held += link
            elif got("OutputTransition") != D:
                print("session %d: switch %d sent %d cells, the sink took %d"
                      % (s, k, got("OutputTransition"), D))
                status = 1
        print("session %d: generated %d = delivered %d + lost %d + in transit %d"
              % (s, G, D, L, G - D - L))
        if G - D - L != held:
            print("session %d: the objects hold %d" % (s, held))
            status = 1
    if status == 0:
        print("cells conserved")
    return status


if __name__ == "__main__":
    sys.exit(main())
