// zonfet's bounds against the products themselves: every arrangement of the
// factors enumerated for short horizons, a Monte Carlo estimate for a longer
// one, and the long-run growth rate.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "zonfet.h"

namespace {

using namespace orv;
using namespace orv::zonfet;
using Dense = std::vector<std::vector<double>>;
using Vec = std::vector<double>;
constexpr double eps = mp::M_INFINITY;

// Plain max-plus, written apart from the library.
Vec step(const Dense& M, const Vec& x) {
  Vec y(x.size(), eps);
  for (std::size_t i = 0; i < M.size(); ++i)
    for (std::size_t k = 0; k < x.size(); ++k)
      if (M[i][k] != eps && x[k] != eps) y[i] = std::max(y[i], M[i][k] + x[k]);
  return y;
}

// Integer entries, some eps, but a finite one in every row so X stays finite.
Dense random_matrix(std::mt19937& rng, int d) {
  Dense M(d, Vec(d, eps));
  for (int i = 0; i < d; ++i) {
    M[i][rng() % d] = static_cast<double>(rng() % 7) - 2;
    for (int k = 0; k < d; ++k)
      if (rng() % 3 == 0) M[i][k] = static_cast<double>(rng() % 7) - 2;
  }
  return M;
}

mp::Full_MaxPlus_Matrix full(const Dense& M) {
  const int d = static_cast<int>(M.size());
  return mp::Make_Full_MaxPlus_Matrix(d, d, M);
}

// Means over every arrangement of j factors B among n: E[X(n)] and E[max].
struct Exact {
  std::vector<Vec> mean;  // [j][k]
  Vec top;                // [j]
};

Exact enumerate(const Dense& A, const Dense& B, int n) {
  const int d = static_cast<int>(A.size());
  Exact e{std::vector<Vec>(n + 1, Vec(d, 0.0)), Vec(n + 1, 0.0)};
  std::vector<int> count(n + 1, 0);
  for (unsigned mask = 0; mask < (1u << n); ++mask) {
    Vec x(d, 0.0);
    for (int t = 0; t < n; ++t) x = step((mask >> t) & 1 ? B : A, x);
    const int j = __builtin_popcount(mask);
    ++count[j];
    for (int k = 0; k < d; ++k) e.mean[j][k] += x[k];
    e.top[j] += *std::max_element(x.begin(), x.end());
  }
  for (int j = 0; j <= n; ++j) {
    for (double& v : e.mean[j]) v /= count[j];
    e.top[j] /= count[j];
  }
  return e;
}

TEST(Bounds, OrderOneTwiceAgrees) {
  std::mt19937 rng(3);
  for (int round = 0; round < 20; ++round) {
    const int d = 1 + static_cast<int>(rng() % 4);
    const Dense A = random_matrix(rng, d), B = random_matrix(rng, d);
    const int n = 1 + static_cast<int>(rng() % 9);
    const Bounds one = Compute_Bounds(*full(A), *full(B), n);
    const Bounds m1 = Compute_Bounds_Order(*full(A), *full(B), 1, n);
    for (int j = 0; j <= n; ++j) {
      for (int k = 0; k < d; ++k) EXPECT_NEAR(one.Lower[j][k], m1.Lower[j][k], 1e-9);
      EXPECT_NEAR(one.Upper[j], m1.Upper[j], 1e-9);
    }
  }
}

// Given j factors B: the lower bound never exceeds the mean of X(n), the
// upper bound never falls below the mean of its largest component, and with
// fewer than m factors B both are the exact means.
TEST(Bounds, HoldForEveryCountOfFactorsB) {
  std::mt19937 rng(11);
  for (int round = 0; round < 40; ++round) {
    const int d = 1 + static_cast<int>(rng() % 3);
    const Dense A = random_matrix(rng, d), B = random_matrix(rng, d);
    const int n = 1 + static_cast<int>(rng() % 8);
    const Exact e = enumerate(A, B, n);
    for (int m = 0; m <= 3; ++m) {
      const Bounds b = m == 0 ? Compute_Bounds(*full(A), *full(B), n)
                              : Compute_Bounds_Order(*full(A), *full(B), m, n);
      for (int j = 0; j <= n; ++j) {
        for (int k = 0; k < d; ++k) {
          EXPECT_LE(b.Lower[j][k], e.mean[j][k] + 1e-9) << "m " << m << " j " << j;
          if (j < m) {
            EXPECT_NEAR(b.Lower[j][k], e.mean[j][k], 1e-9);
          }
        }
        EXPECT_GE(b.Upper[j], e.top[j] - 1e-9) << "m " << m << " j " << j << " n " << n;
        if (j < m || j == 0 || j == n) {
          EXPECT_NEAR(b.Upper[j], e.top[j], 1e-9);
        }
      }
    }
  }
}

// The case where the largest of the means falls below the mean of the
// largest: one factor B among three.
TEST(Bounds, UpperBoundIsTheMeanOfTheLargest) {
  const Dense A = {{0, 3}, {eps, 1}};
  const Dense B = {{eps, 2}, {2, 2}};
  const Exact e = enumerate(A, B, 3);
  const Bounds b = Compute_Bounds_Order(*full(A), *full(B), 2, 3);
  const double largest_mean = std::max(e.mean[1][0], e.mean[1][1]);
  EXPECT_DOUBLE_EQ(largest_mean, 6.0);
  EXPECT_DOUBLE_EQ(e.top[1], 20.0 / 3);
  EXPECT_NEAR(b.Upper[1], e.top[1], 1e-12);
}

Vec binomial_pmf(int n, double p) {
  Vec w(n + 1);
  for (int j = 0; j <= n; ++j) w[j] = Binomial(n, j) * std::pow(p, n - j) * std::pow(1 - p, j);
  return w;
}

// At p = P(A) = 0.4 and n = 30, the weighed bounds bracket Monte Carlo
// estimates of E[X_i(30)]/30 and E[max X(30)]/30, and the upper bound lies
// above the long-run growth rate (E[max X(n)] is subadditive).
TEST(Bounds, BracketMonteCarloEstimates) {
  std::mt19937 rng(5);
  const int d = 3, n = 30;
  const double p = 0.4;
  const Dense A = random_matrix(rng, d), B = random_matrix(rng, d);
  const Vec w = binomial_pmf(n, p);
  for (int m = 0; m <= 2; ++m) {
    const Bounds b = m == 0 ? Compute_Bounds(*full(A), *full(B), n)
                            : Compute_Bounds_Order(*full(A), *full(B), m, n);
    Vec lower(d, 0.0);
    double upper = 0;
    for (int j = 0; j <= n; ++j) {
      for (int k = 0; k < d; ++k) lower[k] += w[j] * b.Lower[j][k] / n;
      upper += w[j] * b.Upper[j] / n;
    }
    const int samples = 20000;
    Vec sum(d, 0.0), sum2(d, 0.0);
    double top = 0, top2 = 0;
    std::bernoulli_distribution first(p);
    std::mt19937 draw(17);
    for (int s = 0; s < samples; ++s) {
      Vec x(d, 0.0);
      for (int t = 0; t < n; ++t) x = step(first(draw) ? A : B, x);
      for (int k = 0; k < d; ++k) {
        sum[k] += x[k] / n;
        sum2[k] += (x[k] / n) * (x[k] / n);
      }
      const double mx = *std::max_element(x.begin(), x.end()) / n;
      top += mx;
      top2 += mx * mx;
    }
    for (int k = 0; k < d; ++k) {
      const double mean = sum[k] / samples;
      const double sd = std::sqrt(std::max(0.0, sum2[k] / samples - mean * mean) / samples);
      EXPECT_LE(lower[k], mean + 4 * sd + 1e-9) << "m " << m << " k " << k;
    }
    const double mean = top / samples;
    const double sd = std::sqrt(std::max(0.0, top2 / samples - mean * mean) / samples);
    EXPECT_GE(upper, mean - 4 * sd - 1e-9) << "m " << m;

    Vec x(d, 0.0);
    const int long_run = 200000;
    for (int t = 0; t < long_run; ++t) x = step(first(draw) ? A : B, x);
    EXPECT_GE(upper, *std::max_element(x.begin(), x.end()) / long_run - 0.01) << "m " << m;
  }
}

TEST(Exact, SumsOverEveryProduct) {
  std::mt19937 rng(23);
  const Dense A = random_matrix(rng, 3), B = random_matrix(rng, 3);
  auto P = mp::New_Bernoulli_Product(2, 3);
  P->A[0] = mp::Make_SP_MaxPlus_Matrix(3, 3, A);
  P->A[1] = mp::Make_SP_MaxPlus_Matrix(3, 3, B);
  const double p = 0.3;
  double lower = 0, upper = 0;
  Compute_Exact_Sums(*P, {p, 1 - p}, 6, lower, upper);
  double want_lo = 0, want_up = 0;
  for (unsigned mask = 0; mask < 64; ++mask) {
    Vec x(3, 0.0);
    double weight = 1;
    for (int t = 0; t < 6; ++t) {
      const bool b = (mask >> t) & 1;
      x = step(b ? B : A, x);
      weight *= b ? 1 - p : p;
    }
    want_lo += weight * *std::min_element(x.begin(), x.end());
    want_up += weight * *std::max_element(x.begin(), x.end());
  }
  EXPECT_NEAR(lower, want_lo, 1e-9);
  EXPECT_NEAR(upper, want_up, 1e-9);
}

TEST(Range, CountKeepsItsEndPoint) {
  struct Case {
    double start, stop, step;
    int count;
  };
  const Case cases[] = {{0, 0.3, 0.1, 4}, {0, 1, 0.05, 21}, {0.5, 0.5, 0, 1},
                        {0, 0.25, 0.1, 3}, {0.2, 0.9, 0.7, 2}, {0, 1, 0.3, 4}};
  for (const Case& c : cases) {
    RANGE_INFO r{c.start, c.stop, c.step};
    EXPECT_EQ(Range_Count(r), c.count) << c.start << " " << c.stop << " " << c.step;
    EXPECT_LE(Range_Value(r, c.count - 1), c.stop);
  }
}

TEST(Polynomials, Terms) {
  struct Case {
    double coefficient, value;
    int e1, e2;
    const char* text;
  };
  const Case cases[] = {
      {1, 1, 3, 0, "(1-p)**3"},
      {1, 2.5, 3, 0, "  2.50000000*(1-p)**3"},
      {3, 1, 2, 1, "+ 3*(1-p)**2*p"},
      {3, 0.5, 1, 2, "+ 3*  0.50000000*(1-p)*p**2"},
      {1, 1, 0, 3, "+ p**3"},
      {1, -1.25, 0, 1, "+  -1.25000000*p"},
      {1, eps, 1, 0, "eps*(1-p)"},
      {10, 1, 0, 2, "+ 10*p**2"},
  };
  for (const Case& c : cases) {
    FILE* f = std::tmpfile();
    Print_Term(c.coefficient, c.value, c.e1, c.e2, f);
    std::rewind(f);
    char text[128] = {0};
    std::fread(text, 1, sizeof text - 1, f);
    std::fclose(f);
    EXPECT_STREQ(text, c.text);
  }
  EXPECT_EQ(Binomial(50, 25), 126410606437752.0);
  EXPECT_EQ(Binomial(7, 0), 1.0);
}

}  // namespace
