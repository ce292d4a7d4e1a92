#!/usr/bin/env bash
# Generates the benchmark nets and times the reader on them, against the
# Release libraries of build/ (run scripts/setup or the build first).
# Usage: bench/pnl_reader/run.sh [transitions] [instances]
set -euo pipefail
cd "$(dirname "$0")/../.."
work=build/bench/pnl_reader
mkdir -p "$work"
python3 bench/pnl_reader/gen.py "$work" "${1:-100000}" "${2:-1000}"
g++ -std=c++20 -O2 -Isrc bench/pnl_reader/read_bench.cpp \
  build/src/petri/liborv_petri.a build/src/common/liborv_common.a -lm -o "$work/read_bench"
cd "$work"
./read_bench ring.pnl instances.pnl >/dev/null
