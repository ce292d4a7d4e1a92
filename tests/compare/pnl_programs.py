#!/usr/bin/env python3
"""Runs the programs that read PNL from two builds on the same nets and
reports every difference in what they print, write or return:
  pnl_programs.py OLD_BIN_DIR NEW_BIN_DIR [RANDOM_NETS [SEED]]
The nets are the examples (and cut and garbled copies of them), the test
fixtures, the benchmark nets (small) and random nets with every construct of
the language, good and bad ones."""
import glob
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))

# Program and arguments after "-f NET"; each run in a fresh folder.
RUNS = [
    ("quanter", ["-tmax", "30"]),
    ("quanter", ["-tmax", "5", "-debug"]),
    ("tarvin", []),
    ("tarvin", ["-zel", "-debug"]),
    ("oskel", ["-tmax", "5"]),
    ("oskel", ["-tmax", "5", "-quelm", "-class"]),
    ("felwick", ["-tmax", "5"]),
    ("prennic", []),
    ("wembric", []),
    ("wembric", ["-debug"]),
    ("kessart", ["-mode", "dot", "-debug"]),
    ("kessart", ["-mode", "sorvic", "-fullname"]),
    ("lorvat", ["-flatten"]),
    ("lorvat", ["-determinize"]),
    ("brodel", ["-check"]),
    ("sabrel", []),
    ("alvorn", []),
]

# What differs from one run to the next: dates and measured times.
DATE = re.compile(r"\d{1,2}:\d{2}:\d{2}|\b(Mon|Tue|Wed|Thu|Fri|Sat|Sun)\b.*\d{4}|"
                  r"execution time: .*")


def law(rng, depth=0):
    r = lambda: f"{rng.choice([0, 0.5, 1, 2, 3.25, 10])}.{rng.randint(0, 9)}"
    k = rng.choice("EECCBgGRULpWDHO" + ("P" if depth < 2 else ""))
    n = rng.choice([0, 1, 1, 1, 2, 3])
    if k == "R":
        return f"R {rng.randint(0, 4)} " + " ".join(r() for _ in range(n))
    if k == "D":
        m = rng.randint(1, 3)
        return ("D [ " + " ".join(r() for _ in range(m)) + " ] [ "
                + " ".join(r() for _ in range(m + rng.choice([-1, 0, 0, 1]))) + " ]")
    if k == "H":
        return "H " + " ".join(r() for _ in range(rng.choice([1, 2, 4])))
    if k == "P":
        return (f"IPP [ {r()} , " + " , ".join(law(rng, depth + 1) for _ in range(rng.choice([1, 2, 2, 3])))
                + " ]")
    if rng.random() < 0.1:
        return f"{k} [ {r()} REP {rng.randint(0, 3)} ]"
    return k + " " + " ".join(r() for _ in range(n))


def text(rng, what):
    return f'"{what}{rng.randint(0, 99)}"' if rng.random() < 0.5 else ""


def arcs(rng, other_kind, count):
    out = []
    for _ in range(rng.choice([0, 1, 1, 2, 3])):
        d = rng.randint(1, count + (1 if rng.random() < 0.05 else 0))
        a = rng.choice(["", "", other_kind + " ", ("P " if other_kind == "T" else "T ")
                        if rng.random() < 0.05 else ""]) + str(d)
        if rng.random() < 0.2:
            a += f" {rng.randint(1, 3)}"
        if rng.random() < 0.2:
            a += f' "a{rng.randint(0, 9)}"'
        if rng.random() < 0.1:
            a += " I"
        out.append(a)
    return out


def random_net(rng):
    nt, np_ = rng.randint(1, 8), rng.randint(1, 8)
    lines = [f"Transitions <- {nt}", f"Places <- {np_}"]
    if rng.random() < 0.05:
        lines.append("Duree <- 10")
    objs = []
    for i in range(1, nt + 1):
        head = (f"[ {rng.randint(0, 3)} ] " if rng.random() < 0.1 else "") + f"T {i}"
        names = " ".join(x for x in (text(rng, "t"), text(rng, "d") if rng.random() < 0.3 else "") if x)
        a = arcs(rng, "P", np_)
        objs.append(f"{head} {names} {law(rng)}" + "".join(" , " + x for x in a) + " ;")
    for j in range(1, np_ + 1):
        head = f"P {j} " + text(rng, "p")
        tokens = rng.choice([0, 0, 1, 2, 3])
        lags = " ".join(f"{rng.randint(0, 3)}.5" for _ in range(max(0, tokens + rng.choice([-1, 0, 0, 0, 1]))))
        if tokens and rng.random() < 0.1:
            lags = f"[ 1.5 REP {tokens} ]"
        routing = ""
        c = rng.random()
        if c < 0.15:
            routing = "Random [ " + " ".join(f"0.{rng.randint(1, 9)}" for _ in range(rng.randint(0, 3))) + " ]"
        elif c < 0.25:
            routing = "Cyclic [ " + " ".join(f"T {rng.randint(1, nt)}" for _ in range(rng.randint(0, 3))) + " ]"
        elif c < 0.3:
            routing = "Competition Priority [ " + " ".join(str(rng.randint(1, nt)) for _ in range(rng.randint(1, 3))) + " ]"
        elif c < 0.35:
            routing = "Competition"
        a = arcs(rng, "T", nt)
        objs.append(f"{head} {law(rng)} {tokens} {lags} {routing}" + "".join(" , " + x for x in a) + " ;")
    rng.shuffle(objs)
    if rng.random() < 0.05 and objs:
        objs.pop()  # an undefined object
    if rng.random() < 0.05 and objs:
        objs.append(objs[0])  # a repeated one
    return "\n".join(lines + objs) + "\n"


