#!/bin/sh
# Flattening a net whose bindings give one submodel object many arcs
# (gen.py): lorvat -flatten against lorvat alone (reading and writing the
# same net unflattened) on N = 20,000 and 100,000 arcs, and the same for a
# second lorvat when one is given. Flattening in time linear in the arcs keeps
# the ratio about the same at both sizes; a time in their square makes it
# grow with N.
# Usage: bench/flatten/ratio.sh [LORVAT] [OTHER_LORVAT]
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
secs() {
  s=$(date +%s.%N)
  "$@" >/dev/null
  e=$(date +%s.%N)
  echo "$e - $s" | bc
}
for lorvat in "${1:-$root/build/bin/lorvat}" ${2:+"$2"}; do
  echo "$lorvat"
  for n in 20000 100000; do
    python3 "$root/bench/flatten/gen.py" "$n" "$work/$n"
    cd "$work/$n"
    plain=$(secs "$lorvat" -f top.pnl)
    flat=$(secs "$lorvat" -flatten -f top.pnl)
    cd - >/dev/null
    printf '  N=%6d  unflattened %6.2f s  -flatten %7.2f s  ratio %6.1f\n' "$n" "$plain" "$flat" \
      "$(echo "$flat / $plain" | bc -l)"
  done
done
