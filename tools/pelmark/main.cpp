// pelmark: writes a stand-alone C program that simulates an interaction
// graph: at every step one node is drawn with its probability, its height
// grows by one and each successor takes the larger of its own height and the
// new one. The program prints each node's height divided by the steps.
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "generate.h"
#include "maxplus/interaction_graph.h"

namespace {

using namespace orv::mp;

constexpr const char* PROG = "pelmark";
constexpr const char* VERSION = "1.1";

void usage() {
  std::printf("Usage: %s [-f <file>] [-o <file>]", PROG);
  std::printf(" [-nevt <int>] [-h] [-?]\n");
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(PROG);
  orv::Args args(argc, argv, PROG);
  const orv::Args::Standard standard{usage, VERSION};
  std::string file, out_name;
  int steps = 100000;
  while (args.next()) {
    if (args.is("-f")) {
      args.take_input(file);
    } else if (args.is("-o")) {
      args.take_string(out_name);
    } else if (args.is("-nevt")) {
      if (!args.take_int(steps)) continue;
      if (steps < 0) {
        std::printf("%s: integer expected after %s\n", PROG, "-nevt");
        args.fail();
      }
    } else if (args.is("-debug")) {
      Debug = 1;
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);

  Interaction_Graph G = Read_Interaction_Graph(stdin);
  if (!G) {
    std::fprintf(stderr, "%s: bad input data. No code generation.\n", PROG);
    return out.finish(-2);
  }
  if (Debug) Write_Boolean_Matrix(G->A, stdout);
  sort_probas(*G);
  if (!out_name.empty() && !out.redirect_stdout(out_name, false)) {
    std::fprintf(stderr, "%s: error opening file %s\n", PROG, out_name.c_str());
    out.report_open_failure(out_name);
    return out.finish(-1);
  }
  gen_c_code(stdout, *G, steps);
  return out.finish(0);
}
