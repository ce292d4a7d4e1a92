#!/usr/bin/env python3
"""Writes a ring of N transitions and N places (default 300) on standard
output, a token on every tenth place: one linear program per place for sabrel.

  ring.py [N]
"""
import sys

n = int(sys.argv[1]) if len(sys.argv) > 1 else 300
out = [f"Transitions <- {n}", f"Places <- {n}"]
for t in range(1, n + 1):
    out.append(f"T {t} E 1.0 , {t} ;")
for p in range(1, n + 1):
    tokens = "1 0.0" if p % 10 == 0 else "0"
    out.append(f"P {p} C 0.0 {tokens} , {p % n + 1} ;")
sys.stdout.write("\n".join(out) + "\n")
