// PNL text: read, analyse, write, and read what was written (it must read),
// then the same after flattening.
#include <cstdlib>

#include "common/pnl_writer.h"
#include "fuzz_util.h"
#include "petri/analysis.h"
#include "petri/flatten.h"
#include "petri/pnl_reader.h"

using namespace orv::pn;

namespace {

// Submodel files named outside the work folder (absolute, or through "..")
// would make the harness read the machine's files, devices included.
bool names_outside(std::string_view text) {
  return text.find("\"/") != std::string_view::npos || text.find("\".") != std::string_view::npos;
}

void analyse(const PetriNet& net) {
  Report r;
  Has_All_Deterministic_Objects(net, 1, &r);
  Has_All_Routing_Places(net, 1, &r);
  Has_Simulable_Places(net, 1, &r);
  Has_Integral_Transitions(net, 1, 1, &r);
  Has_Real_Sources(net, 1, &r);
  Find_Time_Scale(net, 1, 1000, 1, &r);
  Max_Lag(net);
  Max_Delay(net);
  LAYER_STRUCT layers;
  topological_analysis(net, &layers);
  Free_Layer_Struct(layers);
}

void must_read_back(const PetriNet& net) {
  // Millions of tokens make a text of tens of megabytes to write and read
  // again: right, but too slow for a fuzzer.
  if (net.Max_Pop_Init > 100000) return;
  if (orv::Write_PN_As_PNL(net, "again.pnl", "fuzz") != 1) return;
  NetPtr again = Read_Network("again.pnl");
  if (!again) std::abort();  // the writer wrote what the reader refuses
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orv::fuzz::work_dir();
  unsetenv("PNL_PATH");
  std::string_view text = orv::fuzz::as_text(data, size);
  if (names_outside(text)) return 0;
  NetPtr net = Read_Network_Buffer(text, "fuzz.pnl");
  if (!net) return 0;
  analyse(*net);
  must_read_back(*net);
  Flatten_PN(*net, 0);
  analyse(*net);
  must_read_back(*net);
  return 0;
}
