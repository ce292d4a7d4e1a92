#!/usr/bin/env python3
"""Compile files that oskel wrote against the simulation library's headers
and print "compiled FILE" for each, or the compiler's messages.

usage: compile.py FILE...

The equational module and the discrete-event program are pre-standard C++
(the program's main has no return type): they are compiled as such, with
-fpermissive; class sources use member initialisers and take C++14.
"""
import os
import subprocess
import sys

here = os.path.dirname(os.path.abspath(__file__))
standin = os.path.normpath(os.path.join(here, "..", "..", "..", "src", "valtor", "include"))
status = 0
for f in sys.argv[1:]:
    std = "gnu++14" if f.endswith(".cc") and not f.endswith("main.cc") else "gnu++98"
    cmd = ["g++", "-std=" + std, "-fpermissive", "-w", "-I", standin, "-I", ".",
           "-x", "c++", "-c", f, "-o", os.devnull]
    r = subprocess.run(cmd, capture_output=True, text=True)
    if r.returncode:
        sys.stdout.write(r.stdout + r.stderr)
        print("compilation of %s failed" % f)
        status = 1
    else:
        print("compiled " + f)
sys.exit(status)
