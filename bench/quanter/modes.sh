#!/bin/sh
# quanter's two modes on the 500-transition ring of make_nets.py at scale 10,
# -tmax 20000 (1.0e8 transition-ticks): the in-process simulation, then the
# compiled chain step by step (tarvin, the C compiler on the installed
# skeleton, the simulator). Each simulator reports its own loop time on its
# "Total execution time" line; compile time is the code generator and the
# compiler together.
#
# Usage: bench/quanter/modes.sh [BUILD_DIR]   (default: build, a Release tree)
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(cd "${1:-$root/build}" && pwd)/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$root/bench/quanter/make_nets.py" "$work"
cd "$work"
now() { date +%s.%N; }

echo "in-process:"
t0=$(now)
"$bin/quanter" -f ring.pnl -tmax 20000 | grep '^Total'
t1=$(now)
echo "  wall $(echo "$t1 - $t0" | bc) s"

echo "compiled:"
t0=$(now)
"$bin/tarvin" -f ring.pnl -tmax 20000 -tmp "$work"
t1=$(now)
gcc "$root/share/lib/quanter/skeletton.c" -o sim -I"$work" -lm -O2
t2=$(now)
./sim | grep '^Total'
t3=$(now)
echo "  tarvin $(echo "$t1 - $t0" | bc) s, compiler $(echo "$t2 - $t1" | bc) s, simulator wall $(echo "$t3 - $t2" | bc) s"
