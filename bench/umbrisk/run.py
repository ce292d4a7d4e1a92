#!/usr/bin/env python3
"""Times umbrisk against its Boost Graph peer (boost_peer, maximum cycle ratio
by Howard's policy iteration) on the same files: whole runs, output to
/dev/null, median wall time and peak memory of several runs taken in turn,
and a check that both find the same cycle mean.

  run.py BIN_DIR [WORK_DIR] [REPS]

BIN_DIR holds umbrisk and boost_peer (build/bin); the matrices are written
into WORK_DIR (default /tmp/umbrisk-bench) by gen.py when missing.
"""
import os
import re
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
CASES = [
    ("dense 500", "d500.txt", ["random", "500"]),
    ("dense 2000", "d2000.txt", ["random", "2000"]),
    ("sparse 2000, 4 a row", "s2000.txt", ["sparse", "2000", "4"]),
    ("sparse 5000, 4 a row", "s5000.txt", ["sparse", "5000", "4"]),
]


def timed(cmd):
    """Wall seconds, peak resident KB and standard output of one run."""
    with tempfile.NamedTemporaryFile("r") as report:
        p = subprocess.run(["/usr/bin/time", "-f", "%e %M", "-o", report.name] + cmd,
                           stdout=subprocess.PIPE if "boost_peer" in cmd[0] else subprocess.DEVNULL)
        if p.returncode != 0:
            sys.exit(f"{' '.join(cmd)}: status {p.returncode}")
        took, kb = report.read().split()[-2:]
    return float(took), int(kb), p.stdout.decode() if p.stdout else ""


def umbrisk_mean(binary, path):
    out = subprocess.run([binary, "-f", path], capture_output=True, text=True, check=True).stdout
    m = re.search(r"cycle mean: (-?\d+) / (\d+)", out)
    return int(m.group(1)) / int(m.group(2))


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    bins = sys.argv[1]
    work = sys.argv[2] if len(sys.argv) > 2 else "/tmp/umbrisk-bench"
    reps = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    os.makedirs(work, exist_ok=True)
    umbrisk = os.path.join(bins, "umbrisk")
    peer = os.path.join(bins, "boost_peer")
    print(f"{'matrix':24} {'umbrisk s':>10} {'MB':>7} {'peer s':>10} {'MB':>7} {'ratio':>6}")
    for name, file, args in CASES:
        path = os.path.join(work, file)
        if not os.path.exists(path):
            with open(path, "w") as f:
                subprocess.run([sys.executable, os.path.join(HERE, "gen.py")] + args, stdout=f,
                               check=True)
        ours, theirs = [], []
        peer_out = ""
        for _ in range(reps):
            ours.append(timed([umbrisk, "-f", path]))
            t = timed([peer, path])
            theirs.append(t)
            peer_out = t[2]
        mine = umbrisk_mean(umbrisk, path)
        other = float(peer_out.split()[-1])
        agree = abs(mine - other) < 1e-6 * max(1.0, abs(mine))
        t_ours = statistics.median(t for t, _, _ in ours)
        t_peer = statistics.median(t for t, _, _ in theirs)
        m_ours = max(m for _, m, _ in ours) / 1024
        m_peer = max(m for _, m, _ in theirs) / 1024
        print(f"{name:24} {t_ours:10.2f} {m_ours:7.1f} {t_peer:10.2f} {m_peer:7.1f} "
              f"{t_ours / t_peer:6.2f}{'' if agree else '  CYCLE MEANS DIFFER'}")


if __name__ == "__main__":
    main()
