// morvane: growth rates of the nodes of an interaction graph by simulation,
// in-process on the graph's Bernoulli product, or through a C simulator that
// pelmark generates and gcc compiles (-compile).
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "maxplus/interaction_graph.h"
#include "simulate.h"

namespace {

constexpr const char* PROG = "morvane";
constexpr const char* VERSION = "1.0";

void usage() {
  std::printf("usage: %s [-f inputfile] [-o outputfile] ", PROG);
  std::printf("[-nevt <int>] [-nrep <int>]\n\t[-stats] ");
  std::printf(" [-compile] [-keep]\n\t[-v] [-h] [-help] [-?]\n");
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(PROG);
  orv::Args args(argc, argv, PROG);
  const orv::Args::Standard standard{usage, VERSION, true};
  std::string file, out_name;
  int steps = 100000;
  int replicates = 1;
  bool stats = false, compile = false, keep = false;
  while (args.next()) {
    if (args.is("-f")) {
      args.take_input(file);
    } else if (args.is("-o")) {
      args.take_string(out_name);
    } else if (args.is("-nevt") || args.is("-nrep")) {
      const bool nevt = args.is("-nevt");
      int value = 0;
      if (!args.take_int(value)) continue;
      // Steps may be 0 (nothing printed); the rates are divided by the
      // replications.
      if (value < (nevt ? 0 : 1)) {
        std::printf("%s: integer expected after %s\n", PROG, nevt ? "-nevt" : "-nrep");
        args.fail();
        continue;
      }
      (nevt ? steps : replicates) = value;
    } else if (args.is("-stats")) {
      stats = true;
    } else if (args.is("-compile")) {
      compile = true;
    } else if (args.is("-keep")) {
      keep = true;
    } else if (args.is("-debug")) {
      orv::mp::Debug = 1;
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);

  if (compile) {
    if (replicates != 1 || stats)
      std::fprintf(stderr, "%s: warning: -nrep and -stats apply to the in-process simulation only.\n",
                   PROG);
    return out.finish(Compile_Graph_And_Run(out, out_name, steps, keep));
  }
  return out.finish(Simulate_Graph(out, out_name, steps, replicates, stats));
}
