#!/bin/sh
# morvane -compile against the in-process run on one random graph, for
# several run lengths (whole runs, wall clock, interleaved); then the
# compiled simulator alone against the plain loop (plain_loop.cpp).
# Usage: bench/morvane/compiled.sh [BUILD_DIR] [NODES] [DEGREE] [RUNS]
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(cd "${1:-$root/build}" && pwd)/bin
nodes=${2:-1000} degree=${3:-10} runs=${4:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$root/bench/morvane/gen_graph.py" "$nodes" "$degree" 1 weighted > "$work/g"
now() { date +%s.%N; }
med() { tr ' ' '\n' | grep . | sort -g | awk '{a[NR]=$1} END {printf "median %.3f, range %.3f-%.3f", a[int((NR+1)/2)], a[1], a[NR]}'; }
for steps in 100000 1000000 10000000 30000000; do
  ins="" com="" rat=""
  for r in $(seq "$runs"); do
    t0=$(now); "$bin/morvane" -f "$work/g" -nevt "$steps" > /dev/null
    t1=$(now); PATH="$bin:$PATH" "$bin/morvane" -compile -f "$work/g" -nevt "$steps" > /dev/null
    t2=$(now)
    ins="$ins $(echo "$t1 - $t0" | bc)"; com="$com $(echo "$t2 - $t1" | bc)"
    rat="$rat $(echo "($t2 - $t1) / ($t1 - $t0)" | bc -l)"
  done
  echo "$steps steps: in-process $(echo "$ins" | med) s; compiled $(echo "$com" | med) s; ratio $(echo "$rat" | med)"
done
"$bin/pelmark" -f "$work/g" -o "$work/sim.c"
gcc "$work/sim.c" -o "$work/sim" -lm -O2
rat=""
for r in $(seq "$runs"); do
  t0=$(now); "$work/sim" -nevt 10000000 > /dev/null
  t1=$(now); "$bin/morvane_plain_loop" "$work/g" 10000000 > /dev/null
  t2=$(now)
  rat="$rat $(echo "($t1 - $t0) / ($t2 - $t1)" | bc -l)"
done
echo "simulator / plain loop, 10000000 steps: $(echo "$rat" | med)"
