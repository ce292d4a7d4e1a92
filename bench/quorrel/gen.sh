#!/bin/sh
# Writes the benchmark queues into the folder given (default: the current one):
#   transient.dat   period of 7, customer 2000 (hinge rows of 2001 values)
#   stationary.dat  period of 100, for a range reaching about 2000 epochs
set -eu
dir=${1:-.}
mkdir -p "$dir"
printf '0.5\n3\n7\n 0.0 0.2 0.3 1.5\n 0.1 1.2 0.0 0.3 2.0 0.05 0.4\n2000\n' > "$dir/transient.dat"
awk 'BEGIN {
  printf "2.0\n0\n100\n 0.0\n";
  for (i = 0; i < 100; i++) printf " %.2f", 0.01 * (1 + i % 7);
  printf "\n-1\n";
}' > "$dir/stationary.dat"
