// nethric: lower and upper bounds of the growth rate of an interaction graph
// from its weights and arcs, or, for equal weights, from its degrees and the
// spectral radius of its adjacency matrix.
#include <cstdio>
#include <string>

#include "bounds.h"
#include "common/args.h"
#include "common/output_guard.h"

namespace {

constexpr const char* PROG = "nethric";
constexpr const char* VERSION = "1.1";

void usage() {
  std::printf("Usage: %s [-f <file>] [-o <file>]", PROG);
  std::printf(" [-epsilon <real>]");
  std::printf(" [-debug] [-h] [-?]\n");
}

}  // namespace

int main(int argc, char** argv) {
  using namespace orv::mp;
  orv::Output_Guard out(PROG);
  orv::Args args(argc, argv, PROG);
  const orv::Args::Standard standard{usage, VERSION};
  std::string file, out_name;
  double epsilon = 1e-6;
  while (args.next()) {
    if (args.is("-f")) {
      args.take_input(file);
    } else if (args.is("-o")) {
      args.take_string(out_name);
    } else if (args.is("-epsilon")) {
      // The iterations stop on a distance at most this: positive, and fine
      // enough that f^-1 moves at least once (f(0.5) = 0.25).
      if (args.take_real(epsilon) && !(epsilon > 0 && epsilon <= MAX_EPSILON)) {
        std::printf("%s: real expected after %s\n", PROG, "-epsilon");
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
    std::fprintf(stderr, "%s: bad input data. No computation.\n", PROG);
    return out.finish(-2);
  }
  if (!Is_Uniform(*G) && !weights_usable(*G)) {
    std::fprintf(stderr, "%s: bad input data. No computation.\n", PROG);
    return out.finish(-2);
  }
  if (!out_name.empty() && !out.redirect_stdout(out_name)) return out.finish(-1);
  Compute_Bounds(*G, epsilon);
  return out.finish(0);
}
