// quanter's compiled mode: the net is written as PNL, translated into C
// fragments by the code generator, compiled with the installed simulator
// skeleton, and the simulator is run.
#pragma once

#include <string>
#include <vector>

#include "common/petri_net.h"

namespace quanter {

// What the user asked of the run, handed on to the code generator.
struct Run_Options {
  int Tmax = 1000;
  int Scale = 10;     // as given, before the time scale is reduced
  int Buf_Size = 1024;
};

enum Compile_Result {
  COMPILE_DONE = 1,      // run, or resources listed
  COMPILE_MISSING = 0,   // some essential resource was not found
  COMPILE_FAILED = -1,   // the work area, the net file or a child failed
};

// Net_File is the file the net was read from (empty for standard input);
// Tmp_Dir is the "-tmp" value, empty when not given. Keep leaves the
// temporary files in place.
Compile_Result Compile_PN(const orv::pn::PetriNet& Reseau, const std::string& Net_File,
                          int Checking, const std::string& Tmp_Dir, int Keep,
                          const Run_Options& options, bool Debug);

// 1 when the C compiler and the code generator were found.
int Resources_Are_Present();

// Every initial token of the net is there at tick 0: no place has a
// negative marking or a lag above 0.
bool Tokens_At_Start(const orv::pn::PetriNet& Reseau);

// The compiler's arguments: the skeleton, the simulator to make, the
// fragments' folder on the include path, the mathematics library and the
// optimisation flags; No_Lags when Tokens_At_Start holds.
std::vector<std::string> Compiler_Arguments(const std::string& Source, const std::string& Simulator,
                                            const std::string& Include_Dir, bool No_Lags);

// "-c -compile": lists the resources on stderr, and for each essential one
// missing says why; 1 when all are there, else 0.
int List_Resources(bool Debug);

}  // namespace quanter
