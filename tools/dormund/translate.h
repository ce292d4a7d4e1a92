// dormund: an event graph as max-plus matrices and vectors.
#pragma once

#include <string>

#include "common/output_guard.h"
#include "writers.h"

namespace dormund {

enum What { MATRIX_AND_VECTOR, MATRIX_ONLY, VECTOR_ONLY, SEQUENCE };

struct Options {
  std::string In_File, Out_File;
  bool Has_Out = false;  // standard output goes to Out_File
  Out_Format Fmt;
  What Part = MATRIX_AND_VECTOR;
  int Slice = 1;         // steps of the slice; negative for the whole matrix
  int Flag_Trans = -1;   // the transition whose initial vector is flat, from 1
};

// Reads the graph and writes what o asks for; returns the exit status.
// Messages name the program prog. May throw std::bad_alloc.
int Translate(orv::Output_Guard& out, const Options& o, const char* prog);

}  // namespace dormund
