#include "graphs.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

bool type_of(const std::string& word, Type& type) {
  static const struct {
    const char* word;
    Type type;
  } types[] = {{"line", Type::Line},       {"cycle", Type::Cycle},
               {"star", Type::Star},       {"random", Type::Random},
               {"Random", Type::Seeded_Random}, {"complete", Type::Complete},
               {"komplete", Type::Bipartite}};
  for (const auto& t : types)
    if (word == t.word) {
      type = t.type;
      return true;
    }
  return false;
}

namespace {

int nodes(const Options& o) { return o.type == Type::Bipartite ? o.size + o.size2 : o.size; }

// Entry (i, j) before "-reverse"; random types draw here, in row order.
int entry(const Options& o, int n, int i, int j) {
  const bool loop = i == j && o.loops;
  switch (o.type) {
    case Type::Line: return loop || j == i + 1;
    case Type::Cycle: return loop || j == (i + 1) % n;
    case Type::Star:
      if (i == j) return loop;
      return j == n - 1 || i == n - 1;
    case Type::Complete: return 1;
    case Type::Bipartite: return loop || ((i < o.size) != (j < o.size));
    case Type::Random:
    case Type::Seeded_Random:
      if (loop) return 1;
      return static_cast<double>(random()) / 2147483647 < o.p;
  }
  return 0;
}

}  // namespace

void write_graph(const Options& o) {
  const int n = nodes(o);
  if (!o.full) std::printf("sp\n");
  std::printf("%d\n", n);
  for (int i = 0; i < n; ++i) std::printf(" 1");
  std::printf("\n");
  if (o.type == Type::Seeded_Random) srandom(static_cast<unsigned>(std::time(nullptr)));
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      int e = entry(o, n, i, j);
      if (o.reverse) e = !e;
      if (o.full)
        std::printf("%d ", e);
      else if (e)
        std::printf("%d %d\n", i, j);
    }
    if (o.full) std::printf("\n");
  }
}

