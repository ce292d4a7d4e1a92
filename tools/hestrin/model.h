// hestrin: a task graph as a Quelm2 queueing-network model.
#pragma once

#include "taskgraph/tgl_reader.h"

namespace orv::tg {

inline const char* const PROG = "hestrin";

// Whether the model can be written: no OR synchronization, the layers found,
// a Quelm text for every law; false after a message.
bool Can_Model(Graph& g);
// Writes the model on stdout.
void Write_Model(const Graph& g, int Sim_Length, bool Optimize);

}  // namespace orv::tg
