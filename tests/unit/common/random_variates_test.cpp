#include "common/random_variates.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "common/law.h"

// The test binary supplies random() itself, so a test can put exact raw
// values in front of the C library's sequence (a draw of 0 or of the maximum
// does not come up from a seed) and count the calls the generators make.
// With nothing scripted it hands over to the C library's own random().
namespace {
std::deque<long> g_script;
long g_calls = 0;
}  // namespace

extern "C" long random() noexcept {
  ++g_calls;
  if (!g_script.empty()) {
    long v = g_script.front();
    g_script.pop_front();
    return v;
  }
  using Fn = long (*)();
  static Fn libc_random = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, "random"));
  return libc_random();
}

namespace {

constexpr double M = 2147483647.0;
// The C library's first values after srandom(1).
constexpr long Seed1[] = {1804289383, 846930886, 1681692777, 1714636915,
                          1957747793, 424238335, 719885386,  1649760492,
                          596516649,  1189641421};

// Starts from seed 1 with nothing scripted and the call count at 0.
void reset(std::deque<long> script = {}) {
  srandom(1);
  g_script = std::move(script);
  g_calls = 0;
}

orv::LAW_DESC law(char name, std::vector<double> p) {
  orv::LAW_DESC l;
  l.Name = name;
  l.Parameters = std::move(p);
  return l;
}

void expect_draws(const std::vector<double>& want, const std::function<double()>& draw,
                  long calls) {
  reset();
  for (std::size_t i = 0; i < want.size(); ++i) {
    double got = draw();
    EXPECT_NEAR(got, want[i], 1e-12 * std::max(1.0, std::fabs(want[i]))) << "draw " << i;
  }
  EXPECT_EQ(g_calls, calls);
}

TEST(RandomVariates, UniformSourceIsTheLibraryRandomOverItsMaximum) {
  reset();
  for (long raw : Seed1) EXPECT_EQ(orv::U_0_1(), static_cast<double>(raw) / M);
  reset({0, 2147483647});
  EXPECT_EQ(orv::U_0_1(), 0.0);
  EXPECT_EQ(orv::U_0_1(), 1.0);
}

// Expected values worked out apart from this code, from the seed-1 draws
// u1 = 0.8401877..., u2 = 0.3943829..., u3 = 0.7830992..., ...
TEST(RandomVariates, FirstDrawsFromSeedOne) {
  struct Case {
    const char* name;
    std::function<double()> draw;
    std::vector<double> want;
    long calls;
  };
  const std::vector<double> hyper = {4, 0.8, 1.0, 0.2, 5.0};
  const std::vector<double> discrete = {2, 10, 20, 0.5, 0.5};
  const Case cases[] = {
      {"Uniform(2,5)", [] { return orv::Uniform(2, 5); },
       {4.5205631514641285, 3.1831487804572793, 4.3492976712758171}, 3},
      {"Exponential(2)", [] { return orv::Exponential(2); },
       {0.34825987861575913, 1.8608658923777905, 0.48899173693492087}, 3},
      {"Bernoulli(0.5)", [] { return orv::Bernoulli(0.5); }, {0, 1, 0, 0, 0, 1}, 6},
      {"Geometric(0.9)", [] { return orv::Geometric(0.9); }, {1, 8, 2}, 3},
      {"Erlang(3,6)", [] { return orv::Erlang(3, 6.0); },
       {2.6981175079284707, 3.8787081529951277}, 6},
      // Branch 2, branch 1, branch 2; each draw takes a second U for its
      // exponential.
      {"HyperExpo", [&] { return orv::HyperExpo(hyper); },
       {4.6521647309444765, 0.22509541311260708, 8.1087831538624009}, 6},
      {"Discrete", [&] { return orv::Discrete(discrete); }, {20, 10, 20}, 3},
      {"Weibull(2,1.5)", [] { return orv::Weibull(2.0, 1.5); },
       {0.19643956721970252, 0.6003945246366567, 0.24631698085707218}, 3},
      // The third pair (u5, u6) falls outside the unit disc and is redrawn.
      {"Normal(1,2)", [] { return orv::Normal(1.0, 2.0); },
       {3.2245432117934452, 2.2161127571496144, -0.42416463849785013}, 8},
      {"LogNormal(3,1)", [] { return orv::LogNormal(3.0, 1.0); },
       {4.083552975906211, 3.4670454685153058, 2.2587130501829336}, 8},
      {"Pareto(2,3)", [] { return orv::Pareto(2.0, 3.0); },
       {0.11952179249738348, 0.72724378313302429, 0.16982344693388285}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    expect_draws(c.want, c.draw, c.calls);
  }
}

// The draw, the law's mean and its tail describe one law, exp(-r x^k):
// W 2 2 has mean Gamma(3/2)/sqrt(2) = 0.62666 and P(X > 1) = exp(-2).
TEST(RandomVariates, WeibullDrawsFollowTheLawsTailAndMean) {
  reset();
  const orv::LAW_DESC w = law('W', {2.0, 2.0});
  const double mean = orv::Mean(w);
  EXPECT_NEAR(mean, std::sqrt(M_PI) / 2.0 / std::sqrt(2.0), 1e-12);
  EXPECT_NEAR(orv::CDF(w, 1.0), std::exp(-2.0), 1e-12);
  const int n = 200000;
  double sum = 0.0;
  int above_one = 0;
  for (int i = 0; i < n; ++i) {
    const double x = orv::Sample(w);
    sum += x;
    if (x > 1.0) ++above_one;
  }
  // Standard errors: 0.33 / sqrt(n) = 0.0007 and 0.34 / sqrt(n) = 0.0008.
  EXPECT_NEAR(sum / n, mean, 0.004);
  EXPECT_NEAR(static_cast<double>(above_one) / n, std::exp(-2.0), 0.004);
}

TEST(RandomVariates, ErlangStages) {
  double e1 = -std::log(Seed1[0] / M), e2 = -std::log(Seed1[1] / M),
         e3 = -std::log(Seed1[2] / M);
  // One stage, or fewer than two, is one exponential draw.
  expect_draws({e1 * 2.0}, [] { return orv::Erlang(1, 2.0); }, 1);
  expect_draws({e1 * 2.0 / 0.5}, [] { return orv::Erlang(0.5, 2.0); }, 1);
  // A fractional count draws while the count is below it.
  expect_draws({(e1 + e2 + e3) * 2.0 / 2.5}, [] { return orv::Erlang(2.5, 2.0); }, 3);
  // The product of many draws would underflow to 0 and give infinity.
  reset();
  double sum = 0;
  for (int i = 0; i < 20; ++i) {
    double x = orv::Erlang(2000, 1.0);
    ASSERT_TRUE(std::isfinite(x));
    sum += x;
  }
  EXPECT_NEAR(sum / 20, 1.0, 0.05);
}

// Two billion stages: a few draws each, not one per stage, and the sum of
// the stages' exponentials concentrates at the mean (deviation m / sqrt(k)).
TEST(RandomVariates, ErlangOfBillionsOfStagesInFewDraws) {
  reset();
  double sum = 0;
  for (int i = 0; i < 50; ++i) {
    const double x = orv::Erlang(2e9, 3.0);
    ASSERT_NEAR(x, 3.0, 1e-3);
    sum += x;
  }
  EXPECT_LT(g_calls, 50 * 20);
  EXPECT_NEAR(sum / 50, 3.0, 1e-4);
}

TEST(RandomVariates, GeometricEnds) {
  testing::internal::CaptureStderr();
  reset();
  EXPECT_EQ(orv::Geometric(0.0), 0.0);
  EXPECT_EQ(g_calls, 0);
  EXPECT_EQ(orv::Geometric(1.0), 0.0);
  EXPECT_EQ(orv::Geometric(1.5), 0.0);
  EXPECT_EQ(g_calls, 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Error: Geometric with proba=1. 0.0 assumed.\n"
            "Error: Geometric with proba=1. 0.0 assumed.\n");
  // Nothing was drawn, so the next draw is still the first of the seed.
  EXPECT_EQ(orv::U_0_1(), Seed1[0] / M);
}

// A zero draw is skipped by the log-based laws and counts as a draw.
TEST(RandomVariates, ZeroDrawIsRedrawnInLogLaws) {
  const long raw = Seed1[1];
  const double e = -std::log(raw / M);
  struct Case {
    const char* name;
    std::function<double()> draw;
    double want;
  };
  const Case cases[] = {
      {"Exponential", [] { return orv::Exponential(3.0); }, e * 3.0},
      {"Geometric", [] { return orv::Geometric(0.5); }, std::floor(e / -std::log(0.5))},
      {"Erlang", [] { return orv::Erlang(1, 3.0); }, e * 3.0},
      {"Weibull", [] { return orv::Weibull(2.0, 1.5); },
       std::pow(e / 2.0, 1 / 1.5)},
      {"Pareto", [] { return orv::Pareto(2.0, 3.0); },
       (std::pow(raw / M, -1 / 3.0) - 1) * 2.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset({0, raw});
    double got = c.draw();
    EXPECT_TRUE(std::isfinite(got));
    EXPECT_NEAR(got, c.want, 1e-12);
    EXPECT_EQ(g_calls, 2);
  }
  // A draw of 1 gives a true zero, which prints as "0", not "-0".
  reset({2147483647});
  double z = orv::Exponential(2.0);
  EXPECT_EQ(z, 0.0);
  EXPECT_FALSE(std::signbit(z));
}

TEST(RandomVariates, NormalRedrawsOutsideTheDisc) {
  // x = y = 1 (w = 2) is refused; then x = 2u1 - 1, y = 2u2 - 1.
  reset({2147483647, 2147483647});
  double x = 2 * (Seed1[0] / M) - 1, y = 2 * (Seed1[1] / M) - 1, w = x * x + y * y;
  EXPECT_NEAR(orv::Normal(0.0, 1.0), x * std::sqrt(-2 * std::log(w) / w), 1e-12);
  EXPECT_EQ(g_calls, 4);
}

// Which branch a draw takes, with the branch's exponential fed by Seed1[1].
TEST(RandomVariates, BranchChoice) {
  const double e = -std::log(Seed1[1] / M);
  const long below = static_cast<long>(std::floor(0.3 * M));  // U just under 0.3
  const long top = 2147483647;                                // U = 1
  struct Case {
    const char* name;
    std::vector<double> P;
    long first;
    double want;  // HyperExpo: the mean reached; Discrete: the value
  };
  const Case hyper[] = {
      {"under first", {4, 0.3, 1.0, 0.7, 5.0}, below, 1.0},
      {"over first", {4, 0.3, 1.0, 0.7, 5.0}, below + 1, 5.0},
      // 1 - 0.1 - 0.3 is a hair above 0.6: the walk would leave the array.
      {"U = 1, sum 1", {6, 0.1, 1.0, 0.3, 2.0, 0.6, 4.0}, top, 4.0},
      {"sum under 1", {4, 0.2, 1.0, 0.3, 5.0}, static_cast<long>(0.9 * M), 5.0},
      // P[0] announces three branches but only one is there.
      {"short array", {6, 0.5, 1.0}, top, 1.0},
  };
  for (const Case& c : hyper) {
    SCOPED_TRACE(std::string("HyperExpo ") + c.name);
    reset({c.first, Seed1[1]});
    EXPECT_NEAR(orv::HyperExpo(c.P), c.want * e, 1e-12);
    EXPECT_EQ(g_calls, 2);
  }
  const Case discrete[] = {
      {"under half", {2, 10, 20, 0.5, 0.5}, static_cast<long>(0.5 * M), 10},
      {"over half", {2, 10, 20, 0.5, 0.5}, static_cast<long>(0.5 * M) + 1, 20},
      // Would return the first probability, 0.1, in place of a value.
      {"U = 1, sum 1", {3, 1, 2, 3, 0.1, 0.3, 0.6}, top, 3},
      {"sum under 1", {2, 10, 20, 0.3, 0.3}, static_cast<long>(0.9 * M), 20},
      {"short array", {3, 7, 0.5}, top, 7},
  };
  for (const Case& c : discrete) {
    SCOPED_TRACE(std::string("Discrete ") + c.name);
    reset({c.first});
    EXPECT_EQ(orv::Discrete(c.P), c.want);
    EXPECT_EQ(g_calls, 1);
  }
  // Nothing to choose from: 0.0 after the one draw.
  for (const std::vector<double>& P : {std::vector<double>{0}, std::vector<double>{2, 1}}) {
    reset();
    EXPECT_EQ(orv::HyperExpo(P), 0.0);
    EXPECT_EQ(orv::Discrete(P), 0.0);
    EXPECT_EQ(g_calls, 2);
  }
}

// Sample and the tables draw through the generators; each case compares them
// with the generator itself from the same seed.
TEST(RandomVariates, SampleAndTablesDispatchByLetter) {
  const std::vector<double> H = {4, 0.3, 1.0, 0.7, 5.0};
  const std::vector<double> D = {2, 10, 20, 0.5, 0.5};
  struct Case {
    char letter;
    std::vector<double> P;
    std::function<double()> sample;  // also the table's entries unless table is set
    std::function<double()> table;
  };
  const Case cases[] = {
      {'B', {0.4}, [] { return orv::Bernoulli(0.4); }, {}},
      {'C', {2.5}, [] { return 2.5; }, {}},
      {'E', {3.0}, [] { return orv::Exponential(3.0); }, {}},
      {'G', {0.6}, [] { return orv::Geometric(0.6); }, [] { return 1 + orv::Geometric(0.6); }},
      {'g', {0.6}, [] { return orv::Geometric(0.6); }, {}},
      {'H', H, [&] { return orv::HyperExpo(H); }, {}},
      {'R', {3, 6.0}, [] { return orv::Erlang(3, 6.0); }, {}},
      {'U', {1.0, 4.0}, [] { return orv::Uniform(1.0, 4.0); }, {}},
      {'L', {3.0, 1.0}, [] { return orv::LogNormal(3.0, 1.0); }, {}},
      {'N', {1.0, 2.0}, [] { return orv::Normal(1.0, 2.0); }, {}},
      {'W', {2.0, 1.5}, [] { return orv::Weibull(2.0, 1.5); }, {}},
      {'p', {2.0, 3.0}, [] { return orv::Pareto(2.0, 3.0); }, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("law ") + c.letter);
    orv::LAW_DESC l = law(c.letter, c.P);
    std::vector<double> want(5), got(5);
    reset();
    for (double& x : want) x = c.sample();
    reset();
    for (double& x : got) x = orv::Sample(l);
    EXPECT_EQ(got, want);

    const auto& entry = c.table ? c.table : c.sample;
    reset();
    for (double& x : want) x = entry();
    long calls = g_calls;
    for (auto fill : {+[](std::span<double> v, const orv::LAW_DESC& a) { orv::draw_iid_table(v, a); },
                      +[](std::span<double> v, const orv::LAW_DESC& a) {
                        orv::draw_iid_table_with_discrete(v, a);
                      }}) {
      reset();
      fill(got, l);
      EXPECT_EQ(got, want);
      EXPECT_EQ(g_calls, calls);
    }
  }
  // "D": Sample and the discrete table draw it; the plain table does not.
  orv::LAW_DESC d = law('D', D);
  std::vector<double> want(4), got(4);
  reset();
  for (double& x : want) x = orv::Discrete(D);
  reset();
  for (double& x : got) x = orv::Sample(d);
  EXPECT_EQ(got, want);
  reset();
  orv::draw_iid_table_with_discrete(got.data(), static_cast<int>(got.size()), d);
  EXPECT_EQ(got, want);
}

TEST(RandomVariates, TableOfAnUnsupportedLawIsZeros) {
  for (char letter : {'O', 'D', 'P'}) {
    SCOPED_TRACE(std::string("law ") + letter);
    std::vector<double> v(4, 9.0);
    reset();
    testing::internal::CaptureStdout();
    orv::draw_iid_table(v, law(letter, {1, 2, 3}));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              std::string("Warning: unsupported law: ") + letter + ". 0 values assumed.\n");
    EXPECT_EQ(v, std::vector<double>(4, 0.0));
    EXPECT_EQ(g_calls, 0);
  }
  std::vector<double> v(2, 9.0);
  testing::internal::CaptureStdout();
  orv::draw_iid_table_with_discrete(v.data(), 2, law('O', {1, 2, 3}));
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Warning: unsupported law: O. 0 values assumed.\n");
  EXPECT_EQ(v, std::vector<double>(2, 0.0));
}

TEST(RandomVariates, SampleOfAnUnsupportedLawSaysSoOnce) {
  reset();
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  EXPECT_EQ(orv::Sample(law('O', {1, 2, 3})), 0.0);
  EXPECT_EQ(orv::Sample(law('O', {1, 2, 3})), 0.0);
  EXPECT_EQ(orv::Sample(law('P', {1})), 0.0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Error: don't know hot to draw sample from distribution `O`. 0.0 assumed.\n"
            "Error: don't know hot to draw sample from distribution `P`. 0.0 assumed.\n");
  EXPECT_EQ(g_calls, 0);
}

TEST(RandomVariates, ShortParameterVectorsReadAsZero) {
  // A hand-made law with one slot: the missing bound reads as 0.0.
  reset();
  EXPECT_EQ(orv::Sample(law('U', {4.0})), 4.0 + (Seed1[0] / M) * (0.0 - 4.0));
  std::vector<double> v(3);
  orv::draw_iid_table(v, law('N', {}));
  for (double x : v) EXPECT_EQ(x, 0.0);
}

}  // namespace
