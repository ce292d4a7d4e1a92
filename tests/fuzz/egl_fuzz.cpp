// EGL text: read, topology, a few steps of the recurrence tables on small
// graphs, and a write that must read back.
#include <cstdlib>
#include <vector>

#include "common/egl_writer.h"
#include "eventgraph/egl_reader.h"
#include "eventgraph/mp_tables.h"
#include "eventgraph/topology.h"
#include "fuzz_util.h"

using namespace orv::eg;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orv::fuzz::work_dir();
  orv::EventGraphPtr g = Read_Network_Text(orv::fuzz::as_text(data, size));
  if (!g) return 0;
  // Millions of tokens make a text of hundreds of megabytes to write and
  // read again: right, but too slow for a fuzzer.
  if (g->Max_Pop_Init <= 100000 && orv::Write_EG_As_EGL(*g, "again.egl", "fuzz") == 1) {
    if (!Read_Network(std::string("again.egl"))) std::abort();  // written, but unreadable
  }
  if (g->Size > 64) {
    topological_analysis(*g);
    return 0;
  }
  MP_Tables tables;
  if (tables.Set_Event_Graph(std::move(g)) > 0 && tables.Init_Times(3)) {
    std::vector<double> A;
    tables.Fill_Slice(A, 3);
    std::vector<double> V(static_cast<size_t>(tables.size()), 0.0);
    tables.Fill_Vector(V, 2);
  }
  return 0;
}
