// The analysis on adjacency lists against the dense one, which is checked
// against Karp from every source and Boost in analysis_test.cpp.
#include "sparse.h"

#include "reference.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace orv::umbrisk;

constexpr Val E = MINUS_INF;

Matrix random_matrix(std::mt19937& gen, int N, double density, int range) {
  std::uniform_real_distribution<double> u(0, 1);
  std::uniform_int_distribution<int> w(-range, range);
  Matrix A(static_cast<size_t>(N) * N);
  for (Val& a : A) a = u(gen) < density ? w(gen) : E;
  return A;
}

// A matrix of several blocks chained one way (reducible), so that critical
// circuits, eigenvector entries left at eps and transient arcs all occur.
Matrix blocks(std::mt19937& gen, int N, int range) {
  Matrix A(static_cast<size_t>(N) * N, E);
  std::uniform_int_distribution<int> w(-range, range), coin(0, 3);
  int size = 1 + N / 3;
  for (int i = 0; i < N; ++i)
    for (int j = 0; j < N; ++j) {
      bool same = i / size == j / size, forward = i / size > j / size;
      if ((same && coin(gen) != 0) || (forward && coin(gen) == 0))
        A[static_cast<size_t>(i) * N + j] = w(gen);
    }
  return A;
}

std::vector<int> dense_row(const Sparse_Critical& c, int i, int n) {
  std::vector<int> row(n, 0);
  for (size_t k = c.zero_start[i]; k < c.zero_start[i + 1]; ++k) row[c.zero_col[k]] = 1;
  return row;
}

TEST(SparseAnalysis, AgreesWithTheDenseAnalysis) {
  std::mt19937 gen(2024);
  const double densities[] = {0.05, 0.2, 0.5, 1.0};
  int compared = 0;
  for (int round = 0; round < 600; ++round) {
    const int N = 1 + round % 29;
    // Small ranges make ties between circuits, and so several critical
    // components, frequent.
    const int range = round % 3 == 0 ? 1 : round % 3 == 1 ? 3 : 1000;
    Matrix A = round % 5 == 4 ? blocks(gen, N, range)
                              : random_matrix(gen, N, densities[round % 4], range);
    SCOPED_TRACE("round " + std::to_string(round));
    const Arcs g = arcs_of(N, A);
    const RATIONAL karp = cycle_time(N, A), mean = max_cycle_mean(g);
    ASSERT_EQ(karp.Num == E, mean.Num == E);
    if (karp.Num == E) continue;
    // The same value, in lowest terms.
    ASSERT_EQ(static_cast<__int128>(karp.Num) * mean.Den,
              static_cast<__int128>(mean.Num) * karp.Den);
    ASSERT_EQ(gcd(mean.Num, mean.Den), 1);

    // With the same fraction, the very same eigenvector; with Karp's, the
    // same critical pattern.
    const Critical same = analyse_critical(N, A, mean), ref = analyse_critical(N, A, karp);
    const Sparse_Critical c = analyse_critical(g, mean);
    EXPECT_EQ(c.R, ref.R);
    EXPECT_EQ(c.v, same.v);
    for (int i = 0; i < N; ++i) {
      std::vector<int> want(ref.zero2.begin() + static_cast<long>(i) * N,
                            ref.zero2.begin() + static_cast<long>(i + 1) * N);
      ASSERT_EQ(dense_row(c, i, N), want) << "row " << i;
    }
    const size_t K = c.R.size();
    for (size_t p = 0; p < K; ++p) {
      std::vector<int> row(K, 0);
      for (size_t k = c.crit_start[p]; k < c.crit_start[p + 1]; ++k) row[c.crit_col[k]] = 1;
      std::vector<int> want(ref.Critic.begin() + static_cast<long>(p * K),
                            ref.Critic.begin() + static_cast<long>((p + 1) * K));
      ASSERT_EQ(row, want) << "critical row " << p;
    }
    EXPECT_EQ(c.Comp, ref.Comp);
    EXPECT_EQ(c.cyc, ref.cyc);
    ++compared;
  }
  EXPECT_GT(compared, 400);
}

TEST(SparseAnalysis, CriticalCircuitsAndCyclicityByHand) {
  // A circuit 0 -> 1 -> 2 -> 0 of mean 1 and a loop of mean 1 on node 3;
  // node 4 is fed by node 3 only (weight 5), node 5 by nothing.
  Matrix A{E, E, 1, E, E, E,
           1, E, E, E, E, E,
           E, 1, E, E, E, E,
           E, E, E, 1, E, E,
           E, E, E, 5, E, E,
           E, E, E, E, E, E};
  const Arcs g = arcs_of(6, A);
  const RATIONAL mean = max_cycle_mean(g);
  EXPECT_EQ(mean.Num, 1);
  EXPECT_EQ(mean.Den, 1);
  const Sparse_Critical c = analyse_critical(g, mean);
  EXPECT_EQ(c.R, (std::vector<int>{0, 1, 2, 3}));
  // Longest paths from the critical nodes under A - 1; node 5 stays eps.
  EXPECT_EQ(c.v, (std::vector<Val>{0, 0, 0, 0, 4, E}));
  ASSERT_EQ(c.Comp.size(), 2u);
  EXPECT_EQ(c.Comp[0], (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(c.Comp[1], (std::vector<int>{3}));
  EXPECT_EQ(c.cyc, 3);
  // The arc 3 -> 4 is tight on the eigenvector but not critical.
  EXPECT_EQ(dense_row(c, 4, 6), (std::vector<int>{0, 0, 0, 1, 0, 0}));
}

TEST(SparseAnalysis, MeanOfALongCircuitBeatsAGreedyLoop) {
  // The heaviest arc into node 0 is its loop (5), but the circuit
  // 0 -> 1 -> 2 -> 0 weighs 4 + 6 + 6: mean 16/3.
  Matrix A{5, E, 4,
           6, E, E,
           E, 6, E};
  const RATIONAL mean = max_cycle_mean(arcs_of(3, A));
  EXPECT_EQ(mean.Num, 16);
  EXPECT_EQ(mean.Den, 3);
}

TEST(SparseAnalysis, NoCircuit) {
  Matrix A{E, E, E, 5, E, E, E, 2, E};
  EXPECT_EQ(max_cycle_mean(arcs_of(3, A)).Num, E);
  EXPECT_EQ(max_cycle_mean(arcs_of(1, Matrix{E})).Num, E);
}

TEST(SparseAnalysis, TransientAgreesWithTheDenseOne) {
  std::mt19937 gen(99);
  for (int round = 0; round < 40; ++round) {
    const int N = 2 + round % 9;
    Matrix A = random_matrix(gen, N, round % 2 ? 0.3 : 1.0, 20);
    const Arcs g = arcs_of(N, A);
    const RATIONAL mean = max_cycle_mean(g);
    if (mean.Num == E) continue;
    std::vector<Val> X(N);
    for (int i = 0; i < N; ++i) X[i] = i * 7 % 11;
    auto run = [&](bool sparse, Val& r) {
      char* buf = nullptr;
      size_t len = 0;
      FILE* f = open_memstream(&buf, &len);
      r = sparse ? transient(g, X, mean, 1, 1, f, 500) : transient(N, A, X, mean, 1, 1, f, 500);
      std::fclose(f);
      std::string s(buf, len);
      std::free(buf);
      return s;
    };
    Val a = 0, b = 0;
    EXPECT_EQ(run(true, a), run(false, b)) << "round " << round;
    EXPECT_EQ(a, b) << "round " << round;
  }
}

}  // namespace
