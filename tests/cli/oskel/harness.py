#!/usr/bin/env python3
"""Compile an equational module written by oskel with the simulation library
(build/lib/valtor) and drive it as the discrete-event program does.

usage: harness.py MODULE TICKS [K:CLASS ...] [--trace] [--compile-only] [--final-y]

Before tick K (0-based) the token of each K:CLASS argument enters through
Arrival(CLASS), CLASS being a class macro of the module such as CL_T0_P1.
Each tick is Increment() followed by Next_Departure() until it returns null;
the harness prints one line per tick:
  K: Z=<completed firings per transition> [R<t>=<source count> ...]
then, when tokens leave, a line "  -> <object> [x<n>] ..." (n repeats of one
object in a row), and at the end the module's Report_Stat (with --final-y
instead the initiated firings of every transition at the last tick,
"Y: <counts>").
"""
import os
import re
import shutil
import subprocess
import sys


def main():
    args = sys.argv[1:]
    trace = "--trace" in args
    compile_only = "--compile-only" in args
    final_y = "--final-y" in args
    args = [a for a in args if not a.startswith("--")]
    module, ticks, arrivals = args[0], int(args[1]), args[2:]
    text = open(module, encoding="utf-8", errors="replace").read()
    here = os.path.dirname(os.path.abspath(__file__))
    standin = os.path.normpath(os.path.join(here, "..", "..", "..", "src", "valtor", "include"))
    # The library of the build tree whose programs the test runs.
    library = os.path.join(os.path.dirname(shutil.which("oskel")), "..", "lib", "valtor", "libvaltor.a")

    def define(name):
        m = re.search(r"^#define %s\t(\d+)$" % name, text, re.M)
        return int(m.group(1)) if m else None

    nt, bs = define("NB_TRANS"), define("BUF_SIZE")
    novaltor = "typedef char Routing_Server;" in text
    # The module declares each receiving object with the type the program
    # gives it.
    objects = sorted(set(re.findall(
        r"^extern (Tamrick_Routing|Tamrick_Server_Normal_FIFO)\t\*((?:Place|Trans|Dum_P\d+_T)_?\d+);$",
        text, re.M)), key=lambda o: o[1])
    sources = sorted(set(int(x) for x in re.findall(r"^int\tR_(\d+)\[", text, re.M)))
    h = ["#include <stdio.h>", "#include <iostream.h>"]
    if novaltor:
        h.append("typedef char Routing_Server;")
    else:
        h.append('#include "Routing_Server.hh"')
    h.append("bool Trace = %s;" % ("true" if trace else "false"))
    for kind, o in objects:
        h.append('#include "%s.hh"' % kind)
        args = "0.0" if kind == "Tamrick_Routing" else "0.0, 1"
        h.append('%s *%s = new %s(%s);' % (kind, o, kind, args))
    h.append("static void name_objects() {")
    h += ['  %s->set_name("%s");' % (o, o) for _, o in objects]
    h.append("}")
    h += ["extern int Z[%d][%d];" % (bs, max(nt, 0)), "extern int EQ_Time;"]
    h += ["extern int R_%d[%d];" % (s, bs) for s in sources]
    h += ["void Init();", "void Increment();", "Routing_Server *Next_Departure();",
          "void Arrival(int, double);", "void Report_Stat(ostream &);", "void Terminate();",
          "int main() {", "  name_objects();", "  Init();"]
    schedule = {}
    for a in arrivals:
        k, cl = a.split(":")
        m = re.search(r"^#define %s\t(\d+)$" % re.escape(cl), text, re.M)
        if not m:
            sys.exit("no class %s in the module" % cl)
        schedule.setdefault(int(k), []).append(m.group(1))
    for k in range(ticks):
        for cl in schedule.get(k, []):
            h.append("  Arrival(%s, %d.0);" % (cl, k))
        h.append("  Increment();")
        h.append("  { int s = ( EQ_Time + %d ) %% %d;" % (bs - 1, bs))
        h.append('    printf("%d: Z=");' % k)
        for t in range(nt):
            h.append('    printf("%s%%d", Z[s][%d]);' % (" " if t else "", t))
        for s in sources:
            h.append('    printf(" R%d=%%d", R_%d[s]);' % (s, s))
        h.append('    printf("\\n");')
        h.append("    Routing_Server *r;")
        if novaltor:
            h.append("    r = Next_Departure();")
        else:
            h.append("    const char *last = 0; int n = 0, any = 0;")
            h.append("    while ( ( r = Next_Departure() ) != 0 ) {")
            h.append("      if ( last && strcmp( last, r->get_name() ) == 0 ) { n++; continue; }")
            h.append('      if ( last ) { printf(" %s", last); if ( n > 1 ) printf(" x%d", n); }')
            h.append('      else printf("  ->");')
            h.append("      last = r->get_name(); n = 1; any = 1; }")
            h.append('    if ( last ) { printf(" %s", last); if ( n > 1 ) printf(" x%d", n); }')
            h.append('    if ( any ) printf("\\n");')
        h.append("  }")
    if final_y:
        h += ["  extern int Y[%d][%d];" % (bs, max(nt, 0)),
              "  { int s = ( EQ_Time + %d ) %% %d;" % (bs - 1, bs), '    printf("Y:");']
        h += ['    printf(" %%d", Y[s][%d]);' % t for t in range(nt)]
        h += ['    printf("\\n"); }']
    else:
        h += ["  fflush(stdout);", "  Report_Stat(cout);"]
    h += ["  Terminate();", "  return 0;", "}"]
    with open("harness.cc", "w") as f:
        f.write("\n".join(h) + "\n")
    cmd = ["g++", "-std=gnu++98", "-w", "-I", standin, "-x", "c++", module]
    if compile_only:
        cmd += ["-c", "-o", "module.o"]
    else:
        cmd += ["-x", "none", "harness.cc", library, "-o", "harness_sim"]
    r = subprocess.run(cmd, capture_output=True, text=True)
    if r.returncode != 0:
        sys.stdout.write(r.stdout + r.stderr)
        print("compilation failed")
        return 1
    if compile_only:
        print("compiled")
        return 0
    r = subprocess.run(["./harness_sim"], capture_output=True, text=True)
    sys.stdout.write(r.stdout)
    sys.stderr.write(r.stderr)
    return r.returncode


if __name__ == "__main__":
    sys.exit(main())
