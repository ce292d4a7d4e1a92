#!/usr/bin/env python3
"""Run one case of a program's table (tests/cli/<program>/cases.txt).

A table is a list of cases, each opened by a line "[name]" and followed by
"key: value" lines (blank lines and lines starting with "#" are ignored):

  program: NAME        program to run (default: the table's folder name);
                       looked up on PATH, whose first entry is the build's bin/
  args: WORDS          arguments, split like a POSIX shell
  stdin: FILE          standard input, a file of fixtures/ (default: empty)
  stdout-to: PATH      standard output goes to PATH (e.g. /dev/full) and is not
                       checked
  env: NAME=VALUE      set a variable (repeatable)
  unset: NAME          remove a variable (repeatable)
  setup: COMMAND       a shell command run in the scratch folder first
  status: N            expected exit status (default 0; -1 means 255)
  stdout: FILE         expected standard output, a file of expected/
  stdout-text: TEXT    expected standard output inline (\\n, \\t, \\\\ escapes)
  stderr: / stderr-text:  the same for standard error
                       (neither given: the stream must be empty; "stdout: *"
                       leaves it unchecked)
  file: OUT = FILE     the program must have written OUT, equal to expected/FILE
                       (OUT may be a pattern, such as "work/run.*/net.pnl",
                       that matches exactly one name)
  nofile: OUT          OUT must not exist after the run (a pattern in its
                       last part, such as "dir/*", matches no name there,
                       hidden ones included)
  as-user: NAME        run the program as user NAME (its own group, no
                       others) through setpriv; the case is skipped (status
                       77) unless the runner is root, setpriv is found and
                       the user can reach the scratch folder and bin/
  timeout: SECONDS     how long the program may run (default 120)
  label: NAME          a ctest label; rows labelled "long" (full random
                       batches) are left out of scripts/test and run with
                       "ctest -L long", best in the Release tree

In values, @SCRATCH@, @FIXTURES@, @BIN@, @PATH@ (the PATH the runner
starts with) and @EXAMPLES@ (the project's examples/ folder) are replaced. In expected texts, a line "<<ANY>>" matches any one
line, and a line "<<RE>>pattern" matches a line the regular expression matches
whole. The case runs in a fresh scratch folder holding a copy of fixtures/.
"""
import argparse
import difflib
import fnmatch
import glob
import os
import pwd
import re
import shlex
import shutil
import subprocess
import sys


def parse_table(path):
    cases, cur, name = {}, None, None
    with open(path, encoding="utf-8") as f:
        for lineno, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            m = re.fullmatch(r"\[([A-Za-z0-9_.+-]+)\]", line)
            if m:
                name = m.group(1)
                if name in cases:
                    sys.exit(f"{path}:{lineno}: case {name} twice")
                cur = cases[name] = []
                continue
            if cur is None or ":" not in line:
                sys.exit(f"{path}:{lineno}: expected [case] or key: value")
            key, _, value = line.partition(":")
            cur.append((key.strip(), value[1:] if value.startswith(" ") else value))
    return cases


def unescape(text):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            n = text[i + 1]
            out.append({"n": "\n", "t": "\t", "\\": "\\", "r": "\r"}.get(n, "\\" + n))
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def lines_match(expected, actual):
    exp = expected.split("\n")
    act = actual.split("\n")
    if len(exp) != len(act):
        return False
    for e, a in zip(exp, act):
        if e == "<<ANY>>":
            continue
        if e.startswith("<<RE>>"):
            if not re.fullmatch(e[6:], a):
                return False
        elif e != a:
            return False
    return True


