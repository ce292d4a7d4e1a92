#!/usr/bin/env python3
"""Runs quanter in-process and compiled (-compile, through tarvin, the C
compiler and the installed skeleton) on the same nets and compares the
statistics of the two modes.

Every transition the compiled simulator prints as "Y_t[...]" must have the
very line of the in-process run; a transition it leaves out must be a source,
printed as "R_t[...]" instead (its count is of completed firings, not begun
ones). Prints one line per net, "NAME: modes agree on K transitions", or the
two outputs and exits 1 (with --random, only the count of nets compared
when all agree).

Usage:
  compare_modes.py NET [QUANTER ARGS...]
  compare_modes.py --random COUNT SEED [QUANTER ARGS...]
      random nets of constant delays: routings of every kind, weights 1 and
      2, lags, self-loop sources, several time scales
"""
import random
import re
import subprocess
import sys

Y_LINE = re.compile(r"Y_(\d+)\[")
R_LINE = re.compile(r"R_(\d+)\[")


def run(args):
    p = subprocess.run(["quanter"] + args, capture_output=True, text=True)
    return p.returncode, p.stdout, p.stderr


def compare(name, net, extra, quiet=False, inprocess=None):
    st1, out1, err1 = inprocess or run(["-f", net] + extra)
    st2, out2, err2 = run(["-compile", "-f", net] + extra)
    ok = st1 == 0 and st2 == 0
    inproc = {int(Y_LINE.match(l).group(1)): l for l in out1.splitlines() if Y_LINE.match(l)}
    comp = {int(Y_LINE.match(l).group(1)): l for l in out2.splitlines() if Y_LINE.match(l)}
    sources = {int(R_LINE.match(l).group(1)) for l in out2.splitlines() if R_LINE.match(l)}
    for t, line in inproc.items():
        if t in comp:
            ok = ok and comp[t] == line
        else:
            ok = ok and t in sources
    ok = ok and set(comp) <= set(inproc) and len(inproc) > 0
    if ok:
        if not quiet:
            print(f"{name}: modes agree on {len(comp)} transitions")
        return True
    print(f"{name}: modes differ")
    print(f"--- in-process (status {st1})\n{out1}{err1}--- compiled (status {st2})\n{out2}{err2}")
    return False


def random_net(rnd):
    """A net every transition of which has an input place; immediate
    transitions are only fed through places with a delay or tokens, so that
    no zero-time cycle arises."""
    nt = rnd.randint(3, 7)
    fire = [rnd.choice([0.0, 0.5, 1.0, 1.5, 2.0]) for _ in range(nt)]
    places = []
    # A self-loop source or two: one input arc, from the transition itself.
    nsrc = rnd.randint(0, 2)
    for t in range(nsrc):
        if fire[t] == 0.0:
            fire[t] = 1.0
        # Its firings in hand start together (one lag for all its tokens).
        lag = rnd.choice([0.0, 0.0, 1.0])
        places.append(dict(hold=rnd.choice([0.0, 0.5]), producers=[(t, 1)], consumers=[(t, 1)],
                           routing=None, tokens=[lag] * rnd.choice([1, 1, 2])))
    others = list(range(nsrc, nt))
    # Each other transition gets a feeding place; some places feed several.
    unfed = others[:]
    rnd.shuffle(unfed)
    while unfed:
        kind = rnd.choice(["one", "one", "R", "D", "P"])
        n = 1 if kind == "one" else min(len(unfed), rnd.choice([2, 3]))
        if n < 2:
            kind = "one"
        cons = unfed[:n]
        unfed = unfed[n:]
        if kind == "P":
            # Priority is resolved within one instant: immediate outputs.
            for t in cons:
                fire[t] = 0.0
        producers = [(u, rnd.choice([1, 1, 2])) for u in rnd.sample(range(nt), rnd.choice([1, 2]))]
        # A place fed by one of its own outputs alone makes that output a
        # source; the self-loop sources are made above.
        if len(producers) == 1 and producers[0][0] in cons:
            producers.append(((producers[0][0] + 1) % nt, 1))
        hold = rnd.choice([0.5, 1.0, 1.5])
        routing = None
        if kind == "R":
            cuts = sorted(rnd.sample(range(5, 96, 5), n - 1))
            probs = [b - a for a, b in zip([0] + cuts, cuts + [100])]
            routing = ("R", [p / 100 for p in probs])
        elif kind == "D":
            routing = ("D", [rnd.choice(cons) for _ in range(rnd.randint(2, 4))])
            for t in cons:
                if t not in routing[1]:
                    routing[1].append(t)
        elif kind == "P":
            order = cons[:]
            rnd.shuffle(order)
            routing = ("P", order)
        places.append(dict(hold=hold, producers=producers,
                           consumers=[(t, rnd.choice([1, 1, 2]) if kind != "R" else 1)
                                      for t in cons],
                           routing=routing,
                           tokens=[rnd.choice([0.0, 0.0, 0.5, 2.0])
                                   for _ in range(rnd.randint(0, 3))]))
    # A second input for some transitions, through a plain place of their own.
    for t in others:
        if rnd.random() < 0.3:
            places.append(dict(hold=rnd.choice([0.5, 1.0]),
                               producers=[(rnd.randrange(nt), rnd.choice([1, 2]))],
                               consumers=[(t, rnd.choice([1, 2]))], routing=None,
                               tokens=[0.0] * rnd.randint(0, 2)))
    lines = [f"Transitions <- {nt}", f"Places <- {len(places)}"]
    for t in range(nt):
        arcs = "".join(f" , {p + 1} {w}" for p, pl in enumerate(places)
                       for (u, w) in pl["producers"] if u == t)
        lines.append(f"T {t + 1} C {fire[t]:.1f}{arcs} ;")
    for p, pl in enumerate(places):
        toks = pl["tokens"]
        lags = "".join(f" {x:.1f}" for x in toks)
        rt = ""
        if pl["routing"]:
            kind, data = pl["routing"]
            if kind == "R":
                rt = " Random [ " + " ".join(f"{x:.2f}" for x in data) + " ]"
            elif kind == "D":
                rt = " Cyclic [ " + " ".join(str(t + 1) for t in data) + " ]"
            else:
                rt = " Competition Priority [ " + " ".join(str(t + 1) for t in data) + " ]"
        arcs = "".join(f" , {t + 1} {w}" for (t, w) in pl["consumers"])
        lines.append(f"P {p + 1} C {pl['hold']:.1f} {len(toks)}{lags}{rt}{arcs} ;")
    return "\n".join(lines) + "\n"


def main():
    argv = sys.argv[1:]
    if argv and argv[0] == "--random":
        count, seed, extra = int(argv[1]), int(argv[2]), argv[3:]
        rnd = random.Random(seed)
        agreed = tried = 0
        for k in range(count):
            text = random_net(rnd)
            name = f"random{k}.pnl"
            with open(name, "w") as f:
                f.write(text)
            # Nets refused alike by both modes (a zero-time cycle, counts
            # that outgrow their counters) prove nothing: only nets the
            # in-process mode runs are compared.
            first = run(["-f", name] + extra)
            if first[0] != 0:
                continue
            tried += 1
            if not compare(name, name, extra, quiet=True, inprocess=first):
                print(text)
                return 1
            agreed += 1
        print(f"random nets: {agreed} compared, all agree")
        return 0
    return 0 if compare(argv[0], argv[0], argv[1:]) else 1


if __name__ == "__main__":
    sys.exit(main())
