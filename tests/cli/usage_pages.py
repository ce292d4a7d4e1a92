#!/usr/bin/env python3
"""Checks that a program's page marks the options its usage text leaves out.

usage: usage_pages.py --root DIR --bin DIR PROGRAM...
The options of the page are those of its command line (the first code block
that starts with the program's name); those of the usage are the words
"-x" (and "[?]", read as "-?") of what "PROGRAM -h" prints. Every option of
the page that the usage does not show must be named, in backticks, in the
page's paragraph that starts "The usage text (`-h`) leaves out" (up to its
first ";"); an option named there must indeed be missing from the usage.
"--mention PROGRAM:WORD" asks that the page name WORD in backticks (a word
the program hands to another one, say)."""
import argparse
import os
import re
import subprocess
import sys

OPTION = re.compile(r"(?<![\w-])-[A-Za-z?][A-Za-z0-9_]*")
MARK = "The usage text (`-h`) leaves out"


def page_options(text, prog):
    for block in re.findall(r"```[a-z]*\n(.*?)```", text, re.S):
        line = block.strip().splitlines()[0] if block.strip() else ""
        if line.startswith(prog + " "):
            return set(OPTION.findall(line))
    return None


def marked_options(text):
    for para in re.split(r"\n\s*\n", text):
        para = para.lstrip()
        if para.startswith(MARK):
            listed = para[len(MARK):].split(";")[0]
            return set(re.findall(r"`(-[^`\s]+)`", listed))
    return set()


def usage_options(bindir, prog):
    run = subprocess.run([os.path.join(bindir, prog), "-h"], stdin=subprocess.DEVNULL,
                         capture_output=True, text=True, timeout=30)
    text = run.stdout + run.stderr
    found = set(OPTION.findall(text))
    if "[?]" in text:
        found.add("-?")
    return found


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--root", required=True)
    ap.add_argument("--bin", required=True)
    ap.add_argument("--mention", action="append", default=[])
    ap.add_argument("programs", nargs="+")
    a = ap.parse_args()
    bad = []
    for m in a.mention:
        prog, _, word = m.partition(":")
        text = open(os.path.join(a.root, "docs", "programs", prog + ".md"), encoding="utf-8").read()
        if f"`{word}`" not in text:
            bad.append(f"{prog}: the page does not say what {word} is")
    for prog in a.programs:
        text = open(os.path.join(a.root, "docs", "programs", prog + ".md"), encoding="utf-8").read()
        page = page_options(text, prog)
        if page is None:
            bad.append(f"{prog}: no command line on the page")
            continue
        usage = usage_options(a.bin, prog)
        missing = page - usage
        marked = marked_options(text)
        if missing - marked:
            bad.append(f"{prog}: not in the usage and not marked: {sorted(missing - marked)}")
        if marked - missing:
            bad.append(f"{prog}: marked but in the usage or not on the page: {sorted(marked - missing)}")
    for line in bad:
        print(line)
    return 1 if bad else 0


sys.exit(main())
