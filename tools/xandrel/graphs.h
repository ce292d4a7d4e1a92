// The test interaction graphs xandrel writes.
#pragma once

#include <string>

enum class Type { Line, Cycle, Star, Random, Seeded_Random, Complete, Bipartite };

struct Options {
  Type type = Type::Cycle;
  int size = 2;
  int size2 = 2;  // second part of a complete bipartite graph
  double p = 0.5;
  bool full = false;
  bool reverse = false;
  bool loops = true;
};

// The type a "-t" word names; false (type unchanged) for any other word.
bool type_of(const std::string& word, Type& type);

// The graph on standard output, sparse unless o.full.
void write_graph(const Options& o);
