#!/usr/bin/env python3
"""rasmund against a plain loop of its recursion (plain.cpp), in one run.

Both simulate the same 10^7 exponential on-off pairs (peak rate 1.5, 201
levels of step 0.05, intervals on for rasmund). The two are run in turn,
REPEAT times each, and the medians and ranges of their wall times and the
ratio of the medians are printed. An optional third program (an earlier
rasmund) is run in the same rotation.
Usage: bench/rasmund/run.py BUILD_DIR [REPEAT] [OTHER_RASMUND]
"""
import statistics
import subprocess
import sys
import time

build = sys.argv[1]
repeat = int(sys.argv[2]) if len(sys.argv) > 2 else 5
pairs = "10000000"
runs = {
    "rasmund": [f"{build}/bin/rasmund", "-nbcycles", pairs, "-xstep", "0.05", "-peak_rate", "1.5",
                "-confidence"],
    "plain": [f"{build}/bin/rasmund_plain", pairs, "201", "0.05", "1.5"],
}
if len(sys.argv) > 3:
    runs["other"] = runs["rasmund"][:]
    runs["other"][0] = sys.argv[3]
times = {k: [] for k in runs}
for _ in range(repeat):
    for name, cmd in runs.items():
        t0 = time.perf_counter()
        subprocess.run(cmd, stdout=subprocess.DEVNULL, check=True)
        times[name].append(time.perf_counter() - t0)
med = {k: statistics.median(v) for k, v in times.items()}
for k, v in times.items():
    print("%-8s median %.3f s  range %.3f-%.3f s  ratio to plain %.2f"
          % (k, med[k], min(v), max(v), med[k] / med["plain"]))
