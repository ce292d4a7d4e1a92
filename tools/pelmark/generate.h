// The C simulator pelmark writes for an interaction graph.
#pragma once

#include <cstdio>

#include "maxplus/interaction_graph.h"

// The order in which the generated tables list the nodes (the graph's own).
void sort_probas(orv::mp::INTERACTION_GRAPH& G);

// The whole program, simulating `steps` steps unless told otherwise by its
// "-nevt".
void gen_c_code(FILE* out, const orv::mp::INTERACTION_GRAPH& G, int steps);
