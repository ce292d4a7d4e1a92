// elbrand: timing of a task graph by simulation. A graph with PROGRAM links
// of positive depth runs as a dater recursion and gives each task's cycle
// time; any other runs many times as a PERT network and gives mean
// completion times.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "simulation.h"
#include "taskgraph/tgl_reader.h"
#include "taskgraph/topology.h"

int main(int argc, char** argv) {
  const char* prog = "elbrand";
  const char* invoked = argc > 0 && argv[0] != nullptr ? argv[0] : prog;
  orv::Output_Guard out(prog);
  orv::Args args(argc, argv, prog);
  std::string file;
  int Sim_Length = 1000;
  int Buf_Size = 1024;
  bool analyse_only = false;
  auto usage = [&] {
    std::printf("Usage: %s [-f <file>] [-nevt <int>]", prog);
    std::printf(" [-bs <int>] [-debug] [-a] [-h] [-?]\n");
  };
  const orv::Args::Standard standard{usage, orv::ORV_VERSION};
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(file);
    } else if (args.is("-nevt")) {
      if (!args.take_int(Sim_Length, "") || Sim_Length <= 0) {
        std::printf("%s: positive integer expected ", invoked);
        std::printf("after %s\n", "-nevt");
        args.fail();
      }
    } else if (args.is("-bs")) {
      // A table of no draws is raised like any short one; said, since
      // nothing else shows that the value given was not used.
      if (args.take_int(Buf_Size) && Buf_Size <= 0)
        std::fprintf(stderr, "%s: warning: -bs %d is below 1 and is raised.\n",
                     prog, Buf_Size);
    } else if (args.is("-debug")) {
      orv::tg::Debug = 1;
    } else if (args.is("-a")) {
      analyse_only = true;
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);

  orv::tg::GraphPtr g = orv::tg::Read_Network(file);
  if (!g) {
    // The reader has said what was wrong with a text it read; only a file
    // that did not open is left to say so.
    if (orv::tg::Last_Read_Opened())
      std::fprintf(stderr, "%s: error: could not read a task graph from %s.\n", prog,
                   file.empty() ? "standard input" : file.c_str());
    else
      std::fprintf(stderr, "%s: error: could not open file  %s for reading.\n", prog,
                   file.c_str());
    return out.finish(-1);
  }
  // The cycle has been printed; nothing is simulated.
  if (orv::tg::topological_analysis(*g) == 0) return out.finish(0);
  if (orv::tg::Debug) orv::tg::dumpe_network(*g);
  if (analyse_only) {
    orv::tg::dumpe_network(*g);
    return out.finish(0);
  }

  // Laws whose draws would be infinite or undefined give no times.
  if (!orv::tg::Laws_Are_Drawable(*g)) {
    std::fprintf(stderr, "%s: error: could not read a task graph from %s.\n", prog,
                 file.empty() ? "standard input" : file.c_str());
    return out.finish(-1);
  }

  const bool repetitive = g->Max_Dependency > 0;
  if (!repetitive) {
    if (orv::tg::Debug) std::printf("Non-repetitive network: estimating completion times\n.");
    if (Buf_Size < 1) Buf_Size = 1;
  } else {
    if (orv::tg::Debug) std::printf("Repetitive network: estimating cycle times\n.");
    // Lagged daters must still be in the ring when they are read. A lag of
    // the run's length or more reads none: tables as long as the run hold
    // every event, where a table as long as the lag would be sized by one
    // number of the file.
    const long long lagged = static_cast<long long>(g->Max_Dependency) + 1;
    if (Buf_Size < lagged)
      Buf_Size = static_cast<int>(std::min<long long>(lagged, std::max(Buf_Size, Sim_Length)));
  }
  elbrand::Simulation sim(*g, Sim_Length, Buf_Size);
  if (!sim.init_simulation(repetitive)) {
    std::printf("Could not allocate space. Simulation not launched.\n");
    return out.finish(-1);
  }
  if (!repetitive) {
    sim.simulate_PERT();
    sim.write_stat_PERT();
  } else {
    sim.simulate();
    if (orv::tg::Debug) sim.dumpe_simulation();
    sim.write_stat_results();
  }
  return out.finish(0);
}
