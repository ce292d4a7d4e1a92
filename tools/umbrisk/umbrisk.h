// The umbrisk program's input text and report.
#pragma once

#include <cstdio>
#include <vector>

#include "analysis.h"
#include "sparse.h"

namespace orv::umbrisk {

inline constexpr const char* VERSION = "2.2 (13/03/1999)";
// A reducible matrix may never settle into a periodic regime.
inline constexpr Val MAX_TRANSIENT_STEPS = 1000000;

// Exit statuses beyond 0 and the argument errors' -1.
inline constexpr int STATUS_BAD_INPUT = -1;
inline constexpr int STATUS_OVERFLOW = 2;
inline constexpr int STATUS_NOT_PERIODIC = 3;

struct Options {
  int Precision = 1;
  bool transient = false;
  bool cycles = false;
  bool Debug = false;
};

struct Problem {
  int N = 0;
  Arcs A;  // the finite entries only
  std::vector<Val> X;
};

// Reads N, the matrix and (with "-transient") the initial vector. Returns 0,
// or the exit status after a message on err; debug lines go to out.
int Read_Problem(FILE* in, const Options& o, Problem& p, FILE* out, FILE* err);

// Runs the analysis and prints the report on out. Returns the exit status.
int Run(const Problem& p, const Options& o, FILE* out, FILE* err);

}  // namespace orv::umbrisk
