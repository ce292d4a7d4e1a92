// cadrix's run once its words are read: the graph read, scaled and
// flattened, then the matrix, the transients and the queue's distribution.
#pragma once

#include <string>

#include "chain.h"
#include "common/output_guard.h"

namespace cadrix {

inline const char* const kProg = "cadrix";

struct Options {
  std::string file, out_file;
  int keep = 0, checking = 0, stationary = 0;
  int trans_nb = -1, input_nb = -1, event_nb = -1;
  Distribution d;
  Options() { d.Lambda = -1.0; }
};

// Ends the work files of a run once they were made. Held by main, it goes
// after the output's finish, as the results are committed before the work
// files are removed.
struct Work_Files {
  bool made = false;
  int keep = 0;
  Work_Files() = default;
  Work_Files(const Work_Files&) = delete;
  Work_Files& operator=(const Work_Files&) = delete;
  ~Work_Files() {
    if (made) End_Work_Files(keep);
  }
};

// The program's exit status; the results go to stdout or, through out, to
// out_file.
int Run(Options o, orv::Output_Guard& out, Work_Files& work);

}  // namespace cadrix
