// fennock: an event graph as the four C fragments of yarrisk's simulator
// skeleton.
#pragma once

#include <string>

#include "common/event_graph.h"
#include "common/output_guard.h"

namespace fennock {

// Writes the fragments into dir for a run of nevt events (the waiting time
// from transition `from` to `to` when from > 0, numbered from 1). The graph
// has been through the topological analysis. False when a file could not
// be written (the guard has told why).
bool Write_Fragments(orv::Output_Guard& out, const orv::EventGraph& g, const std::string& dir,
                     int nevt, int from, int to);

}  // namespace fennock
