// What the PNL harnesses do with a net that was read: analyse it, write it,
// and read back what was written.
#pragma once

#include <cstdlib>
#include <string_view>

#include "common/pnl_writer.h"
#include "petri/analysis.h"
#include "petri/flatten.h"
#include "petri/pnl_reader.h"

namespace orv::fuzz {

// Submodel files named outside the work folder (absolute, or through "..")
// would make the harness read the machine's files, devices included.
inline bool names_outside(std::string_view text) {
  return text.find("\"/") != std::string_view::npos || text.find("\".") != std::string_view::npos;
}

inline void analyse(const pn::PetriNet& net) {
  pn::Report r;
  pn::Has_All_Deterministic_Objects(net, 1, &r);
  pn::Has_All_Routing_Places(net, 1, &r);
  pn::Has_Simulable_Places(net, 1, &r);
  pn::Has_Integral_Transitions(net, 1, 1, &r);
  pn::Has_Real_Sources(net, 1, &r);
  pn::Find_Time_Scale(net, 1, 1000, 1, &r);
  pn::Max_Lag(net);
  pn::Max_Delay(net);
  pn::LAYER_STRUCT layers;
  pn::topological_analysis(net, &layers);
  pn::Free_Layer_Struct(layers);
}

inline void must_read_back(const pn::PetriNet& net) {
  // Millions of tokens make a text of tens of megabytes to write and read
  // again: right, but too slow for a fuzzer.
  if (net.Max_Pop_Init > 100000) return;
  if (Write_PN_As_PNL(net, "again.pnl", "fuzz") != 1) return;
  pn::NetPtr again = pn::Read_Network("again.pnl");
  if (!again) std::abort();  // the writer wrote what the reader refuses
}

// Analysed, written and read back as it stands, then the same once flat.
inline void check_net(pn::PetriNet& net) {
  analyse(net);
  must_read_back(net);
  pn::Flatten_PN(net, 0);
  analyse(net);
  must_read_back(net);
}

}  // namespace orv::fuzz
