#!/usr/bin/env python3
"""Writes a net whose flattening binds many arcs to one submodel object:
  gen.py N DIR
DIR/top.pnl has N transitions, each with an arc to the submodel's place (its
port IN 1), and one place whose N arcs alternate between the top net's
transitions and the submodel's transition (its port IN 2); DIR/sub.pnl is
the submodel."""
import os
import sys

n, out = int(sys.argv[1]), sys.argv[2]
os.makedirs(out, exist_ok=True)
with open(os.path.join(out, "sub.pnl"), "w") as f:
    f.write("Transitions <- 1\nPlaces <- 1\nT 1 C 1.0 , 1 ;\nP 1 C 0.0 0 , 1 ;\n"
            "Export\nIN 1 IS P 1 ;\nIN 2 IS T 1 ;\n")
lines = ["Transitions <- %d" % n, "Places <- 1", 'Submodel 1 FILE "sub.pnl" ;']
for i in range(1, n + 1):
    lines.append("T %d C 1.0 , S 1 / IN 1 ;" % i)
arcs = []
for k in range(n):
    arcs.append(str(k // 2 + 1) if k % 2 == 0 else "S 1 / IN 2")
lines.append("P 1 C 0.0 1 0.0 , " + " , ".join(arcs) + " ;")
with open(os.path.join(out, "top.pnl"), "w") as f:
    f.write("\n".join(lines) + "\n")
