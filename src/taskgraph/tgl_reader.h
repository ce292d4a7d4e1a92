// The TGL reader: a task graph from a file, a stream or a text in memory,
// and the text dump of a graph.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "taskgraph/task_graph.h"

namespace orv::tg {

// Reader trace: every name learnt, every task and link recognised and every
// link stored.
extern int Parse_Debug;
// Program trace ("-debug").
extern int Debug;

// Reads a TGL graph; an empty path reads standard input. Null when the file
// cannot be opened (without a message: the program has its own), after a
// syntax error, or when the graph is refused (a link to an undeclared task,
// a task declared twice). The topology is left to topological_analysis.
GraphPtr Read_Network(const std::string& path);
// Whether the last Read_Network(path) opened its file (standard input
// always opens): a null result then came from the text, and the reader has
// said what was wrong with it.
bool Last_Read_Opened();
// From an open stream, left open.
GraphPtr Read_Network(FILE* in);
GraphPtr Read_Network_Buffer(std::string_view text);

// The link table of each task, the largest depth, the layers and the
// predecessor sets; numbers from 1.
void dumpe_network(const Graph& g, FILE* out = stdout);

}  // namespace orv::tg
