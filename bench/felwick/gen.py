#!/usr/bin/env python3
"""Writes the benchmark net of felwick's programs: N transitions in a ring
(default 1000), constant delays of 0.1 to 1.0 time units, one token on every
tenth place, so quanter simulates the same net.

Usage: gen.py [N] > ring.pnl
"""
import random
import sys


def ring(n):
    rnd = random.Random(1)
    out = [f"Transitions <- {n}", f"Places <- {n}"]
    for t in range(1, n + 1):
        out.append(f"T {t} C {rnd.randint(1, 10) / 10:.1f} , {t} ;")
    for p in range(1, n + 1):
        tokens = "1 0.0" if p % 10 == 0 else "0"
        out.append(f"P {p} C 0.0 {tokens} , {p % n + 1} ;")
    return "\n".join(out) + "\n"


if __name__ == "__main__":
    sys.stdout.write(ring(int(sys.argv[1]) if len(sys.argv) > 1 else 1000))
