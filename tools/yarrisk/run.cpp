// yarrisk's run: the graph read and checked, the waiting-time words
// checked against it, and the choice between the two simulators.
#include "run.h"

#include <sys/time.h>

#include <algorithm>
#include <cstdio>

#include "compile.h"
#include "eventgraph/egl_reader.h"
#include "eventgraph/topology.h"
#include "simulation.h"

namespace yarrisk {

int Run(Options o) {
  const bool debug = orv::eg::Debug != 0;

  if (o.checking) {
    Compile_EG(nullptr, o.file, o.nevt, 1, o.keep, 0, o.from, o.to, debug);
    return 0;
  }

  orv::EventGraphPtr graph = orv::eg::Read_Network(o.file);
  if (!graph) {
    std::fprintf(stderr, "%s: Error reading network from file %s.\n", kProg, o.file.c_str());
    return -2;
  }
  // Laws whose draws would be infinite or undefined give no dates.
  if (!orv::eg::Laws_Are_Drawable(*graph)) {
    std::fprintf(stderr, "%s: Error reading network from file %s.\n", kProg, o.file.c_str());
    return -2;
  }
  if (!orv::eg::topological_analysis(*graph)) return -3;
  if (debug) orv::eg::dumpe_network(*graph);

  const int B = std::max(o.buf_size, graph->Max_Pop_Init + 1);

  if (o.waiting) {
    if (o.from < 1 || o.from > graph->Size) {
      std::printf("%s: error: incorrect parameter for -from (%d)\n", kProg, o.from);
      return -4;
    }
    if (o.to < 1 || o.to > graph->Size) {
      std::printf("%s: error: incorrect parameter for -to (%d)\n", kProg, o.to);
      return -4;
    }
    if (!o.compile) {
      std::printf("%s: warning: waiting time analysis available for ", kProg);
      std::printf("compiled simulation only (assumed).\n");
      o.compile = 1;
    }
  }

  if (o.compile) {
    const Compile_Result r =
        Compile_EG(graph.get(), o.file, o.nevt, 0, o.keep, o.waiting, o.from, o.to, debug);
    return r == COMPILE_DONE ? 0 : -2;
  }

  Simulation sim;
  timeval start{}, end{};
  gettimeofday(&start, nullptr);
  const bool ran = simulate(sim, *graph, o.nevt, B, debug);
  gettimeofday(&end, nullptr);
  if (!ran) return -2;
  if (debug) dumpe_simulation(sim);
  write_stat_results(sim, start, end);
  return 0;
}

}  // namespace yarrisk
