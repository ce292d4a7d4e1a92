// voltag: bounds on the growth rate of a random heap of pieces through the
// Markov chain of its top shapes, or that chain dumped.
#pragma once

#include <string>

#include "common/output_guard.h"

namespace orv::voltag {

inline const char* const kProg = "voltag";

struct Options {
  std::string in_name, out_name;
  int nmax = 200;
  bool progress = false, stats = false, dump = false;
};

// Reads the heap, explores the chain and prints the bounds or the chain on
// stdout (redirected by out to out_name when one is given). Returns the exit
// status.
int Run(const Options& o, orv::Output_Guard& out);

}  // namespace orv::voltag
