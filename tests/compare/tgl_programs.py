#!/usr/bin/env python3
"""Runs two builds of the programs that read TGL on the same graphs and
reports every difference in standard output, standard error or exit status.

  tgl_programs.py OLD_BIN NEW_BIN [RANDOM_GRAPHS]

The graphs: gen_tgl.py's layered, repetitive and pert ones, the CLI test
fixtures, and RANDOM_GRAPHS (default 300) random texts that mix every law,
given names, links written before their tasks, duplicate and undeclared
names, comments, carriage returns, stray characters and broken syntax.
hestrin's date line is masked."""
import glob
import os
import random
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
DATE = re.compile(rb"\d\d \w\w\w \d\d at \d\d:\d\d:\d\d")

LAWS = ["EXP(%s)", "CST(%s)", "BER(%s)", "GEOM(%s)", "GEOSHIFT(%s)", "UNIF(%s, %s)",
        "PARETO(%s, %s)", "LOGNORMAL(%s, %s)", "WEIBULL(%s, %s)", "ONOFF(%s, %s, %s)",
        "HEXP(%s, %s, %s, %s)", "ERL(3, %s)", "DISC(%s, %s)(0.5, 0.5)"]


def number(rng, first):
    # Only a list's first value may be written without a point.
    whole = ["%d" % rng.randint(0, 9)] if first else []
    return rng.choice(whole + ["%.2f" % rng.uniform(0, 5), "1.", "0.5"])


def numbers(rng, count):
    return ", ".join(number(rng, i == 0) for i in range(count))


def law(rng, depth=0):
    if depth < 2 and rng.random() < 0.05:
        return "IPP(%.1f, %s, %s)" % (rng.uniform(0.1, 2), law(rng, depth + 1), law(rng, depth + 1))
    form = rng.choice(LAWS)
    count = form.count("%s")
    # Now and then one value too many or too few: the law builder's warnings.
    count += rng.choice([0] * 8 + [1, -1])
    count = max(count, 1)
    head = form.partition("(")[0]
    if head == "DISC":
        return "DISC(%s)(%s)" % (numbers(rng, count), numbers(rng, count + rng.choice([0, 0, 1, -1])))
    if head == "ERL":
        return "ERL(%d, %s)" % (rng.randint(1, 4), numbers(rng, count))
    return "%s(%s)" % (head, numbers(rng, count))


def random_graph(rng):
    n = rng.randint(1, 12)
    # Names of up to 7 bytes and longer ones are kept apart by the reader.
    t = rng.choice(["t", "t", "abcdef", "a_long_task_name_"])
    names = ["%s%d" % (t, i) for i in range(n)]
    if rng.random() < 0.1:
        names.append("u0")  # never declared
    records = []
    for i in range(n):
        given = " G%d" % i if rng.random() < 0.2 else ""
        records.append("TASK %s%s DURATION %s END" % (names[i], given, law(rng)))
    if rng.random() < 0.1:
        records.append("TASK %s DURATION CST(1.0) END" % rng.choice(names))
    for k in range(rng.randint(0, 3 * n)):
        a, b = rng.choice(names), rng.choice(names)
        sync = rng.choice(["NECESSARY", "NECESSARY", "OPTIONAL"])
        name = "%s%d" % (rng.choice(["l", "link_number_"]), k if rng.random() < 0.9 else 0)
        if rng.random() < 0.3:
            records.append("LINK %s TYPE PROGRAM IS %s FROM %s TO %s DEPTH %d END"
                           % (name, sync, a, b, rng.randint(0, 3)))
        else:
            records.append("LINK %s TYPE DATA IS %s FROM %s TO %s DURATION %s END"
                           % (name, sync, a, b, law(rng)))
    if rng.random() < 0.3:
        rng.shuffle(records)
    text = "\n".join(records) + "\n"
    roll = rng.random()
    if roll < 0.05:
        text = text.replace("\n", "\r\n", rng.randint(1, 3))
    elif roll < 0.10:
        text = "# a comment\n" + text + "# no newline after this"
    elif roll < 0.25:
        # Broken somewhere: a token dropped or doubled, a stray character.
        words = text.split(" ")
        at = rng.randrange(len(words))
        what = rng.choice(["drop", "double", "char"])
        if what == "drop":
            del words[at]
        elif what == "double":
            words.insert(at, words[at])
        else:
            words[at] = words[at] + rng.choice(["-", ".", "@", "\t", "\x01", "-1.0"])
        text = " ".join(words)
    return text


def run(binary, args):
    p = subprocess.run([binary] + args, stdin=subprocess.DEVNULL, capture_output=True, timeout=600)
    return p.returncode, DATE.sub(b"<date>", p.stdout), p.stderr


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    old, new = sys.argv[1], sys.argv[2]
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 300
    tmp = tempfile.mkdtemp(prefix="tglcmp")
    gen = os.path.join(ROOT, "bench", "taskgraph", "gen_tgl.py")
    files = []
    for kind, args in [("layered", ["2000", "6000", "40"]), ("layered", ["300", "900", "300"]),
                       ("repetitive", ["200", "600", "20"]), ("pert", ["500", "1500"]),
                       ("repetitive", ["30", "60", "8"]), ("pert", ["40", "100"])]:
        path = os.path.join(tmp, "%s_%s.tgl" % (kind, "_".join(args)))
        with open(path, "w") as f:
            subprocess.run([sys.executable, gen, kind] + args, stdout=f, check=True)
        files.append(path)
    files += sorted(glob.glob(os.path.join(ROOT, "tests/cli/*/fixtures/*.tgl")))
    rng = random.Random(11)
    for i in range(count):
        path = os.path.join(tmp, "random%03d.tgl" % i)
        with open(path, "w", newline="") as f:
            f.write(random_graph(rng))
        files.append(path)
    runs = [("lustrem", []), ("hestrin", []), ("hestrin", ["-debug"]),
            ("elbrand", ["-nevt", "300"]), ("elbrand", ["-debug"])]
    differ = 0
    checked = 0
    for path in files:
        for prog, extra in runs:
            args = ["-f", path] + extra
            a = run(os.path.join(old, prog), args)
            b = run(os.path.join(new, prog), args)
            checked += 1
            if a != b:
                differ += 1
                what = [k for k, x, y in zip(("status", "stdout", "stderr"), a, b) if x != y]
                print("DIFFER %s %s: %s" % (prog, " ".join(args), ", ".join(what)))
    print("%d runs over %d files, %d differ (files in %s)" % (checked, len(files), differ, tmp))
    sys.exit(1 if differ else 0)


if __name__ == "__main__":
    main()
