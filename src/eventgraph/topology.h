// Topology of an event graph: the adjacency of its token-free part, the
// layers in which transitions can be evaluated within one firing round,
// each transition's input places, and liveness.
#pragma once

#include <cstdio>
#include <vector>

#include "common/event_graph.h"
#include "common/sp_bool_mat.h"

namespace orv::eg {

// Row i holds the downstream transition (0-based) of every output place of
// transition i+1, in Outputs order; with ZeroWeight only token-free places.
SP_BOOL_MAT Make_Adjacency_Matrix(const EventGraph& Reseau, int ZeroWeight);

// Fills Level and Nb_Layers; Nb_Layers is 0 when Adj has a cycle.
void Find_Layer_Structure(EventGraph& Reseau, const SP_BOOL_MAT& Adj, int The_Size);

// Rebuilds every Inputs list and Indegree from the Outputs lists.
void Make_Inputs_List(EventGraph& Reseau);

// A cycle of A as {L, node_1, ..., node_L} (0-based), or empty after
// "Error: no cycle ?!?" when A has none.
std::vector<int> Find_Cycle(const SP_BOOL_MAT& A, int The_Size, int Skip_Recycles);

// "1 -> 2 -> 1"-style line; nothing for an empty cycle.
void print_cycle(const std::vector<int>& Cycle, FILE* out = stdout);

// 1 when every law of the graph gives finite, non-negative draws;
// otherwise 0 after one "LawPackage: error: ..." line on standard error per
// bad law (transitions and places numbered as in the file).
int Laws_Are_Drawable(const EventGraph& Reseau);

// 1 when live; otherwise reports the graph and one cycle and returns 0.
int topological_analysis(EventGraph& Reseau);

}  // namespace orv::eg
