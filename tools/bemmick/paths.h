// Critical paths of a flat FIFO event graph: for each arc (From, To, value)
// of an arc file, every path that leaves From by a marked place, goes on
// through token-free places and reaches To with exactly that weight.
#pragma once

#include <cstdio>
#include <vector>

#include "common/event_graph.h"

namespace bemmick {

// The path being searched, one entry per step; step 0 is the marked place.
struct PATH_DESC {
  int Length = 0;
  std::vector<int> From;  // upstream transition of the step, 0-based
  std::vector<int> By;    // Place_Id of the step's place
  std::vector<int> To;    // downstream transition, 0-based
  std::vector<double> Value;
};

// Reads "From To value" triples from arcs until one cannot be read whole
// and prints the paths of each on out. The graph must be live (analysed),
// FIFO and flat. may_skip lets the search leave out the routes that cannot
// print (see paths.cpp); the printed text is the same either way.
void Find_Critical_Paths(const orv::EventGraph& Le_Reseau, FILE* arcs, const char* prog,
                         FILE* out = stdout, bool may_skip = true);

void Print_Path(const PATH_DESC& The_Path, FILE* out = stdout);

}  // namespace bemmick