def composed_net(rng):
    """A net with a submodel, its exports and bindings; returns (top, sub)."""
    sub = ("Transitions <- 2\nPlaces <- 2\n"
           "T 1 \"in\" E 1.0 , 1 ;\nT 2 C 0.5 , 2 ;\n"
           "P 1 C 0.0 1 0.5 , 2 ;\nP 2 C 0.0 0 , 1 ;\n"
           "Export\nIN 1 IS P 1 ;\nOUT 1 IS T 2 ;\n")
    k = rng.randint(1, 3)
    top = [f"Transitions <- {k}", f"Places <- {k}"]
    top += [f'Submodel {i} "s{i}" FILE "sub.pnl" ;' for i in range(1, k + 1)]
    top += [f"T {i} E 1.{i} , S {i} / IN 1 ;" for i in range(1, k + 1)]
    top += [f"P {i} C 0.0 {1 if i == 1 else 0} , {i} ;" for i in range(1, k + 1)]
    top += [f"S {i} / OUT 1 , {i} ;" for i in range(1, k + 1)]
    if rng.random() < 0.5:
        top += ["Export", "IN 1 IS P 1 ;"]
    return "\n".join(top) + "\n", sub


def run(bindir, prog, args, net_dir, net):
    work = tempfile.mkdtemp(prefix="pnlmem_cmp_")
    try:
        for f in os.listdir(net_dir):
            shutil.copy(os.path.join(net_dir, f), work)
        try:
            p = subprocess.run([os.path.join(bindir, prog), "-f", net] + args, cwd=work,
                               capture_output=True, timeout=60, env=dict(os.environ, PNL_PATH=work))
            w = work.encode()
            out = (p.returncode, p.stdout.replace(w, b"<work>"), p.stderr.replace(w, b"<work>"))
        except subprocess.TimeoutExpired:
            out = ("timeout", b"", b"")
        files = {}
        for root, _, names in os.walk(work):
            for n in names:
                path = os.path.join(root, n)
                rel = os.path.relpath(path, work)
                with open(path, "rb") as f:
                    files[rel] = f.read().replace(work.encode(), b"<work>")
        return out, files
    finally:
        shutil.rmtree(work, ignore_errors=True)


def masked(b):
    return DATE.sub("<date>", b.decode("latin-1"))


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    old, new = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 60
    rng = random.Random(int(sys.argv[4]) if len(sys.argv) > 4 else 1)
    base = tempfile.mkdtemp(prefix="pnlmem_nets_")
    cases = []  # (folder, net file)

    def add(name, files):
        d = os.path.join(base, name)
        os.makedirs(d)
        for fn, body in files.items():
            with open(os.path.join(d, fn), "w") as f:
                f.write(body)
        cases.append((d, next(iter(files))))

    for path in sorted(glob.glob(os.path.join(ROOT, "examples", "*.pnl")) +
                       glob.glob(os.path.join(ROOT, "tests", "cli", "*", "fixtures", "*.pnl"))):
        d = os.path.join(base, f"fixture{len(cases)}")
        shutil.copytree(os.path.dirname(path), d,
                        ignore=lambda _, names: [n for n in names if not n.endswith(".pnl")])
        cases.append((d, os.path.basename(path)))
    # Cut and garbled copies of the examples, for the syntax error messages
    # (drawn apart, so that the random nets of a seed stay the same).
    cut_rng = random.Random(0)
    for path in sorted(glob.glob(os.path.join(ROOT, "examples", "*.pnl"))):
        with open(path, encoding="latin-1") as f:
            body = f.read()
        stem = os.path.basename(path)[:-4]
        cuts = {"cut1": body[:len(body) // 3], "cut2": body[:2 * len(body) // 3]}
        at = cut_rng.randrange(len(body)) if body else 0
        cuts["garbled"] = body[:at] + cut_rng.choice([";", "[", "\"", "T", "-", "<-", "E"]) + body[at:]
        for kind, cut in cuts.items():
            add(f"{kind}_{stem}", {"net.pnl": cut})
    d = os.path.join(base, "bench")
    subprocess.run([sys.executable, os.path.join(ROOT, "bench", "pnl_reader", "gen.py"), d, "300", "5"], check=True)
    cases += [(d, "ring.pnl"), (d, "instances.pnl")]
    for i in range(count):
        if i % 5 == 4:
            top, sub = composed_net(rng)
            add(f"composed{i}", {"top.pnl": top, "sub.pnl": sub})
        else:
            add(f"random{i}", {"net.pnl": random_net(rng)})

    differ = 0
    for d, net in cases:
        for prog, args in RUNS:
            a = run(old, prog, args, d, net)
            b = run(new, prog, args, d, net)
            same = (a[0][0] == b[0][0] and masked(a[0][1]) == masked(b[0][1]) and
                    masked(a[0][2]) == masked(b[0][2]) and a[1].keys() == b[1].keys() and
                    all(masked(a[1][k]) == masked(b[1][k]) for k in a[1]))
            if not same:
                differ += 1
                print(f"DIFFERENT: {prog} {' '.join(args)} on {os.path.join(d, net)}")
    total = len(cases) * len(RUNS)
    print(f"{total - differ} of {total} runs identical ({len(cases)} nets)")
    if differ == 0:
        shutil.rmtree(base, ignore_errors=True)
    sys.exit(1 if differ else 0)


if __name__ == "__main__":
    main()
