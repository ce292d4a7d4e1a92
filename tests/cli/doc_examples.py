#!/usr/bin/env python3
"""Keep the reference in docs/ from drifting away from the programs.

For every docs/programs/<prog>.md (programs without a page are skipped):
  - the "## Example" section's first ```sh block holds a line "$ <prog> ARGS";
    the row [doc-example] of tests/cli/<prog>/cases.txt has the same
    arguments and copies the examples folder (setup: cp -r @EXAMPLES@
    examples);
  - the ```text block that follows is that row's expected standard output
    (its `stdout:` file or `stdout-text:`; for a program that prints nothing,
    its one `file:` check), with the runner's line masks (<<ANY>>, <<RE>>);
  - README.md links the page.
For every docs/formats/<format>.md: linked from docs/formats.md; each block
introduced by a line "`examples/NAME`:" is examples/NAME as it is, and some
program's table runs on examples/NAME.

Usage: doc_examples.py --root PROJECT_DIR
"""
import argparse
import glob
import os
import re
import shlex
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from runner import lines_match, parse_table, unescape  # noqa: E402


def blocks(text):
    """(line before the block, language, body) of every fenced block."""
    out, lines, i = [], text.split("\n"), 0
    while i < len(lines):
        m = re.fullmatch(r"```(\w*)", lines[i])
        if m:
            j = i + 1
            while j < len(lines) and lines[j] != "```":
                j += 1
            before = lines[i - 1] if i > 0 else ""
            out.append((before, m.group(1), "\n".join(lines[i + 1:j]) + "\n"))
            i = j + 1
        else:
            i += 1
    return out


def check_program(root, page, readme, errors):
    prog = os.path.splitext(os.path.basename(page))[0]
    where = os.path.relpath(page, root)
    text = open(page, encoding="utf-8").read()
    if f"docs/programs/{prog}.md" not in readme:
        errors.append(f"README.md does not link docs/programs/{prog}.md")
    if "\n## Example\n" not in text:
        errors.append(f"{where}: no '## Example' section")
        return
    example = blocks(text.split("\n## Example\n", 1)[1])
    sh = next((k for k, b in enumerate(example) if b[1] == "sh"), None)
    if sh is None or sh + 1 >= len(example) or example[sh + 1][1] != "text":
        errors.append(f"{where}: the example needs a ```sh block followed by a ```text block")
        return
    command = [l for l in example[sh][2].split("\n") if l == f"$ {prog}" or l.startswith(f"$ {prog} ")]
    if not command:
        errors.append(f"{where}: no line '$ {prog} ...' in the example")
        return
    doc_args = shlex.split(command[0][len(prog) + 2:])
    doc_out = example[sh + 1][2]

    table_dir = os.path.join(root, "tests", "cli", prog)
    table = parse_table(os.path.join(table_dir, "cases.txt"))
    if "doc-example" not in table:
        errors.append(f"tests/cli/{prog}/cases.txt: no [doc-example] row for {where}")
        return
    row = table["doc-example"]
    keys = dict(row)
    row_args = shlex.split(keys.get("args", "").replace("@EXAMPLES@/", "examples/"))
    if row_args != doc_args:
        errors.append(f"{where}: example arguments {doc_args} differ from [doc-example]'s {row_args}")
    if "cp -r @EXAMPLES@ examples" not in keys.get("setup", ""):
        errors.append(f"tests/cli/{prog}/cases.txt: [doc-example] does not copy the examples")
    files = [v for k, v in row if k == "file"]
    if "stdout" in keys:
        expected = open(os.path.join(table_dir, "expected", keys["stdout"]), encoding="utf-8").read()
    elif "stdout-text" in keys:
        expected = unescape(keys["stdout-text"])
    elif len(files) == 1:
        name = files[0].split("=", 1)[1].strip()
        expected = open(os.path.join(table_dir, "expected", name), encoding="utf-8").read()
    else:
        errors.append(f"tests/cli/{prog}/cases.txt: [doc-example] checks no output to show")
        return
    if not lines_match(expected, doc_out):
        errors.append(f"{where}: the example's output is not what [doc-example] expects")


def check_format(root, page, index, tables, errors):
    where = os.path.relpath(page, root)
    rel = os.path.relpath(page, os.path.join(root, "docs"))
    if f"({rel})" not in index:
        errors.append(f"docs/formats.md does not link {rel}")
    shown = 0
    for before, _, body in blocks(open(page, encoding="utf-8").read()):
        m = re.fullmatch(r"`examples/([^`]+)`:", before)
        if not m:
            continue
        shown += 1
        name = m.group(1)
        path = os.path.join(root, "examples", name)
        if not os.path.isfile(path):
            errors.append(f"{where}: examples/{name} does not exist")
            continue
        if open(path, encoding="utf-8").read() != body:
            errors.append(f"{where}: the block differs from examples/{name}")
        if not re.search(r"(@EXAMPLES@|examples)/" + re.escape(name) + r"\b", tables):
            errors.append(f"{where}: no program test reads examples/{name}")
    if shown == 0:
        errors.append(f"{where}: no example from examples/")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--root", required=True)
    root = os.path.abspath(ap.parse_args().root)
    errors = []
    readme = open(os.path.join(root, "README.md"), encoding="utf-8").read()
    pages = sorted(glob.glob(os.path.join(root, "docs", "programs", "*.md")))
    for page in pages:
        check_program(root, page, readme, errors)
    index_path = os.path.join(root, "docs", "formats.md")
    index = open(index_path, encoding="utf-8").read() if os.path.isfile(index_path) else ""
    tables = "".join(open(t, encoding="utf-8").read()
                     for t in glob.glob(os.path.join(root, "tests", "cli", "*", "cases.txt")))
    for page in sorted(glob.glob(os.path.join(root, "docs", "formats", "*.md"))):
        check_format(root, page, index, tables, errors)
    for e in errors:
        print(e)
    print(f"{len(pages)} program pages checked, {len(errors)} problems")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
