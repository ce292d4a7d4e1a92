// TGL text: read, topology and dump, then a few events of elbrand's
// simulation on small graphs with short lags.
#include <cstdio>

#include "fuzz_util.h"
#include "simulation.h"
#include "taskgraph/tgl_reader.h"
#include "taskgraph/topology.h"

using namespace orv::tg;

namespace {
// Laws whose single draw costs more than a fuzz input may take (an Erlang
// law of a billion stages) are read, not simulated.
bool cheap(const orv::LAW_DESC* law) {
  return law == nullptr || law->Name != 'R' || law->Parameters.empty() ||
         law->Parameters[0] <= 1000;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orv::fuzz::work_dir();
  GraphPtr g = Read_Network_Buffer(orv::fuzz::as_text(data, size));
  if (!g) return 0;
  const int acyclic = topological_analysis(*g);
  if (g->Size > 200) return 0;
  static FILE* sink = std::fopen("/dev/null", "w");
  dumpe_network(*g, sink);
  if (!acyclic || g->Size > 64 || g->Max_Dependency > 16) return 0;
  for (const TASK& t : g->T) {
    if (!cheap(t.Task_Law.get())) return 0;
    for (const LinkPtr& l : t.Neighbors)
      if (!cheap(l->Link_Law.get())) return 0;
  }
  const bool repetitive = g->Max_Dependency > 0;
  elbrand::Simulation sim(*g, 6, repetitive ? g->Max_Dependency + 1 : 2);
  if (!sim.init_simulation(repetitive)) std::abort();  // tiny tables
  if (repetitive) sim.simulate();
  else sim.simulate_PERT();
  return 0;
}
