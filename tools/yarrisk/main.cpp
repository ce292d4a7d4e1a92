// yarrisk: simulates a stochastic event graph by the dater recursion,
// in-process or (-compile, or for waiting times) through generated and
// compiled C code, and prints each transition's last date and cycle time.
#include <sys/time.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "compile.h"
#include "eventgraph/egl_reader.h"
#include "eventgraph/topology.h"
#include "simulation.h"

namespace {

const char* const PROG = "yarrisk";

void usage() {
  std::printf("Usage: %s [-f <file>] [-nevt <int>] [-bs <int>]", PROG);
  std::printf(" [-compile] [-keep]\n\t[-c] [-from <int>] [-to <int>]");
  std::printf(" [-debug]\n");
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(PROG);
  orv::Args args(argc, argv, PROG);
  std::string file;
  int buf_size = 1024, nevt = 1000, from = -1, to = -1;
  int checking = 0, compile = 0, keep = 0, waiting = 0;
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(file);
    } else if (args.is("-bs")) {
      args.take_int(buf_size);
    } else if (args.is("-nevt")) {
      // A run of a negative number of events means nothing.
      if (args.take_int(nevt) && nevt < 0) {
        std::printf("%s: integer expected after %s\n", PROG, "-nevt");
        args.fail();
      }
    } else if (args.is("-from")) {
      if (args.take_int(from)) waiting = 1;
    } else if (args.is("-to")) {
      if (args.take_int(to)) waiting = 1;
    } else if (args.is("-debug")) {
      orv::eg::Debug = 1;
    } else if (args.is("-c")) {
      checking = 1;
    } else if (args.is("-compile")) {
      compile = 1;
    } else if (args.is("-keep")) {
      keep = 1;
    } else if (args.is("-v")) {
      args.print_version();
      return out.finish(0);
    } else if (args.is("-h") || args.is("-?")) {
      usage();
      return out.finish(0);
    }
  }
  if (args.failed()) return out.finish(-1);
  const bool debug = orv::eg::Debug != 0;

  if (checking) {
    yarrisk::Compile_EG(nullptr, file, nevt, 1, keep, 0, from, to, debug);
    return out.finish(0);
  }

  orv::EventGraphPtr graph = orv::eg::Read_Network(file);
  if (!graph) {
    std::fprintf(stderr, "%s: Error reading network from file %s.\n", PROG, file.c_str());
    return out.finish(-2);
  }
  // Laws whose draws would be infinite or undefined give no dates.
  if (!orv::eg::Laws_Are_Drawable(*graph)) {
    std::fprintf(stderr, "%s: Error reading network from file %s.\n", PROG, file.c_str());
    return out.finish(-2);
  }
  if (!orv::eg::topological_analysis(*graph)) return out.finish(-3);
  if (debug) orv::eg::dumpe_network(*graph);

  const int B = std::max(buf_size, graph->Max_Pop_Init + 1);

  if (waiting) {
    if (from < 1 || from > graph->Size) {
      std::printf("%s: error: incorrect parameter for -from (%d)\n", PROG, from);
      return out.finish(-4);
    }
    if (to < 1 || to > graph->Size) {
      std::printf("%s: error: incorrect parameter for -to (%d)\n", PROG, to);
      return out.finish(-4);
    }
    if (!compile) {
      std::printf("%s: warning: waiting time analysis available for ", PROG);
      std::printf("compiled simulation only (assumed).\n");
      compile = 1;
    }
  }

  if (compile) {
    const yarrisk::Compile_Result r =
        yarrisk::Compile_EG(graph.get(), file, nevt, 0, keep, waiting, from, to, debug);
    return out.finish(r == yarrisk::COMPILE_DONE ? 0 : -2);
  }

  yarrisk::Simulation sim;
  timeval start{}, end{};
  gettimeofday(&start, nullptr);
  const bool ran = yarrisk::simulate(sim, *graph, nevt, B, debug);
  gettimeofday(&end, nullptr);
  if (!ran) return out.finish(-2);
  if (debug) yarrisk::dumpe_simulation(sim);
  yarrisk::write_stat_results(sim, start, end);
  return out.finish(0);
}
