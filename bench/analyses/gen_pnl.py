#!/usr/bin/env python3
"""Writes a PNL net for the analyses benchmark.

  gen_pnl.py chain N   a chain of N zero-delay transitions T_i -> P_i -> T_i+1
  gen_pnl.py free N    N independent zero-delay transitions, each with a place
"""
import sys

kind, n = sys.argv[1], int(sys.argv[2])
out = [f"Transitions <- {n}", f"Places <- {n}"]
for i in range(1, n + 1):
    if kind == "chain":
        out.append(f"T {i} C 0.0 , {i} ;" if i < n else f"T {i} C 0.0 ;")
        if i < n:
            out.append(f"P {i} C 0.0 0 , {i + 1} ;")
        else:
            out.append(f"P {i} C 0.0 0 ;")
    else:
        out.append(f"T {i} C 0.0 , {i} ;")
        out.append(f"P {i} C 0.0 0 ;")
print("\n".join(out))
