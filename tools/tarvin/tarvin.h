// tarvin: a timed Petri net as the four C fragments of a discrete-time
// simulator, which the skeleton installed with quanter includes.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "common/petri_net.h"

namespace tarvin {

// Settings of the run (the options of the command line).
struct Settings {
  int Buf_Size = 1024;   // "-bs"; the size used is stored back here
  int Max_Time = 1000;   // "-tmax", in time units
  int Trace_Start = 0;   // "-tb", time units; ticks once sized
  int Trace_End = 100;   // "-te", time units
  int Y_Static = 1;      // row pointers Y_0 / Y_Time_M_<d> ("-noYstatic" clears)
  std::string Tmp_Dir;  // "-tmp"
};

// Opens a fragment for writing; null, the failure reported, when it cannot
// be opened.
using File_Opener = std::function<FILE*(const std::string& path)>;

enum Gen_Status {
  GEN_DONE = 0,         // every fragment written
  GEN_OPEN_FAILED = 1,  // a fragment could not be opened (reported, the others written)
  GEN_BROKEN = 2,       // a diagnostic went into a fragment (reported): it will not compile
};

// The longest look-back of the recursion in ticks, at least 1.
int Compute_Max_Dependency(const orv::pn::PetriNet& net, int Scale);

// Sizes the buffer, builds the tables and writes the four fragments into
// Tmp_Dir. Scale is the one Find_Time_Scale returned.
Gen_Status gen_c_code(Settings& settings, const orv::pn::PetriNet& Reseau,
                      const std::string& PNL_File_Name,
                      const orv::pn::LAYER_STRUCT& The_Layer_Struct, int Scale, int Trace,
                      const File_Opener& open);

}  // namespace tarvin
