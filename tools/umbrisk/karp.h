// Karp's tables and the transient's trajectory run on one graph form, dense
// or by in-arcs, in doubles; shared by the program and the dense reference
// the tests hold.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <vector>

#include "sparse.h"

namespace orv::umbrisk {

// Karp's tables are held in doubles: every entry is a sum of at most N
// integers below 2^31, exact in a double while N < 2^22, and minus infinity
// then needs no test in the inner loops, which the compiler can vectorise.
inline constexpr double NEG = -__builtin_huge_val();

inline Val from_karp(double a) { return a == NEG ? MINUS_INF : static_cast<Val>(a); }

struct KarpGraph {
  int n = 0;
  bool dense = true;
  std::vector<double> at;  // dense, transposed: at[m * n + j] weighs m -> j
  std::vector<int> start, from;
  std::vector<double> w;  // in-arcs of each node

  void step(const double* prev, double* cur) const {
    if (dense) {
      std::fill(cur, cur + n, NEG);
      for (int m = 0; m < n; ++m) {
        const double p = prev[m];
        if (p == NEG) continue;
        const double* row = &at[static_cast<size_t>(m) * n];
        for (int j = 0; j < n; ++j) {
          double c = row[j] + p;
          cur[j] = cur[j] < c ? c : cur[j];
        }
      }
    } else {
      for (int j = 0; j < n; ++j) {
        double best = NEG;
        for (int e = start[j]; e < start[j + 1]; ++e) {
          double c = w[e] + prev[from[e]];
          best = best < c ? c : best;
        }
        cur[j] = best;
      }
    }
  }
};

KarpGraph make_graph(const Arcs& a);

// Prints the trajectory from X until the normalised state repeats (see
// transient in sparse.h).
Val run_transient(KarpGraph graph, const std::vector<Val>& X, RATIONAL lambda, Val cyc,
                  int Precision, FILE* out, Val max_steps, std::size_t window);

}  // namespace orv::umbrisk
