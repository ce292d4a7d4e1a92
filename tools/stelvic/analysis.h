// stelvic: a Poisson stream routed periodically to several queues of
// constant service times.
#pragma once

#include <string>

#include "common/output_guard.h"

namespace stelvic {

inline const char* const kProg = "stelvic";

struct Options {
  std::string Data_File_Name, Result_File_Name;
  double lambda = 0.0;
  int customer = -1;
  bool waiting = false, global = false, force = false, trace = false;
};

// Reads the data and prints the mean workload (or waiting time) one customer
// finds, or the weighted stationary average; returns the exit status.
int run(const Options& o, orv::Output_Guard& out);

}  // namespace stelvic
