// The analysis on the arcs that exist: the matrix's finite entries as
// adjacency lists, so that time and memory follow the arcs rather than N^2.
// Every result is the one a dense analysis gives (the tests hold one).
#pragma once

#include <cstddef>
#include <cstdio>
#include <vector>

#include "analysis.h"

namespace orv::umbrisk {

// Row i holds the arcs j -> i of weight A[i][j], columns ascending.
struct Arcs {
  int N = 0;
  std::vector<std::size_t> start{0};  // N + 1 offsets into col and w
  std::vector<int> col;
  std::vector<Val> w;

  std::size_t size() const { return col.size(); }
  // A[i][j], or MINUS_INF.
  Val at(int i, int j) const;
};

Arcs arcs_of(int N, const Matrix& A);

// The largest mean of a circuit, as a reduced fraction (Num MINUS_INF when
// there is no circuit): the value cycle_time gives.
RATIONAL max_cycle_mean(const Arcs& g);

struct Sparse_Critical {
  std::vector<int> R;         // critical nodes, ascending
  std::vector<Val> v;         // eigenvector
  // The critical arcs (Critic2 entries 0) of row i: zero_col[zero_start[i] ..
  // zero_start[i + 1]), ascending.
  std::vector<std::size_t> zero_start;
  std::vector<int> zero_col;
  // The same between critical nodes, by critical index.
  std::vector<std::size_t> crit_start;
  std::vector<int> crit_col;
  std::vector<std::vector<int>> Comp;  // components, as critical indices
  Val cyc = 1;
};

// What analyse_critical finds for the same lambda (any representation of
// the cycle mean): nodes, eigenvector, critical arcs, components, cyclicity.
Sparse_Critical analyse_critical(const Arcs& g, RATIONAL lambda);

// Runs the trajectory from X, printing every x(t) on out, until the
// normalised state repeats at some t >= cyc. Returns t + 1, or -1 when no
// repetition shows within max_steps iterations. The last `window` states are
// kept whole (0: as many as some 32 MB hold); older ones are recomputed.
Val transient(const Arcs& g, const std::vector<Val>& X, RATIONAL lambda, Val cyc, int Precision,
              FILE* out, Val max_steps, size_t window = 0);

}  // namespace orv::umbrisk
