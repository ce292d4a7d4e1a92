#include "common/random_variates.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace orv {

namespace {

// A zero draw would make the log-based laws infinite or undefined; it happens
// once in 2^31 draws, so skipping it leaves every other sequence untouched.
double nonzero_U() {
  double u = U_0_1();
  while (u == 0.0) u = U_0_1();
  return u;
}

// Laws are built with their full layout, but a hand-made law may be short:
// a missing slot reads as 0.0 rather than past the end.
double par(const LAW_DESC& law, std::size_t i) {
  return i < law.Parameters.size() ? law.Parameters[i] : 0.0;
}

void fill(std::span<double> values, double v) {
  for (double& x : values) x = v;
}

template <class Draw>
void fill_with(std::span<double> values, Draw draw) {
  for (double& x : values) x = draw();
}

void draw_table(std::span<double> values, const LAW_DESC& law, bool discrete) {
  const auto& P = law.Parameters;
  switch (law.Name) {
    case 'B': fill_with(values, [&] { return Bernoulli(par(law, 0)); }); return;
    case 'C': fill(values, par(law, 0)); return;
    case 'E': fill_with(values, [&] { return Exponential(par(law, 0)); }); return;
    case 'G': fill_with(values, [&] { return 1 + Geometric(par(law, 0)); }); return;
    case 'g': fill_with(values, [&] { return Geometric(par(law, 0)); }); return;
    case 'H': fill_with(values, [&] { return HyperExpo(P); }); return;
    case 'L':
      fill_with(values, [&] { return LogNormal(par(law, 0), par(law, 1)); });
      return;
    case 'N': fill_with(values, [&] { return Normal(par(law, 0), par(law, 1)); }); return;
    case 'R': fill_with(values, [&] { return Erlang(par(law, 0), par(law, 1)); }); return;
    case 'U': fill_with(values, [&] { return Uniform(par(law, 0), par(law, 1)); }); return;
    case 'W': fill_with(values, [&] { return Weibull(par(law, 0), par(law, 1)); }); return;
    case 'p': fill_with(values, [&] { return Pareto(par(law, 0), par(law, 1)); }); return;
    case 'D':
      if (discrete) {
        fill_with(values, [&] { return Discrete(P); });
        return;
      }
      break;
    default:
      break;
  }
  std::fprintf(stdout, "Warning: unsupported law: %c. 0 values assumed.\n", law.Name);
  fill(values, 0.0);
}

}  // namespace

double U_0_1() { return static_cast<double>(random()) / 2147483647.0; }

double Uniform(double a, double b) { return a + U_0_1() * (b - a); }

// 0.0 - log(u) rather than -log(u): a draw of exactly 1 then gives +0, not
// a zero that prints as "-0".
double Exponential(double m) { return (0.0 - std::log(nonzero_U())) * m; }

double Bernoulli(double p) { return U_0_1() < p ? 1.0 : 0.0; }

double Geometric(double p) {
  if (p == 0.0) return 0.0;
  if (p >= 1.0) {
    std::fprintf(stderr, "Error: Geometric with proba=1. 0.0 assumed.\n");
    return 0.0;
  }
  return std::floor(Exponential(-1.0 / std::log(p)));
}

double Erlang(double k, double m) {
  // Beyond a thousand stages one draw per stage costs time in proportion
  // to the count (2e9 stages: minutes a draw); the sum of k exponentials is
  // then drawn as one gamma variate of shape k (Marsaglia and Tsang's
  // method), whose cost does not depend on k.
  if (k > 1000.0) {
    const double d = k - 1.0 / 3.0;
    const double c = 1.0 / std::sqrt(9.0 * d);
    for (;;) {
      const double x = Normal(0.0, 1.0);
      double v = 1.0 + c * x;
      if (v <= 0.0) continue;
      v = v * v * v;
      const double u = nonzero_U();
      if (std::log(u) < 0.5 * x * x + d - d * v + d * std::log(v)) return d * v * m / k;
    }
  }
  // One log of the product, as the tool set has always drawn it; for many
  // stages the product would underflow to 0, so it is folded into a sum of
  // logs before it gets near the smallest double.
  double q = nonzero_U();
  double log_sum = 0.0;
  for (double count = 1; count < k; count += 1) {
    q *= nonzero_U();
    if (q < 1e-280) {
      log_sum += std::log(q);
      q = 1.0;
    }
  }
  return (0.0 - (log_sum + std::log(q))) * m / k;
}

