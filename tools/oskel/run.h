// oskel's run once its words are read: the net read, split and checked,
// then the equational module and the discrete-event program written.
#pragma once

#include <string>

#include "common/output_guard.h"
#include "petrigen/gen_tables.h"

namespace oskel {

inline const char* const kProg = "oskel";

struct Options {
  std::string code_file, out_file, module_file = "EQ_Module.c", program_file = "main.cc";
  std::string tmp_dir;  // ends with '/' when given
  std::string class_name;
  int tmax = 1000, testing = 0, opt_level = 0, single_marking = 0, quelm = 0;
  int valtor_class = 0, distributed = 0;
  orv::gen::Gen_Context gen;  // the generators' settings; their tables once filled
};

// The program's exit status; the files are written through out.
int Run(Options& o, orv::Output_Guard& out);

}  // namespace oskel
