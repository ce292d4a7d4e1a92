#!/usr/bin/env python3
"""Build and run the simulator that felwick (or oskel) writes for a net with
constant delays, and compare its completed services at T with quanter's
in-process run of the same net (an implementation of its own).

usage: simulate.py felwick|oskel NET T [GENERATOR OPTIONS...]
(run in a scratch folder; ORVHOME names the tree that holds lib/valtor)

A firing of transition t that takes d_t time units and starts at s has
completed by T when s + d_t <= T: the program's completed services of t at T
are quanter's initiated firings of t at T - d_t (its line Y_t[T - d_t]; a
source of quanter, a transition fed by a self-loop place, fires at 0 and
every interval after, so its first customer is complete one interval in).
The script runs quanter once per distinct T - d_t (whole numbers: the nets
keep T - d_t whole) and prints one line per transition,
  "<name>: <completed services>"
then "agrees with quanter" or the first disagreement.
"""
import os
import re
import subprocess
import sys


def run(cmd, **kw):
    r = subprocess.run(cmd, capture_output=True, text=True, **kw)
    if r.returncode != 0:
        sys.stdout.write("%s failed (%d)\n%s%s" % (" ".join(cmd), r.returncode, r.stdout[-2000:],
                                                   r.stderr[-2000:]))
        sys.exit(1)
    return r.stdout


def main():
    gen, net, T = sys.argv[1], sys.argv[2], int(sys.argv[3])
    extra = sys.argv[4:]
    trans = []  # (name, delay) in number order
    for line in open(net):
        m = re.match(r'\s*T\s+\d+\s+"([^"]*)"\s+C\s+([0-9.]+)', line)
        if m:
            trans.append((m.group(1), float(m.group(2))))
    want = {}
    for at in sorted({T - d for _, d in trans}):
        if at != int(at) or at < 0:
            sys.exit("T - d is not a whole number of time units: %s" % at)
        out = run(["quanter", "-f", net, "-tmax", str(int(at))])
        for i, (name, d) in enumerate(trans):
            if T - d == at:
                m = re.search(r"^Y_%d\[\d+\] =\s+(\d+)" % i, out, re.M)
                want[name] = int(m.group(1)) if m else None
    home = os.environ["ORVHOME"]
    env = dict(os.environ)
    if gen == "oskel":
        env["VALTOR_HOME"] = os.path.join(home, "lib", "valtor")
    run([gen, "-f", net, "-tmax", str(T)] + extra, env=env)
    run(["make", "-s", "-f", "Makefile.Valtor"], env=env)
    out = run(["./sim"])
    got = {}
    for m in re.finditer(r"^(\S+)  services (\d+) ", out, re.M):
        got[m.group(1)] = int(m.group(2))
    # The equational part's transitions, in the module's own report.
    for m in re.finditer(r"^ Station (?:Transition|Source) (.*) #EQ/\d+ .*\n\n(?:.*\n)*?"
                         r" Number of (?:services|generated customers) : (\d+)", out, re.M):
        got[m.group(1)] = int(m.group(2))
    status = 0
    for name, _ in trans:
        print("%s: %s" % (name, got.get(name)))
        if status == 0 and got.get(name) != want.get(name):
            print("differs from quanter: %s" % want.get(name))
            status = 1
    if status == 0:
        print("agrees with quanter")
    return status


if __name__ == "__main__":
    sys.exit(main())
