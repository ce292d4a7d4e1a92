#!/usr/bin/env python3
"""A random heap of pieces: gen.py COLUMNS PIECES MAXHEIGHT SEED [SPAN].

Each piece occupies a run of at most SPAN adjacent columns (default 3) with
random low and high heights up to MAXHEIGHT, and has a random weight.
"""
import random
import sys


def main():
    cols, pieces, hmax, seed = (int(a) for a in sys.argv[1:5])
    span = int(sys.argv[5]) if len(sys.argv) > 5 else 3
    rng = random.Random(seed)
    out = [f"Columns {cols}", ""]
    for p in range(1, pieces + 1):
        first = rng.randrange(cols)
        width = rng.randint(1, min(span, cols - first))
        lo = [rng.randint(0, hmax) for _ in range(width)]
        hi = [l + rng.randint(1, hmax) for l in lo]
        out.append(f"Piece {p}")
        if rng.random() < 0.5:
            out.append(f"Weight {rng.randint(1, 5)}")
        else:
            out.append(f"Weight {rng.uniform(0.1, 3):.3f}")
        out.append(f"Color #{rng.randrange(1 << 24):06x}")
        out.append("LoProf " + " ".join(f"{first + k} {lo[k]}" for k in range(width)))
        out.append("HiProf " + " ".join(f"{first + k} {hi[k]}" for k in range(width)))
        out.append("")
    print("\n".join(out))


main()
