#!/usr/bin/env python3
"""States per second of voltag from 10^4 to 10^6 states.

run.py VOLTAG [OLD_VOLTAG] [REPEATS] [HEAP]

The heap (gen.py 12 8 3 7, or the file HEAP) has a chain far larger than 10^6 states, so
-nmax fixes the number of states; each run dumps the chain to /dev/null.
With OLD_VOLTAG the two programs run interleaved and their dumps must agree
at the smallest size. Prints, per size, the median and range of the
CPU seconds and of the states per second, and the ratio of states per second
between the smallest and each larger size.
"""
import os
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SIZES = [10_000, 100_000, 1_000_000]


def run(prog, heap, n):
    """CPU seconds of one run: steadier than wall time on a shared machine."""
    p = subprocess.Popen([prog, "-f", heap, "-nmax", str(n), "-dump"],
                         stdout=subprocess.DEVNULL)
    _, status, ru = os.wait4(p.pid, 0)
    if status != 0:
        sys.exit(f"{prog} failed")
    return ru.ru_utime + ru.ru_stime


def main():
    progs = [sys.argv[1]] + ([sys.argv[2]] if len(sys.argv) > 2 else [])
    repeats = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    with tempfile.TemporaryDirectory() as tmp:
        heap = sys.argv[4] if len(sys.argv) > 4 else os.path.join(tmp, "bench.heap")
        if len(sys.argv) <= 4:
            with open(heap, "w") as f:
                subprocess.run([sys.executable, os.path.join(HERE, "gen.py"), "12", "8", "3",
                                "7"], stdout=f, check=True)
        if len(progs) == 2:
            outs = [subprocess.run([p, "-f", heap, "-nmax", str(SIZES[0]), "-dump"],
                                   capture_output=True, check=True).stdout for p in progs]
            if outs[0] != outs[1]:
                sys.exit("the two programs' dumps differ")
        times = {(p, n): [] for p in progs for n in SIZES}
        for _ in range(repeats):
            for n in SIZES:
                for p in progs:
                    times[(p, n)].append(run(p, heap, n))
        for p in progs:
            print(p)
            base = None
            for n in SIZES:
                t = times[(p, n)]
                rates = [n / x for x in t]
                med = statistics.median(rates)
                base = base or med
                print(f"  {n:>8} states: {statistics.median(t):8.3f} s "
                      f"[{min(t):.3f}, {max(t):.3f}]  {med:10.0f} states/s "
                      f"[{min(rates):.0f}, {max(rates):.0f}]  rate ratio {base / med:.2f}")


main()
