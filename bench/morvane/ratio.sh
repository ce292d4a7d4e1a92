#!/bin/sh
# morvane's in-process run against the plain loop of the same recursion
# (plain_loop.cpp) on one random graph, interleaved runs; prints each
# ratio, then the median and range. Also times the compiled mode once per
# run length given in LENGTHS.
# Usage: bench/morvane/ratio.sh [BUILD_DIR] [NODES] [DEGREE] [STEPS] [RUNS]
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(cd "${1:-$root/build}" && pwd)/bin
nodes=${2:-1000} degree=${3:-10} steps=${4:-1000000} runs=${5:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$root/bench/morvane/gen_graph.py" "$nodes" "$degree" 1 weighted > "$work/g"
now() { date +%s.%N; }
"$bin/morvane" -f "$work/g" -nevt "$steps" > "$work/a"
"$bin/morvane_plain_loop" "$work/g" "$steps" > "$work/b"
cmp -s "$work/a" "$work/b" || { echo "morvane and the plain loop disagree"; exit 1; }
ratios=""
for r in $(seq "$runs"); do
  t0=$(now); "$bin/morvane" -f "$work/g" -nevt "$steps" > /dev/null
  t1=$(now); "$bin/morvane_plain_loop" "$work/g" "$steps" > /dev/null
  t2=$(now)
  ratio=$(echo "($t1 - $t0) / ($t2 - $t1)" | bc -l)
  printf 'morvane %.3f s, plain loop %.3f s, ratio %.2f\n' "$(echo "$t1 - $t0" | bc)" "$(echo "$t2 - $t1" | bc)" "$ratio"
  ratios="$ratios $ratio"
done
echo "$ratios" | tr ' ' '\n' | grep . | sort -g | awk '{a[NR]=$1} END {printf "ratio median %.2f, range %.2f-%.2f (%d runs)\n", a[int((NR+1)/2)], a[1], a[NR], NR}'
