// The peer umbrisk is timed against: the same matrix file read into adjacency
// lists, then the maximum cycle ratio with unit times (Howard's policy
// iteration) from Boost Graph. Prints the ratio divided by the precision.
//
// boost_peer FILE [PRECISION]
#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/howard_cycle_ratio.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: boost_peer FILE [PRECISION]\n");
    return 2;
  }
  const double precision = argc > 2 ? std::atof(argv[2]) : 1.0;
  FILE* in = std::fopen(argv[1], "r");
  if (!in) {
    std::perror(argv[1]);
    return 2;
  }
  std::vector<char> text;
  char chunk[1 << 16];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) text.insert(text.end(), chunk, chunk + got);
  std::fclose(in);
  text.push_back('\0');
  char* p = text.data();
  long n = std::strtol(p, &p, 10);
  if (n <= 0) return 2;
  using namespace boost;
  using G = adjacency_list<vecS, vecS, directedS, property<vertex_index_t, int>,
                           property<edge_weight_t, double, property<edge_weight2_t, double>>>;
  G g(static_cast<size_t>(n));
  for (long i = 0; i < n; ++i)
    for (long j = 0; j < n; ++j) {
      while (*p == ' ' || *p == '\n' || *p == '\t' || *p == '\r') ++p;
      if (std::strncmp(p, "eps", 3) == 0) {
        p += 3;
        continue;
      }
      double v = std::strtod(p, &p);
      // Entry (i, j) weighs the arc from j to i.
      auto e = add_edge(static_cast<int>(j), static_cast<int>(i), g).first;
      put(edge_weight, g, e, std::rint(v * precision));
      put(edge_weight2, g, e, 1.0);
    }
  double ratio = maximum_cycle_ratio(g, get(vertex_index, g), get(edge_weight, g),
                                     get(edge_weight2, g));
  std::printf("cycle mean: %.6f\n", ratio / precision);
  return 0;
}
