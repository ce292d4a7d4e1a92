// felwick's run once its words are read: the net read and checked, then
// the program, its makefile and the plot script written.
#pragma once

#include <string>

#include "common/output_guard.h"
#include "petrigen/gen_tables.h"

namespace felwick {

inline const char* const kProg = "felwick";

struct Options {
  std::string file, code_file = "main.cc";
  int tmax = -1, opt_level = 0;
  orv::gen::Gen_Context gen;  // the generators' settings; their tables once filled
};

// The program's exit status; the files are written through out.
int Run(Options& o, orv::Output_Guard& out);

}  // namespace felwick
