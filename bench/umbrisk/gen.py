#!/usr/bin/env python3
"""Input matrices for timing umbrisk.

  gen.py random N [SEED]        dense N x N matrix of integers in [0, 1000)
  gen.py sparse N K [SEED]      N x N matrix with K finite entries a row (integers
                                in [0, 1000) at random columns), eps elsewhere
  gen.py transient N V [SEED]   dense N x N matrix with a long transient
                                (use -transient): a loop of weight 1000 on
                                node 0 feeds a circuit 1 -> 2 -> ... -> N-1 -> 1
                                of weight 999 per arc, which returns to node 0
                                only through an arc of -1000000; other arcs
                                weigh below 500. The start vector gives node 1
                                a lead of V (below 1000000), which the loop
                                needs about V steps to catch up
"""
import random
import sys


def write(n, rows, vector=None):
    out = [str(n)]
    out += [" ".join(r) for r in rows]
    if vector is not None:
        out.append(" ".join(vector))
    sys.stdout.write("\n".join(out) + "\n")


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in ("random", "sparse", "transient"):
        sys.exit(__doc__)
    n = int(sys.argv[2])
    if sys.argv[1] == "random":
        random.seed(int(sys.argv[3]) if len(sys.argv) > 3 else 1)
        write(n, [[str(random.randrange(1000)) for _ in range(n)] for _ in range(n)])
        return
    if sys.argv[1] == "sparse":
        k = int(sys.argv[3])
        random.seed(int(sys.argv[4]) if len(sys.argv) > 4 else 1)
        rows = []
        for _ in range(n):
            row = ["eps"] * n
            for j in random.sample(range(n), min(k, n)):
                row[j] = str(random.randrange(1000))
            rows.append(row)
        write(n, rows)
        return
    lead = int(sys.argv[3])
    random.seed(int(sys.argv[4]) if len(sys.argv) > 4 else 1)
    # rows[i][j] weighs the arc j -> i
    rows = [[str(random.randrange(500)) for _ in range(n)] for _ in range(n)]
    rows[0] = ["eps"] * n
    rows[0][0] = "1000"
    rows[0][n - 1] = "-1000000"
    for j in range(1, n):
        rows[j + 1 if j + 1 < n else 1][j] = "999"
    vector = ["0"] * n
    vector[1] = str(lead)
    write(n, rows, vector)


if __name__ == "__main__":
    main()
