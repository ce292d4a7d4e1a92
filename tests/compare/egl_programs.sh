#!/bin/bash
# Every line the programs that read EGL print (standard output, standard
# error and the exit status), for two builds, on the bench graphs, random
# graphs and every EGL file of the tests and examples.
# Usage: tests/compare/egl_programs.sh OLD_BIN_DIR NEW_BIN_DIR
set -e
old=$(cd "$1" && pwd) new=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/g"
python3 "$root/bench/egl_reader/gen_egl.py" 2000 > "$work/g/chain2000.egl"
python3 "$root/bench/forvale/gen.py" wide 3000 "$work/g/wide3000.egl"
for seed in 1 2 3; do
  python3 "$root/bench/yarrisk/gen_graph.py" 300 $seed > "$work/g/yarrisk$seed.egl"
  python3 "$root/bench/dormund/gen_graph.py" 60 150 $seed > "$work/g/dormund$seed.egl"
done
for seed in $(seq 0 39); do
  python3 "$here/egl_random.py" $((seed % 13 + 1)) $seed > "$work/g/random$seed.egl"
done
i=0
for f in "$root"/examples/*.egl "$root"/tests/cli/*/fixtures/*.egl; do
  i=$((i + 1))
  cp "$f" "$work/g/fixture$i.egl"
done

# run BIN_DIR OUT PROGRAM ARGS...: in a fresh folder, for files written,
# under the bare program name (the messages name it).
run() {
  dir=$1 out=$2
  shift 2
  rm -rf "$work/run" && mkdir "$work/run"
  status=0
  (cd "$work/run" && prog=$1 && shift && exec -a "$prog" "$dir/$prog" "$@") > "$out" 2>&1 || status=$?
  echo "status $status" >> "$out"
  for w in "$work/run"/*; do [ -f "$w" ] && cat "$w" >> "$out"; done
  # Run times and dates are all that may differ.
  sed -i -e 's/execution time:.*/execution time: -/' -e 's/Date: .*/Date: -/' "$out"
  return 0
}

fail=0 runs=0
for g in "$work"/g/*.egl; do
  for cmd in "jorrel -f $g" "jorrel -d -f $g" "dormund -f $g -matrix" \
             "dormund -debug -f $g -vector -sparse" "forvale -f $g" \
             "forvale -force -f $g -o m.quelm" "yarrisk -f $g -nevt 30" \
             "dunvesk -f $g" "dunvesk -f $g -flatten -o flat.egl" \
             "ilvaris -n 1 -f $g" "fennock -f $g -tmp . -nevt 7" "bemmick -debug -f $g -arcs $root/tests/cli/bemmick/fixtures/arcs.txt"; do
    set -- $cmd
    run "$old" "$work/a" "$@"
    run "$new" "$work/b" "$@"
    runs=$((runs + 1))
    if ! cmp -s "$work/a" "$work/b"; then
      echo "differ: $cmd"
      fail=1
    fi
  done
done
# Standard input.
for g in "$work"/g/random1.egl "$work"/g/chain2000.egl; do
  run "$old" "$work/a" jorrel -d < "$g"
  run "$new" "$work/b" jorrel -d < "$g"
  runs=$((runs + 1))
  cmp -s "$work/a" "$work/b" || { echo "differ: jorrel < $g"; fail=1; }
done
[ $fail = 0 ] && echo "identical ($runs runs)"
exit $fail
