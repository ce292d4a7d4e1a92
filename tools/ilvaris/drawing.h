// ilvaris: the first levels of the unfolding of a live event graph as an
// xfig (format 2.1) picture.
#pragma once

#include "common/event_graph.h"

namespace ilvaris {

struct Options {
  int X_Hop = 50, Y_Hop = 50, Radius = 5, Nb_Levels = 10;
  int Is_Color = 1;
};

// Writes the picture of the graph's first levels on stdout; the graph has
// been through the topological analysis.
void Gen_Fig_Code(const orv::EventGraph& g, const Options& o);

}  // namespace ilvaris
