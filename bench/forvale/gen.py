#!/usr/bin/env python3
"""Event graphs for timing forvale.

gen.py wide N FILE: transition 1 feeds transition 2 through N parallel
token-free places, and 2 returns one token to 1; writing the model looks up
the customer class of every one of the N places among the inputs of 2.
"""
import sys


def main():
    if len(sys.argv) != 4 or sys.argv[1] != "wide":
        sys.exit("usage: gen.py wide N FILE")
    n = int(sys.argv[2])
    with open(sys.argv[3], "w") as f:
        f.write("Size <- 2\n")
        f.write("1 C 1.0 " + "".join(", 2 C 1.0 0 " for _ in range(n)) + ";\n")
        f.write("2 C 1.0 , 1 C 0.0 1 0.0 ;\n")


if __name__ == "__main__":
    main()
