#pragma once
#include "maxplus/interaction_graph.h"

namespace orv::mp {

// The iterations of the spectral radius stop on a distance at most epsilon.
inline constexpr double MAX_EPSILON = 0.1;

// False, with a message, when a weight lost digits as it was read.
bool weights_usable(const INTERACTION_GRAPH& G);
// Prints "lower upper" on stdout, with warnings where the formulas do not hold.
void Compute_Bounds(const INTERACTION_GRAPH& G, double epsilon);

}  // namespace orv::mp
