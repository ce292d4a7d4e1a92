#!/bin/sh
# quanter's two modes on the 500-transition ring of make_nets.py at scale 10,
# -tmax 20000 (1.0e8 transition-ticks), as interleaved pairs of runs:
#  - the whole run: "quanter -f ring.pnl" against "quanter -compile -f
#    ring.pnl" (tarvin, the C compiler, the simulator), wall times;
#  - the compiler alone on the same fragments with the flags quanter passes
#    and with plain -O2 (the flags it used to pass), and each simulator's own
#    loop time, against the plain token loop of quanter_bench;
#  - the two simulators' printed lines must be identical.
# Prints the median and the range of each figure and the ratios.
#
# Usage: bench/quanter/modes.sh [BUILD_DIR] [PAIRS] [TMAX]
#        (default: build, a Release tree; 5 pairs; 20000)
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(cd "${1:-$root/build}" && pwd)/bin
pairs=${2:-5}
tmax=${3:-20000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$root/bench/quanter/make_nets.py" "$work"
cd "$work"
export ORVHOME="$root/share" PATH="$bin:$PATH"
skel="$root/share/lib/quanter/skeletton.c"
# The flags quanter passes, from its echo of the compiler's command.
flags=$("$bin/quanter" -compile -f ring.pnl -tmax 1 2>&1 >/dev/null |
  sed -n 's/^quanter: Executing .* -lm \(.*\)$/\1/p')
[ -n "$flags" ] || { echo "no compiler command in quanter's echo"; exit 1; }
now() { date +%s.%N; }
loop_time() { sed -n 's/^Total execution time: \([0-9.]*\).*/\1/p'; }

"$bin/tarvin" -f ring.pnl -tmax "$tmax" -tmp "$work" >/dev/null
: > inproc; : > compiled; : > cc_new; : > cc_old; : > loop_new; : > loop_old
i=0
while [ "$i" -lt "$pairs" ]; do
  t0=$(now); "$bin/quanter" -f ring.pnl -tmax "$tmax" >/dev/null; t1=$(now)
  "$bin/quanter" -compile -f ring.pnl -tmax "$tmax" >/dev/null 2>&1; t2=$(now)
  echo "$t1 - $t0" | bc >> inproc
  echo "$t2 - $t1" | bc >> compiled
  t0=$(now); gcc "$skel" -o sim_new -I"$work" -lm $flags; t1=$(now)
  gcc "$skel" -o sim_old -I"$work" -lm -O2; t2=$(now)
  echo "$t1 - $t0" | bc >> cc_new
  echo "$t2 - $t1" | bc >> cc_old
  ./sim_new > out_new; ./sim_old > out_old
  loop_time < out_new >> loop_new
  loop_time < out_old >> loop_old
  # Every line but the timing one.
  grep -v '^Total' out_new > a; grep -v '^Total' out_old > b
  cmp -s a b || { echo "the two simulators print different lines"; exit 1; }
  i=$((i + 1))
done
plain=$("$bin/quanter_bench" -tmax "$tmax" -reps "$pairs" ring.pnl |
  sed -n 's/.*plain loop \([0-9.]*\) s.*/\1/p')

stats() {  # median, min, max of a file of numbers
  sort -n "$1" | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2;
    printf "%.3f s (%.3f to %.3f)", m, v[1], v[NR] }'
}
median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
echo "ring.pnl, -tmax $tmax, $pairs interleaved pairs (median, range):"
echo "  in-process run          $(stats inproc)"
echo "  quanter -compile run    $(stats compiled)   ratio $(echo "$(median compiled) / $(median inproc)" | bc -l | cut -c1-5)"
echo "  compiler, new flags     $(stats cc_new)"
echo "  compiler, -O2           $(stats cc_old)"
echo "  simulator, new flags    $(stats loop_new)   / plain loop $(echo "$(median loop_new) / $plain" | bc -l | cut -c1-5)"
echo "  simulator, -O2          $(stats loop_old)   / plain loop $(echo "$(median loop_old) / $plain" | bc -l | cut -c1-5)"
echo "  plain loop (quanter_bench) $plain s"
