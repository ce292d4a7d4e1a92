#!/bin/sh
# nethric against a plain reader and power iteration (plain_power.cpp) on a
# random symmetric graph with loops and equal weights, interleaved runs;
# prints each ratio, then the median and range.
# Usage: bench/nethric/ratio.sh [BUILD_DIR] [NODES] [DEGREE] [RUNS] [NETHRIC]
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(cd "${1:-$root/build}" && pwd)/bin
nodes=${2:-100000} degree=${3:-10} runs=${4:-7}
nethric=${5:-$bin/nethric}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - "$nodes" "$degree" > "$work/g" <<'PY'
import random, sys
n, d = int(sys.argv[1]), int(sys.argv[2])
rnd = random.Random(5)
out = ["sp", str(n), " ".join(["1"] * n)]
for i in range(n):
    out.append("%d %d" % (i, i))
    for _ in range(d // 2):
        j = rnd.randrange(n)
        out.append("%d %d\n%d %d" % (i, j, j, i))
sys.stdout.write("\n".join(out) + "\n")
PY
echo "graph: $nodes nodes, $(($(wc -l < "$work/g") - 3)) arcs"
now() { date +%s.%N; }
"$nethric" -f "$work/g" > "$work/a"
"$bin/nethric_plain_power" "$work/g" > "$work/b"
cmp -s "$work/a" "$work/b" || { echo "nethric and the plain loop disagree"; cat "$work/a" "$work/b"; exit 1; }
ratios=""
for r in $(seq "$runs"); do
  t0=$(now); "$nethric" -f "$work/g" > /dev/null
  t1=$(now); "$bin/nethric_plain_power" "$work/g" > /dev/null
  t2=$(now)
  ratio=$(echo "($t1 - $t0) / ($t2 - $t1)" | bc -l)
  printf 'nethric %.3f s, plain %.3f s, ratio %.2f\n' "$(echo "$t1 - $t0" | bc)" "$(echo "$t2 - $t1" | bc)" "$ratio"
  ratios="$ratios $ratio"
done
echo "$ratios" | tr ' ' '\n' | grep . | sort -g | awk '{a[NR]=$1} END {printf "ratio median %.2f, range %.2f-%.2f (%d runs)\n", a[int((NR+1)/2)], a[1], a[NR], NR}'
