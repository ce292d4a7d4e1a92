// Task-graph topology: the largest program-link lag, the layers along the
// DATA links, a DATA cycle when there is one, and every task's predecessors.
#pragma once

#include <cstdio>
#include <vector>

#include "taskgraph/task_graph.h"

namespace orv::tg {

// Row i: the tasks i has a link to, ascending, once each. The matrices of
// the method are kept in this form, so memory stays linear in the links.
using Adjacency = std::vector<std::vector<int>>;

// 1 when the DATA links are acyclic; 0 after "Cyclic task graph!!", the
// DATA matrix and a cycle on stdout. Max_Dependency, Level, Nb_Layers and
// every Prev are set either way.
int topological_analysis(Graph& g);

// Number of layers, 0 on a cycle; fills Level.
int find_layer_structure(Graph& g, const Adjacency& data, int size);
// Fills every Prev from the adjacency of links of both kinds.
void find_prev_structure(Graph& g, const Adjacency& full, int size);
// Prints the matrix and a cycle of data; always ends.
void find_cycle(const Adjacency& data, int size, const Graph& g, FILE* out = stdout);
// The matrix as rows of "%1d" entries.
void dumpe_adj(const Adjacency& m, int size, FILE* out = stdout);

// 1 when every task and DATA link law can be drawn from; else 0, after one
// line on stderr for each law that cannot (a stage count below 1, ...).
int Laws_Are_Drawable(const Graph& g);

}  // namespace orv::tg
