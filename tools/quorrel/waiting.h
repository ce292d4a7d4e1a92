// quorrel's analyses once the options are read.
#pragma once

#include <string>

#include "common/output_guard.h"

struct Options {
  std::string Data_File_Name, Result_File_Name;
  double lambda = 0.0;
  bool has_customer = false;
  int customer = 0;
  bool stationary = false;
  double first = 0.0, last = 10.0, step = 0.1;
  bool has_xval = false;
  double xval = 0.0;
  bool moment = false;
  int order = 1;
};

// Reads the queue (the data file, or standard input) and prints the waiting
// times the options ask for, redirecting the results through out. The
// program's status.
int Waiting_Times(orv::Output_Guard& out, Options o);
