#pragma once
#include "maxplus/interaction_graph.h"
#include "maxplus/tetris.h"

namespace orv::mp {

// The heap of pieces equivalent to an interaction graph of equal weights,
// coloured; null after a message when no cover of cliques of at most
// max_size nodes is found or the heap would be too large.
Tetris Interaction_To_Heap(const INTERACTION_GRAPH& G, int max_size, bool optimize, bool greedy);

}  // namespace orv::mp
