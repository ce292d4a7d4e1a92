#!/usr/bin/env python3
"""Event graphs for timing bemmick.

gen.py ladder K DIR: transitions 1..K+1 in a row, each stage joined by two
parallel token-free places of weight 1, closed by one marked place from K+1
back to 1; the arc file asks for K+1 -> K+1 (0-based K -> K) with the weight
of the round trip, so all 2^K paths are printed.

gen.py deadend K DIR: a ladder of K stages of weightless places hangs off
transition 1 but never reaches the target, transition 2, fed from 1 by one
place of weight 1 (2 and the ladder fire in no time); the arc asks for the single path
2 -> 1 -> 2, while a search that does not look ahead walks all 2^K routes of
the ladder, its remaining weight never falling to 0.
"""
import os
import sys


def write(path, text):
    with open(path, "w") as f:
        f.write(text)


def main():
    kind, k, out = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    os.makedirs(out, exist_ok=True)
    lines = []
    if kind == "ladder":
        n = k + 1
        for t in range(1, n):
            lines.append(f"{t} C 1.0 , {t + 1} C 1.0 0 , {t + 1} C 1.0 0 ;")
        lines.append(f"{n} C 1.0 , 1 C 0.0 1 0.0 ;")
        # each step: its place plus the firing of the transition it leads
        # to; the marked step 0 + 1, then k steps of 1 + 1
        arcs = f"{n - 1} {n - 1} {1 + 2 * k}\n"
    elif kind == "deadend":
        # 1 -> 2 (target), 2 -> 1 marked; 1 -> 3 -> ... ladder of k stages
        n = k + 3
        lines.append("1 C 1.0 , 2 C 1.0 0 , 3 C 0.0 0 , 3 C 0.0 0 ;")
        lines.append("2 C 0.0 , 1 C 0.0 1 0.0 ;")
        for t in range(3, n):
            lines.append(f"{t} C 0.0 , {t + 1} C 0.0 0 , {t + 1} C 0.0 0 ;")
        lines.append(f"{n} C 0.0 ;")
        # marked 2 -> 1 weighs 0 + 1 (the firing of 1), then 1 -> 2 weighs
        # 1 + 0
        arcs = "1 1 2\n"
    else:
        sys.exit("usage: gen.py ladder|deadend K DIR")
    write(os.path.join(out, f"{kind}.egl"), f"Size <- {n}\n" + "\n".join(lines) + "\n")
    write(os.path.join(out, f"{kind}.arcs"), arcs)


if __name__ == "__main__":
    main()
