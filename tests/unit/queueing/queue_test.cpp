#include "queueing/queue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <vector>

namespace qn = orv::qn;

namespace {

qn::SEQUENCE make(std::vector<double> B, std::vector<double> Inc) {
  qn::SEQUENCE s;
  s.T = static_cast<int>(B.size()) - 1;
  s.D = static_cast<int>(Inc.size());
  s.B = std::move(B);
  s.Inc = std::move(Inc);
  qn::Prepare_Data(s, 0.0);
  return s;
}

template <class F>
std::string captured(F&& f) {
  testing::internal::CaptureStdout();
  f();
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

// Second column of the result lines.
std::vector<double> values(const std::string& text) {
  std::istringstream in(text);
  std::vector<double> v;
  double x, y;
  while (in >> x >> y) v.push_back(y);
  return v;
}

std::vector<double> grid(double a, double b, double step) {
  std::vector<double> v;
  for (int i = 0; a + i * step <= b + 1e-12; ++i) v.push_back(a + i * step);
  return v;
}

// The n-th waiting time is max over m <= n of B_m - S_m, S_m the m-th
// Poisson arrival. Forward in time: follow the arrival count at the points
// B_m - x and drop the paths with N(B_m - x) >= m.
double forward_F(double lambda, const qn::SEQUENCE& s, int n, double x) {
  if (x < s.B[0]) return 0.0;
  std::vector<double> p{1.0};
  double t = 0.0;
  for (int m = 1; m <= n; ++m) {
    const double y = qn::Upper_Value(m - 1, s) - x;
    if (y <= 0) continue;
    const double d = lambda * (y - t);
    t = y;
    std::vector<double> q(static_cast<std::size_t>(m), 0.0);
    for (std::size_t c = 0; c < p.size(); ++c)
      for (int c2 = static_cast<int>(c); c2 < m; ++c2)
        q[c2] += p[c] * std::exp(-d + (c2 - c) * std::log(d) - std::lgamma(c2 - c + 1.0));
    p = q;
  }
  double sum = 0.0;
  for (double v : p) sum += v;
  return sum;
}

// M/D/1 with service s: Erlang's distribution and the first two moments.
double md1_F(double lambda, double s, double x) {
  const double rho = lambda * s;
  double sum = 0.0;
  for (int j = 0; j <= static_cast<int>(std::floor(x / s)); ++j) {
    const double u = lambda * (j * s - x);
    sum += std::pow(u, j) / std::tgamma(j + 1.0) * std::exp(-u);
  }
  return (1 - rho) * sum;
}

struct Stat {
  std::vector<double> H, Tau;
  qn::MATRIX Phi;
};

Stat stationary(double lambda, const qn::SEQUENCE& s, int V) {
  Stat r;
  EXPECT_EQ(qn::Compute_H_Coefs(lambda, s, r.H), 0);
  EXPECT_EQ(qn::Compute_Phi_Coefs(lambda, s, r.H, r.Phi, V), 0);
  qn::Compute_Tau_Coefs(lambda, s, r.Phi, r.Tau);
  return r;
}

}  // namespace

TEST(Sequence, EpochsAndIntervals) {
  // B: 0.5 1 | 1.25 2 | 2.25 3 | ...
  const qn::SEQUENCE s = make({0.5, 1.0}, {0.25, 0.75});
  const double up[] = {0.5, 1.0, 1.25, 2.0, 2.25, 3.0};
  for (int N = -1; N <= 4; ++N) EXPECT_DOUBLE_EQ(qn::Upper_Value(N, s), up[N + 1]) << N;
  const struct {
    double x;
    int m;
  } cases[] = {{0.4, -1}, {0.5, 0}, {0.99, 0}, {1.0, 1}, {1.2, 1}, {1.25, 2},
               {1.9, 2},  {2.0, 3}, {2.3, 4},  {3.0, 5}, {100.1, 199}};
  for (const auto& c : cases) EXPECT_EQ(qn::Interval_Nb(c.x, s), c.m) << c.x;
  // Far points stay clear of integer overflow.
  EXPECT_GT(qn::Interval_Nb(1e300, s), 0);
}

TEST(Sequence, AlignedTables) {
  const qn::SEQUENCE s = make({0.5, 1.0}, {0.25, 0.75});
  EXPECT_EQ(s.C, (std::vector<double>{0.25, 1.0, 1.25}));
  EXPECT_EQ(s.CS, (std::vector<double>{0.0, 0.75, 1.0}));
  EXPECT_DOUBLE_EQ(s.Cycle_Length, 1.0);
  EXPECT_DOUBLE_EQ(s.Gamma, 0.5);
  // A transient longer than the period walks the increments backwards.
  const qn::SEQUENCE t = make({0, 1, 2, 3}, {0.5});
  EXPECT_EQ(t.C, (std::vector<double>{1.5, 2.0, 2.5, 3.0}));
  EXPECT_EQ(t.CS, (std::vector<double>{0.0, 0.5}));
}

TEST(Sequence, EpsTakesFirstPoint) {
  qn::SEQUENCE s;
  s.T = 1;
  s.D = 1;
  s.B = {0.0, 0.0};
  s.Eps = {false, true};
  s.Inc = {1.0};
  qn::Prepare_Data(s, 2.5);
  EXPECT_EQ(s.B, (std::vector<double>{0.0, 2.5}));
  EXPECT_FALSE(qn::Is_Decreasing(s));
  qn::Prepare_Data(s, -1.0);  // the mark stays: a second preparation re-applies it
  EXPECT_TRUE(qn::Is_Decreasing(s));
}

TEST(Numerics, PoissonAndDif) {
  EXPECT_DOUBLE_EQ(qn::Poisson(2, 3), 8 * std::exp(-2.0) / 6);
  EXPECT_DOUBLE_EQ(qn::Poisson(-2, 3), -8 * std::exp(2.0) / 6);
  EXPECT_DOUBLE_EQ(qn::Poisson(-2, 2), 4 * std::exp(2.0) / 2);
  EXPECT_EQ(qn::Poisson(0, 0), 1.0);
  EXPECT_EQ(qn::Poisson(0, 2), 0.0);
  // Dif against its defining sum of binomial terms.
  const struct {
    double a;
    int b;
    double lambda;
    int k;
  } cases[] = {{-1.5, 3, 2.0, 2}, {0.7, 1, 0.5, 3}, {-2.0, 5, 1.3, 4}, {0.0, 2, 3.0, 2}};
  for (const auto& c : cases) {
    double sum = 0.0;
    for (int m = 0; m <= c.k; ++m) {
      double rising = 1.0;
      for (int i = 0; i < m; ++i) rising *= c.b + i;
      const double binom = std::tgamma(c.k + 1.0) / (std::tgamma(m + 1.0) * std::tgamma(c.k - m + 1.0));
      sum += binom * std::pow(c.a, c.k - m) * rising / std::pow(c.lambda, m);
    }
    EXPECT_NEAR(qn::Dif(c.a, c.b, c.lambda, c.k), sum, 1e-12 * std::fabs(sum) + 1e-12);
  }
  EXPECT_EQ(qn::Dif(1.5, 0, 2.0, 3), 1.5 * 1.5 * 1.5);
  EXPECT_EQ(qn::Dif(1.5, 2, 0.0, 3), 0.0);
  EXPECT_EQ(qn::Dif(1.5, 2, 2.0, 0), 1.0);
  EXPECT_EQ(qn::Dif(1.5, 2, 2.0, 1), 2.5);
}

TEST(Numerics, KSeries) {
  // Abel: sum_h b (b + h)^(h-1) z^h / h! = e^(b rho) for z = rho e^-rho, rho < 1.
  for (double rho : {0.2, 0.5, 0.8})
    for (double b : {0.3, 1.0, 2.5}) {
      const double k = qn::K(0, 1, b, rho * std::exp(-rho));
      EXPECT_NEAR(k, std::exp(b * rho), 1e-9) << rho << " " << b;
    }
  EXPECT_EQ(qn::K(0, 3, 0.0, 0.2), 1.0);
  EXPECT_EQ(qn::K(2, 3, 0.0, 0.2), 0.0);
  std::string out = captured([] { EXPECT_EQ(qn::K(0, 1, 1.0, -0.5), 0.0); });
  EXPECT_EQ(out, "Error: call to k with negative z (-0.500000)\n");
}

TEST(Numerics, KSeriesWithBNearMinusH) {
  // b one rounding away from -2 makes the first term (h = 2) vanish; the
  // series is still the one of b = -2, whose first term is exactly 0.
  const double z = 0.6 * std::exp(-0.6);
  const double exact = qn::K(2, 3, -2.0, z);
  EXPECT_NE(exact, 0.0);
  for (double b : {std::nextafter(-2.0, 0.0), std::nextafter(-2.0, -3.0)})
    EXPECT_NEAR(qn::K(2, 3, b, z), exact, 1e-12 * std::fabs(exact)) << b;
}

TEST(Range, PointsAndErrors) {
  const struct {
    double first, last, step;
    int status;
    std::int64_t count;
  } cases[] = {{0, 1, 0.1, 0, 11},   {0, 0.3, 0.1, 0, 3}, {2, 2, 0.1, 0, 1},  {2, 2, 0, 0, 1},
               {0, 1, 0, 1, 0},      {0, 1, -0.1, 1, 0},  {1, 0, 0.1, 1, 0},  {0, NAN, 0.1, 1, 0},
               {0, INFINITY, 1, 1, 0}, {0, 1, NAN, 1, 0}, {0, 1, INFINITY, 1, 0}, {1e299, 1e300, 0.1, 1, 0}};
  for (const auto& c : cases) {
    std::int64_t n = 0;
    testing::internal::CaptureStderr();
    EXPECT_EQ(qn::Range_Points(c.first, c.last, c.step, n), c.status) << c.first << " " << c.last;
    testing::internal::GetCapturedStderr();
    if (c.status == 0) {
      EXPECT_EQ(n, c.count) << c.first << " " << c.last << " " << c.step;
    }
  }
}

TEST(Transient, DistributionMatchesForwardComputation) {
  const double lambda = 0.9;
  const qn::SEQUENCE s = make({0.5, 1.0, 1.2}, {0.3, 0.9, 0.1});
  for (int n : {0, 1, 3, 12}) {
    const std::vector<double> xs = grid(0.3, 5.0, 0.1);
    const std::string out =
        captured([&] { EXPECT_EQ(qn::Print_Range(0.3, 5.0, 0.1, lambda, s, n), 0); });
    const std::vector<double> F = values(out);
    ASSERT_EQ(F.size(), xs.size());
    for (std::size_t i = 0; i < xs.size(); ++i)
      EXPECT_NEAR(F[i], forward_F(lambda, s, n, xs[i]), 1e-8) << "n=" << n << " x=" << xs[i];
  }
}

TEST(Transient, MomentsOfFirstCustomers) {
  const double lambda = 1.7, B0 = 0.4, B1 = 1.1, d = B1 - B0;
  const qn::SEQUENCE s = make({B0, B1}, {0.6});
  double m = 0.0;
  for (int k = 0; k <= 3; ++k) {
    ASSERT_EQ(qn::Compute_Moment(lambda, s, 0, k, m), 0);
    EXPECT_NEAR(m, std::pow(B0, k), 1e-12) << k;
  }
  // W_1 = max(B0, B1 - E), E exponential.
  const double q = std::exp(-lambda * d);
  ASSERT_EQ(qn::Compute_Moment(lambda, s, 1, 1, m), 0);
  EXPECT_NEAR(m, B1 - (1 - q) / lambda, 1e-12);
  const double I1 = (1 - q * (1 + lambda * d)) / lambda;
  const double I2 = (2 - q * (lambda * lambda * d * d + 2 * lambda * d + 2)) / (lambda * lambda);
  ASSERT_EQ(qn::Compute_Moment(lambda, s, 1, 2, m), 0);
  EXPECT_NEAR(m, B0 * B0 * q + B1 * B1 * (1 - q) - 2 * B1 * I1 + I2, 1e-12);
}

TEST(Transient, RefusesHugeCustomer) {
  const qn::SEQUENCE s = make({0.0}, {1.0});
  double m = 0.0;
  EXPECT_EQ(qn::Compute_Moment(1.0, s, qn::Max_Customer + 1, 1, m), -1);
}

TEST(Stationary, ConstantServiceIsMD1) {
  // Pollaczek-Khinchine and Takacs for any period and transient part made of
  // the same service time.
  for (int D : {1, 3, 7})
    for (int T : {0, 2})
      for (double rho : {0.3, 0.7}) {
        const double s = 0.5, lambda = rho / s;
        std::vector<double> B, Inc(static_cast<std::size_t>(D), s);
        for (int i = 0; i <= T; ++i) B.push_back(i * s);
        const qn::SEQUENCE seq = make(B, Inc);
        Stat st = stationary(lambda, seq, T);
        const double w1 = lambda * s * s / (2 * (1 - rho));
        const double w2 = 2 * w1 * w1 + lambda * s * s * s / (3 * (1 - rho));
        double m1 = 0, m2 = 0;
        const std::string out = captured([&] {
          EXPECT_EQ(qn::Compute_Stat_Moment(lambda, seq, st.Tau, st.H, 1, m1), 0);
          EXPECT_EQ(qn::Compute_Stat_Moment(lambda, seq, st.Tau, st.H, 2, m2), 0);
        });
        EXPECT_EQ(out, "") << "D=" << D << " T=" << T << " rho=" << rho;
        EXPECT_NEAR(m1, w1, 1e-7) << "D=" << D << " T=" << T << " rho=" << rho;
        EXPECT_NEAR(m2, w2, 1e-7) << "D=" << D << " T=" << T << " rho=" << rho;
      }
}

TEST(Stationary, ConstantServiceDistribution) {
  const double s = 0.5, lambda = 1.2;
  const qn::SEQUENCE seq = make({0.0}, {s, s, s});
  const int V = qn::Stat_Range_Size(0.0, 4.0, 0.2, seq);
  Stat st = stationary(lambda, seq, V);
  const std::string out = captured([&] { qn::Print_Stat_Range(0.0, 4.0, 0.2, lambda, seq, st.Phi); });
  const std::vector<double> F = values(out), xs = grid(0.0, 4.0, 0.2);
  ASSERT_EQ(F.size(), xs.size());
  for (std::size_t i = 0; i < xs.size(); ++i) EXPECT_NEAR(F[i], md1_F(lambda, s, xs[i]), 2e-8) << xs[i];
}

TEST(Stationary, LimitOfTheTransientAnalysis) {
  // The n-th waiting time grows to the stationary one; at this load customer
  // 1500 is there to far below print precision.
  const double lambda = 0.9;
  const qn::SEQUENCE s = make({0.0, 0.2, 0.3, 1.5}, {0.1, 1.2, 0.0, 0.3, 2.0, 0.05, 0.4});
  for (int k : {1, 2}) {
    double mt = 0, ms = 0;
    Stat st = stationary(lambda, s, s.T);
    ASSERT_EQ(qn::Compute_Moment(lambda, s, 1500, k, mt), 0);
    captured([&] { EXPECT_EQ(qn::Compute_Stat_Moment(lambda, s, st.Tau, st.H, k, ms), 0); });
    EXPECT_NEAR(ms, mt, 1e-7) << k;
  }
  const int V = qn::Stat_Range_Size(0.1, 8.0, 0.3, s);
  Stat st = stationary(lambda, s, V);
  const std::vector<double> Fs =
      values(captured([&] { qn::Print_Stat_Range(0.1, 8.0, 0.3, lambda, s, st.Phi); }));
  const std::vector<double> Ft = values(captured([&] { qn::Print_Range(0.1, 8.0, 0.3, lambda, s, 1500); }));
  ASSERT_EQ(Fs.size(), Ft.size());
  for (std::size_t i = 0; i < Fs.size(); ++i) EXPECT_NEAR(Fs[i], Ft[i], 2e-8) << i;
}

TEST(Stationary, OrderAboveTwoIsRefused) {
  const qn::SEQUENCE s = make({0.0}, {0.5});
  Stat st = stationary(1.0, s, 0);
  double m = 7;
  const std::string out = captured([&] { EXPECT_EQ(qn::Compute_Stat_Moment(1.0, s, st.Tau, st.H, 3, m), 1); });
  EXPECT_EQ(out, "Moments of order > 2 not implemented yet...\n");
  EXPECT_EQ(qn::Compute_Stat_Moment(1.0, s, st.Tau, st.H, 0, m), 0);
  EXPECT_EQ(m, 1.0);
}

TEST(Stationary, LargeEpochsStayFinite) {
  // lambda b_T far past the range of exp: the transient coefficients must
  // not turn into 0 * inf.
  const double lambda = 1.0;
  const qn::SEQUENCE s = make({0.0, 400.0, 800.0}, {0.5, 0.5});
  Stat st = stationary(lambda, s, s.T);
  for (double t : st.Tau) EXPECT_TRUE(std::isfinite(t));
  double m = 0;
  captured([&] { qn::Compute_Stat_Moment(lambda, s, st.Tau, st.H, 1, m); });
  double mt = 0;
  ASSERT_EQ(qn::Compute_Moment(lambda, s, 600, 1, mt), 0);
  EXPECT_NEAR(m, mt, 1e-6);
}
