#!/bin/sh
# Every line morvane prints, for two builds, on random graphs and option
# sets: the in-process simulation must not change a digit.
# Usage: tests/compare/morvane.sh OLD_MORVANE NEW_MORVANE
set -e
old=$1 new=$2
gen=$(cd "$(dirname "$0")/../../bench/morvane" && pwd)/gen_graph.py
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
for seed in 1 2 3 4 5 6 7 8 9 10 11 12; do
  for shape in "1 1" "2 0.5" "5 2" "40 3" "300 6" "1000 12"; do
    set -- $shape
    for kind in uniform weighted; do
      python3 "$gen" "$1" "$2" "$seed" "$kind" > "$work/g"
      for opts in "-nevt 20000" "-nevt 3000 -nrep 4 -stats" "-nevt 0" "-nevt 7 -nrep 3 -stats"; do
        "$old" -f "$work/g" $opts > "$work/a" 2>&1 || true
        "$new" -f "$work/g" $opts > "$work/b" 2>&1 || true
        if ! cmp -s "$work/a" "$work/b"; then
          echo "differ: seed $seed nodes $1 degree $2 $kind $opts"
          fail=1
        fi
      done
    done
  done
done
python3 "$gen" 6 2 3 weighted full > "$work/g"
"$old" -debug -f "$work/g" -nevt 500 > "$work/a" 2>&1 || true
"$new" -debug -f "$work/g" -nevt 500 > "$work/b" 2>&1 || true
cmp -s "$work/a" "$work/b" || { echo "differ: -debug"; fail=1; }
[ $fail = 0 ] && echo "identical"
exit $fail
