// Cycle mean, critical graph, cyclicity and transient of an integer
// max-plus matrix A, for x(k+1) = A (x) x(k): x_i(k+1) = max_j A[i][j] + x_j(k).
// Matrices are N x N, row-major; entries are finite with |a| <= ENTRY_LIMIT
// or MINUS_INF. Functions throw Overflow when a value leaves the 64-bit range.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "arith.h"

namespace orv::umbrisk {

using Matrix = std::vector<Val>;

struct RATIONAL {
  Val Num = MINUS_INF;
  Val Den = 1;
};

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

// Runs the trajectory from X, printing every x(t) on out, until the
// normalised state repeats at some t >= cyc. Returns t + 1, or -1 when no
// repetition shows within max_steps iterations. The last `window` states are
// kept whole (0: as many as some 32 MB hold); older ones are recomputed.
Val transient(int N, const Matrix& A, const std::vector<Val>& X, RATIONAL lambda, Val cyc,
              int Precision, FILE* out, Val max_steps, size_t window = 0);

// Appends " %9.4f" of e / Precision, or "       eps" for minus infinity; e is
// a state entry held as an exact integer in a double.
void append_state_entry(std::string& line, double e, int Precision);

}  // namespace orv::umbrisk
