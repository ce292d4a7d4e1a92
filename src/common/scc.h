// Strongly connected components by Tarjan's method, without recursion so a
// long chain cannot exhaust the C stack.
#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace orv {

// Components of a graph of n nodes whose node v has degree(v) arc slots, the
// k-th leading to head(v, k), or nowhere when that is negative (an arc left
// out). comp[v] gets v's component; components are numbered in the order
// their depth-first searches complete, so every arc leads to a component of
// a lower or equal number. Returns the number of components.
template <class Degree, class Head>
int Strong_Components(int n, Degree degree, Head head, std::vector<int>& comp) {
  const std::size_t size = static_cast<std::size_t>(n);
  std::vector<int> index(size, -1), low(size, 0), stack;
  std::vector<char> on(size, 0);
  std::vector<std::pair<int, std::size_t>> calls;  // node, next arc slot
  comp.assign(size, -1);
  int counter = 0, ncomp = 0;
  for (int r = 0; r < n; ++r) {
    if (index[r] != -1) continue;
    index[r] = low[r] = counter++;
    stack.push_back(r);
    on[r] = 1;
    calls.emplace_back(r, 0);
    while (!calls.empty()) {
      const int v = calls.back().first;
      const std::size_t k = calls.back().second;
      if (k < static_cast<std::size_t>(degree(v))) {
        calls.back().second = k + 1;
        const int w = head(v, k);
        if (w < 0) continue;
        if (index[w] == -1) {
          index[w] = low[w] = counter++;
          stack.push_back(w);
          on[w] = 1;
          calls.emplace_back(w, 0);
        } else if (on[w]) {
          low[v] = std::min(low[v], index[w]);
        }
        continue;
      }
      if (low[v] == index[v]) {
        int w;
        do {
          w = stack.back();
          stack.pop_back();
          on[w] = 0;
          comp[w] = ncomp;
        } while (w != v);
        ++ncomp;
      }
      calls.pop_back();
      if (!calls.empty()) {
        const int u = calls.back().first;
        low[u] = std::min(low[u], low[v]);
      }
    }
  }
  return ncomp;
}

}  // namespace orv
