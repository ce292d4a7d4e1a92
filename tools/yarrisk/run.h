// yarrisk's run once its words are read: the graph read and checked, then
// simulated in-process or through the compiled simulator.
#pragma once

#include <string>

namespace yarrisk {

inline const char* const kProg = "yarrisk";

struct Options {
  std::string file;  // the graph; standard input when empty
  int buf_size = 1024, nevt = 1000, from = -1, to = -1;
  int checking = 0, compile = 0, keep = 0, waiting = 0;
};

// The program's exit status.
int Run(Options o);

}  // namespace yarrisk