def report(what, expected, actual):
    print(f"--- {what} differs")
    diff = difflib.unified_diff(expected.splitlines(True), actual.splitlines(True),
                                "expected", "actual")
    sys.stdout.writelines(d if d.endswith("\n") else d + "\\ (no newline)\n" for d in diff)
    print()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--dir", required=True)
    ap.add_argument("--case", required=True)
    ap.add_argument("--bin", required=True)
    ap.add_argument("--scratch", required=True)
    opt = ap.parse_args()
    # The case runs in its scratch folder: paths given relative to where the
    # runner started must not change meaning there.
    opt.dir = os.path.abspath(opt.dir)
    opt.bin = os.path.abspath(opt.bin)

    table = parse_table(os.path.join(opt.dir, "cases.txt"))
    if opt.case not in table:
        sys.exit(f"no case {opt.case}")
    fixtures = os.path.join(opt.dir, "fixtures")
    expected_dir = os.path.join(opt.dir, "expected")
    scratch = os.path.abspath(opt.scratch)
    shutil.rmtree(scratch, ignore_errors=True)
    if os.path.isdir(fixtures):
        shutil.copytree(fixtures, scratch, symlinks=True)
    else:
        os.makedirs(scratch)

    orig_path = os.environ.get("PATH", "/usr/bin:/bin")
    subst = {"@SCRATCH@": scratch, "@FIXTURES@": fixtures, "@BIN@": opt.bin,
             "@PATH@": orig_path,
             "@EXAMPLES@": os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples")}

    def expand(v):
        for k, s in subst.items():
            v = v.replace(k, s)
        return v

    env = dict(os.environ)
    env["PATH"] = opt.bin + os.pathsep + orig_path
    env.setdefault("TZ", "UTC")
    env["LC_ALL"] = "C"
    program = os.path.basename(os.path.normpath(opt.dir))
    args, stdin_file, setups, stdout_to = [], None, [], None
    want = {"status": 0, "stdout": "", "stderr": ""}
    files, nofiles = [], []
    timeout = 120
    as_user = None

    def read_expected(name):
        with open(os.path.join(expected_dir, name), encoding="utf-8", errors="surrogateescape") as f:
            return f.read()

    for key, value in table[opt.case]:
        if key == "program":
            program = value
        elif key == "args":
            args = [expand(a) for a in shlex.split(value)]
        elif key == "stdin":
            stdin_file = os.path.join(scratch, value)
        elif key == "stdout-to":
            stdout_to = expand(value)
            want["stdout"] = None
        elif key == "env":
            k, _, v = value.partition("=")
            env[k] = expand(v)
        elif key == "unset":
            env.pop(value, None)
        elif key == "setup":
            setups.append(expand(value))
        elif key == "status":
            want["status"] = int(value) % 256
        elif key in ("stdout", "stderr"):
            want[key] = None if value == "*" else read_expected(value)
        elif key in ("stdout-text", "stderr-text"):
            want[key[:6]] = unescape(value)
        elif key == "file":
            out, _, exp = value.partition("=")
            files.append((out.strip(), exp.strip()))
        elif key == "nofile":
            nofiles.append(value.strip())
        elif key == "as-user":
            as_user = value.strip()
        elif key == "timeout":
            timeout = float(value)
        elif key == "label":
            pass  # read by tests/cli/CMakeLists.txt
        else:
            sys.exit(f"unknown key {key!r} in case {opt.case}")

    command = [program] + args
    if as_user is not None:
        setpriv = shutil.which("setpriv")
        try:
            user = pwd.getpwnam(as_user)
        except KeyError:
            user = None
        if os.geteuid() != 0 or setpriv is None or user is None:
            print(f"skipped: running as {as_user} needs root, setpriv and the user")
            return 77
        as_prefix = [setpriv, f"--reuid={user.pw_uid}", f"--regid={user.pw_gid}", "--clear-groups"]
        # A build under a folder the user cannot enter cannot be tested so.
        probe = subprocess.run(as_prefix + ["/bin/sh", "-c", 'cd "$1" && [ -x "$2" ]', "sh",
                                            scratch, opt.bin], env=env, stderr=subprocess.DEVNULL)
        if probe.returncode != 0:
            print(f"skipped: {as_user} cannot reach {scratch} or {opt.bin}")
            return 77
        command = as_prefix + command

    for cmd in setups:
        subprocess.run(cmd, shell=True, cwd=scratch, env=env, check=True)

    stdin = open(stdin_file, "rb") if stdin_file else subprocess.DEVNULL
    out_to = open(stdout_to, "wb") if stdout_to else subprocess.PIPE
    try:
        proc = subprocess.run(command, cwd=scratch, env=env, stdin=stdin,
                              stdout=out_to, stderr=subprocess.PIPE, timeout=timeout)
    except FileNotFoundError:
        print(f"program {program} not found on {env['PATH']}")
        return 1
    finally:
        if stdin_file:
            stdin.close()
        if stdout_to:
            out_to.close()

    ok = True
    status = proc.returncode % 256
    if status != want["status"]:
        print(f"--- exit status {status}, expected {want['status']}")
        ok = False
    for stream, data in (("stdout", proc.stdout), ("stderr", proc.stderr)):
        if data is None:
            continue
        text = data.decode("utf-8", errors="surrogateescape")
        if want[stream] is not None and not lines_match(want[stream], text):
            report(stream, want[stream], text)
            ok = False
    for out, exp in files:
        path = os.path.join(scratch, out)
        if glob.has_magic(out):
            found = glob.glob(os.path.join(glob.escape(scratch), out))
            path = found[0] if len(found) == 1 else path
        if not os.path.exists(path):
            print(f"--- file {out} was not written")
            ok = False
            continue
        with open(path, encoding="utf-8", errors="surrogateescape") as f:
            text = f.read()
        expected = read_expected(exp)
        if not lines_match(expected, text):
            report(f"file {out}", expected, text)
            ok = False
    for out in nofiles:
        folder, pattern = os.path.split(os.path.join(scratch, out))
        names = os.listdir(folder) if os.path.isdir(folder) else []
        if os.path.lexists(os.path.join(scratch, out)) or fnmatch.filter(names, pattern):
            print(f"--- file {out} should not exist")
            ok = False
    if not ok:
        print("command:", shlex.join(command), "in", scratch)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