double HyperExpo(std::span<const double> P) {
  double r = U_0_1();
  if (P.size() < 3 || !(P[0] > 0)) return 0.0;  // no branch to take
  // Index of the last branch that both P[0] and the array hold.
  std::size_t last = 0;
  while (static_cast<double>(last + 2) < P[0] && last + 4 < P.size()) last += 2;
  std::size_t i = 0;
  while (i < last && r > P[i + 1]) {
    r = r - P[i + 1];
    i = i + 2;
  }
  return Exponential(P[i + 2]);
}

double Discrete(std::span<const double> P) {
  double r = U_0_1();
  if (P.empty()) return 0.0;
  double rn = std::rint(P[0]);
  std::size_t held = (P.size() - 1) / 2;
  if (!(rn >= 1)) return 0.0;  // no value to return
  std::size_t n = rn < static_cast<double>(held) ? static_cast<std::size_t>(rn) : held;
  if (n == 0) return 0.0;
  std::size_t i = n + 1;
  while (i < 2 * n && P[i] < r) {
    r = r - P[i];
    i = i + 1;
  }
  return P[i - n];
}

// Tail exp(-a x^nu): a unit exponential is a x^nu.
double Weibull(double a, double nu) {
  return std::pow((0.0 - std::log(nonzero_U())) / a, 1.0 / nu);
}

double Normal(double m, double s) {
  double x, y, w;
  do {
    x = 2.0 * U_0_1() - 1.0;
    y = 2.0 * U_0_1() - 1.0;
    w = x * x + y * y;
  } while (w > 1.0 || w == 0.0);
  return m + x * s * std::sqrt(-2.0 * std::log(w) / w);
}

double LogNormal(double m, double s) {
  double ratio = s / m;
  double z = std::log(ratio * ratio + 1.0);
  return std::exp(Normal(std::log(m) - z / 2.0, std::sqrt(z)));
}

double Pareto(double a, double b) {
  return (std::pow(nonzero_U(), -1.0 / b) - 1.0) * a;
}

double max(double a, double b) { return a > b ? a : b; }

double Sample(const LAW_DESC& law) {
  const auto& P = law.Parameters;
  switch (law.Name) {
    case 'B': return Bernoulli(par(law, 0));
    case 'C': return par(law, 0);
    case 'E': return Exponential(par(law, 0));
    case 'G': return Geometric(par(law, 0));
    case 'H': return HyperExpo(P);
    case 'R': return Erlang(par(law, 0), par(law, 1));
    case 'U': return Uniform(par(law, 0), par(law, 1));
    // The laws below have generators and are written in the model languages;
    // a silent 0.0 for them would be a wrong draw.
    case 'D': return Discrete(P);
    case 'L': return LogNormal(par(law, 0), par(law, 1));
    case 'N': return Normal(par(law, 0), par(law, 1));
    case 'W': return Weibull(par(law, 0), par(law, 1));
    case 'p': return Pareto(par(law, 0), par(law, 1));
    case 'g': return Geometric(par(law, 0));
    default: break;
  }
  // Once per letter: the table builders call this for every entry.
  static std::array<bool, 256> reported{};
  auto& seen = reported[static_cast<unsigned char>(law.Name)];
  if (!seen) {
    seen = true;
    std::fprintf(stderr, "Error: don't know hot to draw sample from distribution `%c`."
                         " 0.0 assumed.\n", law.Name);
  }
  return 0.0;
}

void draw_iid_table(std::span<double> values, const LAW_DESC& law) {
  draw_table(values, law, false);
}

void draw_iid_table(double* values, int n, const LAW_DESC& law) {
  draw_table(std::span<double>(values, n > 0 ? static_cast<std::size_t>(n) : 0), law, false);
}

void draw_iid_table_with_discrete(std::span<double> values, const LAW_DESC& law) {
  draw_table(values, law, true);
}

void draw_iid_table_with_discrete(double* values, int n, const LAW_DESC& law) {
  draw_table(std::span<double>(values, n > 0 ? static_cast<std::size_t>(n) : 0), law, true);
}

}  // namespace orv
