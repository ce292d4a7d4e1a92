// The recursion morvane simulates, written plainly: the graph as successor
// arrays, a uniform draw, a binary search of the cumulative table, the
// fired node and its successors. Prints what morvane prints for one
// replication, so the two can be compared and timed on the same file.
// Usage: morvane_plain_loop GRAPH STEPS
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  FILE* in = std::fopen(argv[1], "r");
  if (in == nullptr) return 2;
  char word[64];
  int n = 0;
  if (std::fscanf(in, "%63s", word) != 1) return 2;
  if (word[0] == 's' ? std::fscanf(in, "%d", &n) != 1 : std::sscanf(word, "%d", &n) != 1) return 2;
  std::vector<double> w(n), cum(n);
  double sum = 0;
  for (double& v : w) {
    if (std::fscanf(in, "%lf", &v) != 1) return 2;
    sum += v;
  }
  for (int i = 0; i < n; ++i) cum[i] = (i == 0 ? 0.0 : cum[i - 1]) + w[i] / sum;
  cum[n - 1] = 1.0;
  std::vector<std::vector<int>> succ(n);
  int i = 0, j = 0;
  while (std::fscanf(in, "%d %d", &i, &j) == 2)
    if (std::find(succ[i].begin(), succ[i].end(), j) == succ[i].end()) succ[i].push_back(j);
  std::fclose(in);
  std::vector<int> start(n + 1, 0), arcs;
  for (int k = 0; k < n; ++k) {
    arcs.insert(arcs.end(), succ[k].begin(), succ[k].end());
    start[k + 1] = static_cast<int>(arcs.size());
  }
  const int steps = std::atoi(argv[2]);
  std::vector<double> x(n, 0.0);
  for (int t = 0; t < steps; ++t) {
    const double u = static_cast<double>(random()) / 2147483647;
    const int k = static_cast<int>(std::lower_bound(cum.begin(), cum.end() - 1, u) - cum.begin());
    const double grown = x[k] + 1;
    x[k] = grown;
    for (int e = start[k]; e < start[k + 1]; ++e) x[arcs[e]] = std::max(x[arcs[e]], grown);
  }
  for (int k = 0; k < n; ++k) std::printf("gamma[%d] = %f\n", k, x[k] / steps);
  return 0;
}
