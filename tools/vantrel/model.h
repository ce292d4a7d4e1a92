// vantrel: an ATM network configuration as one queueing-network simulation
// model.
#pragma once

#include <cstdio>
#include <string>

#include "atm/atm.h"

namespace orv::atm {

struct Options {
  std::string in_name, out_name;
  double tmax = 1000.0;
  bool allbounded = false, debug = false;
};

// Writes the model on f (and, with debug, the routing); false when a source
// lacks its delay, so the model would simulate nothing sound.
bool Write_Model(const CONFIG& cf, const Options& o, FILE* f);

}  // namespace orv::atm
