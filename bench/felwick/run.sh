#!/bin/sh
# felwick's program on the 1,000-transition ring of gen.py against quanter's
# in-process simulation of the same net over the same simulated time.
# Interleaved runs (5 of each by default), medians and ranges of the wall
# times; events per second of the program: its timed events (the services
# it completed, one event each) over its run time.
#
# Usage: bench/felwick/run.sh [BUILD_DIR] [TMAX] [RUNS]   (default: build, a
# Release tree, 20000, 5)
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
tmax=${2:-20000}
runs=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
python3 "$root/bench/felwick/gen.py" 1000 > ring.pnl
"$build/bin/felwick" -f ring.pnl -tmax "$tmax" > /dev/null
# The program names the library where the install puts it; here the build
# tree's copy is taken.
sed -i "s|^include .*/Makefile.head|include $build/lib/valtor/Makefile.head|; s|^#include \".*/Routing_Source.cc\"|#include \"Routing_Source.cc\"|" Makefile.Valtor main.cc
make -f Makefile.Valtor > make.log 2>&1 || { cat make.log; exit 1; }

now() { date +%s.%N; }
: > sim.times
: > quanter.times
i=0
while [ $i -lt "$runs" ]; do
  t0=$(now); ./sim -tmax "$tmax" > sim.out; t1=$(now)
  echo "$t1 - $t0" | bc >> sim.times
  t0=$(now); "$build/bin/quanter" -f ring.pnl -tmax "$tmax" > quanter.out; t1=$(now)
  echo "$t1 - $t0" | bc >> quanter.times
  i=$((i + 1))
done
python3 - <<'PY'
import statistics
# The report has the 1,000 transitions (servers: one timed event per
# service) and then the 1,000 places (relays: each pass a zero-time move).
lines = [l.split() for l in open("sim.out") if "  services " in l]
counts = [int(w[w.index("services") + 1]) for w in lines]
events, moves = sum(counts[:1000]), sum(counts[1000:])
sim = [float(x) for x in open("sim.times")]
q = [float(x) for x in open("quanter.times")]
ms, mq = statistics.median(sim), statistics.median(q)
print(f"felwick program: median {ms:.3f} s (range {min(sim):.3f}-{max(sim):.3f}); "
      f"{events} timed events and {2 * moves} zero-time moves")
print(f"  {events / ms:.3g} timed events/s, {(events + 2 * moves) / ms:.3g} events and moves/s")
print(f"quanter in-process: median {mq:.3f} s (range {min(q):.3f}-{max(q):.3f})")
print(f"ratio program / quanter: {ms / mq:.2f}")
PY
