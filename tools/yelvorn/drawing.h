// yelvorn: a Markov-chain trajectory as an xfig figure.
#pragma once

#include <cstdio>
#include <string>

namespace orv::yelvorn {

inline const char* const kProg = "yelvorn";

struct Drawing_Options {
  int nmax = 1000;
  double tmax = 1000.0, xscale = 1.0, yscale = 1.0;
  bool has_title = false;
  std::string title;
};

// Reads (time, state) pairs from in (named `where` in messages) and draws
// them on stdout. Returns the exit status.
int Draw_Trajectory(FILE* in, const std::string& where, const Drawing_Options& o);

}  // namespace orv::yelvorn
