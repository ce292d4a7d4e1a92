#!/bin/sh
# From which run length quanter -compile beats the in-process run on the
# 500-transition ring of make_nets.py (scale 10): for each -tmax, interleaved
# pairs of whole runs ("quanter -f ring.pnl" against "quanter -compile -f
# ring.pnl"), their medians and ranges, the ratio and the compiled
# simulator's own loop. Then the cost of a time unit in each mode (the slope
# between the shortest and the longest run) and the run length where the two
# lines cross, if they do.
#
# Usage: bench/quanter/break_even.sh [BUILD_DIR] [PAIRS] [TMAX...]
#        (default: build, a Release tree; 3 pairs; 20000 200000 2000000)
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(cd "${1:-$root/build}" && pwd)/bin
pairs=${2:-3}
if [ $# -gt 2 ]; then shift 2; else set -- 20000 200000 2000000; fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$root/bench/quanter/make_nets.py" "$work"
cd "$work"
export ORVHOME="$root/share" PATH="$bin:$PATH"
now() { date +%s.%N; }
median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
stats() {  # median, min, max of a file of numbers
  sort -n "$1" | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2;
    printf "%.3f s (%.3f to %.3f)", m, v[1], v[NR] }'
}

echo "ring.pnl, $pairs interleaved pairs per -tmax (median, range):"
first= last=
for tmax in "$@"; do
  : > inproc; : > compiled; : > loop
  i=0
  while [ "$i" -lt "$pairs" ]; do
    t0=$(now); quanter -f ring.pnl -tmax "$tmax" >/dev/null; t1=$(now)
    quanter -compile -f ring.pnl -tmax "$tmax" 2>/dev/null > out; t2=$(now)
    echo "$t1 - $t0" | bc >> inproc
    echo "$t2 - $t1" | bc >> compiled
    sed -n 's/^Total execution time: \([0-9.]*\).*/\1/p' out >> loop
    i=$((i + 1))
  done
  mi=$(median inproc) mc=$(median compiled)
  echo "  -tmax $tmax: in-process $(stats inproc), -compile $(stats compiled)," \
    "ratio $(echo "$mc / $mi" | bc -l | cut -c1-5), compiled loop $(stats loop)"
  [ -n "$first" ] || first="$tmax $mi $mc"
  last="$tmax $mi $mc"
done

# Whole run = fixed cost + time units x cost of a time unit, in each mode.
echo "$first $last" | awk '{
  t1 = $1; i1 = $2; c1 = $3; t2 = $4; i2 = $5; c2 = $6
  if (t2 == t1) exit
  si = (i2 - i1) / (t2 - t1); sc = (c2 - c1) / (t2 - t1)
  fi = i1 - si * t1; fc = c1 - sc * t1
  printf "  a time unit: in-process %.3g s, compiled %.3g s; fixed: in-process %.3f s, compiled %.3f s\n",
    si, sc, fi, fc
  if (sc >= si) {
    print "  -compile is not faster at any run length: its time units cost as much or more"
    exit
  }
  n = (fc - fi) / (si - sc)
  if (n <= t2)
    printf "  -compile is faster from -tmax %.0f on\n", n
  else if (n * 10 > 2147483647)
    printf "  the lines cross at -tmax %.3g, past the longest run at scale 10 (ticks are ints):" \
      " -compile is never faster\n", n
  else
    printf "  -compile is faster from -tmax %.0f on (extrapolated past the runs measured)\n", n
}'
