// fennock: writes an event graph as the four C fragments that yarrisk's
// simulator skeleton includes: its sizes, its tables (laws, lags, inputs in
// evaluation order, draw order), and the two steps of the dater recursion.
//
//   fennock -f <egl> -tmp <dir> [-from <int> -to <int>] -nevt <int>
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "eventgraph/egl_reader.h"
#include "eventgraph/topology.h"
#include "fragments.h"

namespace {

const char* const PROG = "fennock";

void usage() {
  std::printf("Usage: %s -f <file> -tmp <dir> [-from <int> -to <int>] -nevt <int>\n", PROG);
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(PROG, 1);
  orv::Args args(argc, argv, PROG, stderr);
  std::string file, dir;
  int nevt = 1000, from = -1, to = -1;
  const orv::Args::Standard standard{usage, nullptr};
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(file);
    } else if (args.is("-tmp")) {
      args.take_string(dir);
    } else if (args.is("-nevt")) {
      args.take_int(nevt);
    } else if (args.is("-from")) {
      args.take_int(from);
    } else if (args.is("-to")) {
      args.take_int(to);
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(1);
  if (args.done()) return out.finish(0);
  if (dir.empty()) {
    std::fprintf(stderr, "%s: error: no work directory (-tmp)\n", PROG);
    return out.finish(1);
  }
  if (nevt < 0) {
    std::fprintf(stderr, "%s: error: negative number of events (%d)\n", PROG, nevt);
    return out.finish(1);
  }

  orv::EventGraphPtr g = orv::eg::Read_Network(file);
  if (!g) {
    std::fprintf(stderr, "%s: error: cannot read the event graph %s\n", PROG, file.c_str());
    return out.finish(1);
  }
  if (!orv::eg::topological_analysis(*g)) {
    std::fprintf(stderr, "%s: error: the event graph is not live\n", PROG);
    return out.finish(1);
  }
  if ((from != -1 || to != -1) &&
      (from < 1 || from > g->Size || to < 1 || to > g->Size)) {
    std::fprintf(stderr, "%s: error: -from and -to must name transitions 1 to %d\n", PROG,
                 g->Size);
    return out.finish(1);
  }
  if (!fennock::Write_Fragments(out, *g, dir, nevt, from, to)) return out.finish(1);
  return out.finish(0);
}
