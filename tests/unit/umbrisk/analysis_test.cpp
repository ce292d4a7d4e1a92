#include "reference.h"

#include <gtest/gtest.h>

#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/howard_cycle_ratio.hpp>

#include <cstdio>
#include <random>
#include <string>

namespace {

using namespace orv::umbrisk;

constexpr Val E = MINUS_INF;

TEST(Sentinels, ArithmeticOnInfinities) {
  EXPECT_EQ(plus(E, PLUS_INF), E);
  EXPECT_EQ(plus(PLUS_INF, 3), PLUS_INF);
  EXPECT_EQ(max(E, PLUS_INF), PLUS_INF);
  EXPECT_EQ(max(E, -5), -5);
  EXPECT_EQ(moins(E, E), E);
  EXPECT_EQ(moins(4, E), PLUS_INF);
  EXPECT_EQ(mult(PLUS_INF, -1), E);
  EXPECT_EQ(mult(PLUS_INF, 0), PLUS_INF);
  EXPECT_EQ(mult(E, 7), E);
  EXPECT_EQ(gcd(0, 6), 6);
  EXPECT_EQ(gcd(-12, 18), 6);
  EXPECT_EQ(lcm(4, 6), 12);
}

TEST(Sentinels, OverflowIsReportedNotWrapped) {
  EXPECT_THROW(plus(INT64_MAX - 1, 1), Overflow);
  EXPECT_THROW(mult(Val(1) << 40, Val(1) << 40), Overflow);
  EXPECT_THROW(moins(INT64_MIN + 1, 1), Overflow);
  // A large legitimate value is not taken for an infinity.
  EXPECT_EQ(plus(2147483646, 1), 2147483647);
}

TEST(Sentinels, CompaKeepsTheEarlierOfEqualFractions) {
  EXPECT_FALSE(compa(6, 2, 3, 1));
  EXPECT_TRUE(compa(6, 2, 7, 2));
  EXPECT_TRUE(compa(E, 1, E, 1));
  EXPECT_TRUE(compa(5, 1, PLUS_INF, 1));
  EXPECT_FALSE(compa(PLUS_INF, 1, 5, 1));
  EXPECT_FALSE(compa(5, 1, E, 1));
}

TEST(CycleTime, TieBreakingKeepsTheUnreducedFraction) {
  Matrix A{3, 0, 0, 1};
  RATIONAL r = cycle_time(2, A);
  EXPECT_EQ(r.Num, 6);
  EXPECT_EQ(r.Den, 2);
  r = cycle_time_all_sources(2, A);
  EXPECT_EQ(r.Num, 6);
  EXPECT_EQ(r.Den, 2);
}

TEST(CycleTime, NoCircuitGivesMinusInfinity) {
  Matrix A{E, E, E, 5, E, E, E, 2, E};
  EXPECT_EQ(cycle_time(3, A).Num, E);
  EXPECT_EQ(cycle_time_all_sources(3, A).Num, E);
}

Matrix random_matrix(std::mt19937& gen, int N, double density, int range) {
  std::uniform_real_distribution<double> u(0, 1);
  std::uniform_int_distribution<int> w(-range, range);
  Matrix A(static_cast<size_t>(N) * N);
  for (Val& a : A) a = u(gen) < density ? w(gen) : E;
  return A;
}

// The per-component shortcut must give the very fraction Karp from every
// source gives, not just an equal value: the normalisation depends on it.
TEST(CycleTime, AgreesWithKarpFromEverySource) {
  std::mt19937 gen(12345);
  const double densities[] = {0.05, 0.15, 0.4, 1.0};
  int compared = 0;
  for (int round = 0; round < 400; ++round) {
    int N = 1 + round % 23;
    double density = densities[round % 4];
    // Small ranges make equal circuit means, and so ties, frequent.
    int range = round % 3 == 0 ? 2 : 50;
    Matrix A = random_matrix(gen, N, density, range);
    RATIONAL fast = cycle_time(N, A), ref = cycle_time_all_sources(N, A);
    ASSERT_EQ(fast.Num, ref.Num) << "round " << round;
    if (ref.Num != E) {
      ASSERT_EQ(fast.Den, ref.Den) << "round " << round;
      ++compared;
    }
  }
  EXPECT_GT(compared, 200);
}

// Independent check of the value: the maximum cycle ratio with unit times.
TEST(CycleTime, MatchesBoostMaximumCycleRatio) {
  using namespace boost;
  using G = adjacency_list<vecS, vecS, directedS, property<vertex_index_t, int>,
                           property<edge_weight_t, double, property<edge_weight2_t, double>>>;
  std::mt19937 gen(777);
  int compared = 0;
  for (int round = 0; round < 300; ++round) {
    int N = 1 + round % 40;
    Matrix A = random_matrix(gen, N, round % 2 ? 0.1 : 0.5, 1000);
    G g(N);
    for (int i = 0; i < N; ++i)
      for (int j = 0; j < N; ++j)
        if (A[static_cast<size_t>(i) * N + j] != E) {
          // A[i][j] weighs the arc from j to i.
          auto e = add_edge(j, i, g).first;
          put(edge_weight, g, e, static_cast<double>(A[static_cast<size_t>(i) * N + j]));
          put(edge_weight2, g, e, 1.0);
        }
    // Boost finds no circuit in a graph whose only arc is a loop.
    if (num_edges(g) < 2) continue;
    RATIONAL r = cycle_time(N, A);
    double ratio = maximum_cycle_ratio(g, get(vertex_index, g), get(edge_weight, g),
                                       get(edge_weight2, g));
    if (r.Num == E) {
      EXPECT_LT(ratio, -1e300) << "round " << round;
      continue;
    }
    EXPECT_NEAR(static_cast<double>(r.Num) / static_cast<double>(r.Den), ratio, 1e-9)
        << "round " << round;
    ++compared;
  }
  EXPECT_GT(compared, 200);
}

TEST(Critical, CyclicityOfACircuitAndOfTwoComponents) {
  // One circuit 0 -> 1 -> 2 -> 0 of weight 3 and a loop of mean 1 on node 3:
  // two critical components, cyclicities 3 and 1.
  Matrix A{E, E, 1, E,
           1, E, E, E,
           E, 1, E, E,
           E, E, E, 1};
  RATIONAL lambda = cycle_time(4, A);
  ASSERT_EQ(lambda.Num * 1, lambda.Den * 1);
  Critical c = analyse_critical(4, A, lambda);
  EXPECT_EQ(c.R, (std::vector<int>{0, 1, 2, 3}));
  ASSERT_EQ(c.Comp.size(), 2u);
  EXPECT_EQ(c.Comp[0], (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(c.Comp[1], (std::vector<int>{3}));
  EXPECT_EQ(c.cyc, 3);
}

TEST(Critical, ComponentsAreListedBySmallestMember) {
  // Critical circuits {0, 2} and {1, 3}, interleaved.
  Matrix A{E, E, 0, E,
           E, E, E, 0,
           0, E, E, E,
           E, 0, E, E};
  Critical c = analyse_critical(4, A, cycle_time(4, A));
  ASSERT_EQ(c.Comp.size(), 2u);
  EXPECT_EQ(c.Comp[0], (std::vector<int>{0, 2}));
  EXPECT_EQ(c.Comp[1], (std::vector<int>{1, 3}));
  EXPECT_EQ(c.cyc, 2);
}

std::string capture(const std::function<void(FILE*)>& f) {
  FILE* tmp = std::tmpfile();
  f(tmp);
  std::rewind(tmp);
  std::string s;
  for (int ch; (ch = std::getc(tmp)) != EOF;) s.push_back(static_cast<char>(ch));
  std::fclose(tmp);
  return s;
}

TEST(Transient, PeriodicAfterAStartUp) {
  // Node 1 follows node 0 (loop 0) and its own loop -5: from (0, 12) it
  // falls by 5 a step until node 0 takes over; y(4) = y(3).
  Matrix A{0, E, 0, -5};
  RATIONAL lambda = cycle_time(2, A);
  Val r = 0;
  std::string out = capture([&](FILE* f) { r = transient(2, A, {0, 12}, lambda, 1, 1, f, 100); });
  EXPECT_EQ(r, 5);
  EXPECT_EQ(out,
            "\nT = 0:     0.0000   12.0000\n"
            "T = 1:     0.0000    7.0000\n"
            "T = 2:     0.0000    2.0000\n"
            "T = 3:     0.0000    0.0000\n"
            "T = 4:     0.0000    0.0000\n");
}

TEST(Transient, RepetitionMustWaitForTheCyclicity) {
  // Periodic from the start with period 2, but the loop runs until t >= cyc.
  Matrix A{E, 1, 1, E};
  Val r = 0;
  capture([&](FILE* f) { r = transient(2, A, {0, -3}, cycle_time(2, A), 5, 1, f, 100); });
  EXPECT_EQ(r, 6);
}

TEST(Transient, ReducibleMatrixHitsTheCap) {
  Matrix A{2, 0, E, 1};
  Val r = 0;
  capture([&](FILE* f) { r = transient(2, A, {0, 5}, cycle_time(2, A), 1, 1, f, 1000); });
  EXPECT_EQ(r, -1);
}

TEST(Transient, OldStatesAreRecomputedWhenOutOfTheWindow) {
  // A circuit of 7 nodes with one heavy arc: the state repeats after 7
  // steps, further back than a window of 2.
  const int N = 7;
  Matrix A(N * N, E);
  for (int i = 0; i < N; ++i) A[((i + 1) % N) * N + i] = i == 0 ? 7 : 0;
  std::vector<Val> X{0, 3, 1, 4, 1, 5, 9};
  RATIONAL lambda = cycle_time(N, A);
  Val r = 0;
  capture([&](FILE* f) { r = transient(N, A, X, lambda, 1, 1, f, 100, 2); });
  EXPECT_EQ(r, 8);
}

}  // namespace

namespace {

TEST(Transient, StateEntriesPrintAsPrintfWould) {
  const double values[] = {0, 1, -1, 9999, -9999, 10000, 99999, -99999, 123456789,
                           -2147483646, 4503599627370495.0, -4503599627370495.0};
  for (int precision : {1, 100}) {
    for (double v : values) {
      char want[64];
      std::snprintf(want, sizeof want, " %9.4f", v / precision);
      std::string got;
      append_state_entry(got, v, precision);
      EXPECT_EQ(got, want) << v << " / " << precision;
    }
  }
  std::string eps;
  append_state_entry(eps, -__builtin_huge_val(), 1);
  EXPECT_EQ(eps, "       eps");
}

}  // namespace
