// tarvin's run once its words are read: the net read and checked, then the
// fragments written, or under -zel the list of what cannot be simulated.
#pragma once

#include <string>

#include "common/output_guard.h"
#include "tarvin.h"

namespace tarvin {

inline const char* const kProg = "tarvin";

struct Options {
  std::string file, out_file;
  int scale = 10, trace = 0, disc_sources = 0, testing = 0, zel = 0;
  Settings settings;
};

// The program's exit status; what is written goes through out.
int Run(Options o, orv::Output_Guard& out);

}  // namespace tarvin
