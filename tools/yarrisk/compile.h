// yarrisk's compiled mode: the graph is written as EGL, translated into C
// fragments by the code generator, compiled with the installed simulator
// skeleton, and the simulator is run.
#pragma once

#include <string>

#include "common/event_graph.h"

namespace yarrisk {

enum Compile_Result {
  COMPILE_DONE = 1,      // run, or resources listed
  COMPILE_MISSING = 0,   // some essential resource was not found
  COMPILE_FAILED = -1,   // the work area, the graph file or a child failed
};

// Sim_Length events per transition; with Waiting_Time, the generator is
// asked for the waiting times between From_Trans and To_Trans (from 1).
// With Checking only the resources are listed. Graph_File is the file the
// graph was read from (empty for standard input).
Compile_Result Compile_EG(const orv::EventGraph* Reseau, const std::string& Graph_File,
                          int Sim_Length, int Checking, int Keep, int Waiting_Time, int From_Trans,
                          int To_Trans, bool Debug);

// 1 when the C compiler and the code generator were found.
int Resources_Are_Present();

}  // namespace yarrisk
