// felwick: writes a whole Petri net as a discrete-event program for the
// simulation class library, with its makefile and, on request, the plot
// script.
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "petri/pnl_reader.h"
#include "run.h"

namespace {

using felwick::kProg;

void usage() {
  std::printf("Usage: %s [-f <file>] ", kProg);
  std::printf("[-o <file>] [-kemp] [-O <int>] [-tmax <int>]\n\t");
  std::printf("[-nostats] ");
  std::printf("[-debug ] [-h] [?]\n");
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(kProg, -2);
  orv::Args args(argc, argv, kProg);
  felwick::Options o;
  const orv::Args::Standard standard{usage};
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(o.file);
    } else if (args.is("-o")) {
      args.take_string(o.code_file);
    } else if (args.is("-tmax")) {
      args.take_int(o.tmax);
    } else if (args.is("-O")) {
      if (args.take_int(o.opt_level)) o.gen.Optimize = 1;
    } else if (args.is("-debug")) {
      orv::pn::Debug = 1;
    } else if (args.is("-kemp")) {
      o.gen.Kemp = 1;
    } else if (args.is("-nostats")) {
      o.gen.No_Stats = 1;
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);
  return out.finish(felwick::Run(o, out));
}
