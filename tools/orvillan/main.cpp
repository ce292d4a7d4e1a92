// orvillan: turns an interaction graph with equal weights into a heap of
// pieces, one column per clique (edge or triangle) of a cover of its edges.
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "heap.h"

namespace {

constexpr const char* PROG = "orvillan";
constexpr const char* VERSION = "1.1";

void usage() {
  std::printf("Usage: %s [-f <file>] [-o <file>]", PROG);
  std::printf(" [-maxsize <int>] [-optimize] [-greedy]");
  std::printf("\n\t[-debug] [-h] [-?]\n");
}

}  // namespace

int main(int argc, char** argv) {
  using namespace orv::mp;
  orv::Output_Guard out(PROG);
  orv::Args args(argc, argv, PROG);
  const orv::Args::Standard standard{usage, VERSION};
  std::string file, out_name;
  int max_size = 2;
  bool optimize = false;
  bool greedy = false;
  while (args.next()) {
    if (args.is("-f")) {
      args.take_input(file, "%s: error opening file %s\n");
    } else if (args.is("-o")) {
      args.take_string(out_name);
    } else if (args.is("-maxsize")) {
      args.take_int(max_size);
    } else if (args.is("-optimize")) {
      optimize = true;
    } else if (args.is("-greedy")) {
      greedy = true;
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
    std::fprintf(stderr, "%s: bad input data. No translation.\n", PROG);
    return out.finish(-2);
  }
  if (!Is_Uniform(*G)) {
    std::fprintf(stderr, "%s: weights are not uniform. Cannot translate.\n", PROG);
    return out.finish(-4);
  }
  Tetris T = Interaction_To_Heap(*G, max_size, optimize, greedy);
  if (!T) return out.finish(-5);
  if (!out_name.empty() && !out.redirect_stdout(out_name, false)) {
    std::fprintf(stderr, "%s: error opening file %s\n", PROG, out_name.c_str());
    out.report_open_failure(out_name);
    return out.finish(-1);
  }
  Write_Tetris(*T, stdout);
  return out.finish(0);
}
