// The dense reference of umbrisk's analysis, for the tests: Matrices are
// N x N, row-major.
#pragma once

#include <cstdio>
#include <vector>

#include "analysis.h"

namespace orv::umbrisk {

// Karp's table from one source, with the comparison order that decides which
// of several equal fractions is returned.
RATIONAL source_mean(int N, const Matrix& A, int source);

// The cycle mean lambdaN / lambdaD exactly as Karp from every source in turn
// would give it, but found by running Karp per strongly connected component
// and then only from the first source that reaches a component of the
// largest mean.
RATIONAL cycle_time(int N, const Matrix& A);

// Karp from every source: O(N^4) on a dense matrix; the reference that
// cycle_time must agree with.
RATIONAL cycle_time_all_sources(int N, const Matrix& A);

struct Critical {
  Matrix An;                 // A x lambdaD - lambdaN
  std::vector<int> R;        // critical nodes, ascending
  std::vector<Val> v;        // eigenvector
  std::vector<char> zero2;   // N x N: Critic2 entry is 0 (a critical arc)
  std::vector<char> Critic;  // K x K: the same between critical nodes
  std::vector<std::vector<int>> Comp;  // components, as critical indices
  Val cyc = 1;
};

// Normalised matrix, closure, critical nodes and eigenvector.
void calcul_chemins(int N, const Matrix& A, RATIONAL lambda, Critical& c);
void calcul_mat_critic(int N, Critical& c);
void calcul_Comp3(Critical& c);
void calcul_cyc(Critical& c);
Critical analyse_critical(int N, const Matrix& A, RATIONAL lambda);

// The transient of sparse.h on the dense matrix.
Val transient(int N, const Matrix& A, const std::vector<Val>& X, RATIONAL lambda, Val cyc,
              int Precision, FILE* out, Val max_steps, size_t window = 0);

}  // namespace orv::umbrisk
