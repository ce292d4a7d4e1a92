// quanter's run once its words are read: the net read, checked and scaled,
// then simulated in-process or through the compiled simulator.
#pragma once

#include <string>

#include "compile.h"

namespace quanter {

inline const char* const kProg = "quanter";

struct Options {
  std::string file;     // the net; standard input when empty
  std::string tmp_dir;  // ends with '/' when given
  Run_Options run;
  int checking = 0, compile = 0, keep = 0;
};

// The program's exit status.
int Run(const Options& o);

}  // namespace quanter
