#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>
#include <utility>

#include "queueing/queue.h"

namespace orv::qn {

namespace {

// Poisson weights e^-c c^k / k! for k = 0 .. kmax, cut where they have
// underflowed to zero past the mode: adding them would change nothing.
void poisson_weights(double c, int kmax, std::vector<double>& w) {
  w.clear();
  for (int k = 0; k <= kmax; ++k) {
    double p = Poisson(c, k);
    w.push_back(p);
    if (p == 0.0 && k > std::fabs(c)) break;
  }
}

void print_row(int m, const double* row, bool last) {
  for (int i = 0; i <= m; ++i) {
    if (last)
      std::printf("%8.4f", row[i]);
    else
      std::printf("%8.5f", row[i]);
  }
  std::printf("\n");
}

// e^-d * sum_{j=0..m} row[j] d^j / j!
double poisson_mix(double d, const double* row, int m, std::vector<double>& w) {
  poisson_weights(d, m, w);
  double F = 0.0;
  for (std::size_t j = 0; j < w.size(); ++j) F += w[j] * row[j];
  return F;
}

}  // namespace

int Compute_Hinge_Coefs(double lambda, const SEQUENCE& s, int n, int low,
                        const std::function<void(int, const double*)>& visit, bool trace) {
  if (n < 0 || n > Max_Customer) return -1;
  try {
    // Row m needs only row m + 1, so two rows are enough whatever n.
    std::vector<double> next(static_cast<std::size_t>(n) + 1, 1.0);
    std::vector<double> cur(next.size(), 0.0);
    std::vector<double> w;
    if (trace) print_row(n, next.data(), true);
    visit(n, next.data());
    for (int m = n - 1; m >= std::max(low, 0); --m) {
      double step = m < s.T ? s.B[m + 1] - s.B[m] : s.Inc[(m - s.T) % s.D];
      poisson_weights(lambda * step, m, w);
      const int kw = static_cast<int>(w.size());
      for (int i = 0; i <= m; ++i) {
        const int kmax = std::min(m - i, kw - 1);
        double sum = 0.0;
        for (int k = 0; k <= kmax; ++k) sum += w[k] * next[i + k];
        cur[i] = sum;
      }
      std::swap(cur, next);
      if (trace) print_row(m, next.data(), false);
      visit(m, next.data());
    }
  } catch (const std::bad_alloc&) {
    return -1;
  }
  return 0;
}

int Compute_Moment(double lambda, const SEQUENCE& s, int n, int k, double& result) {
  if (n < 0 || n > Max_Customer) return -1;
  std::vector<double> diag;
  try {
    diag.assign(static_cast<std::size_t>(n) + 1, 0.0);
  } catch (const std::bad_alloc&) {
    return -1;
  }
  int st = Compute_Hinge_Coefs(lambda, s, n, 0, [&](int m, const double* row) { diag[m] = row[m]; });
  if (st != 0) return st;
  const double Bn = Upper_Value(n - 1, s);
  if (Debug) {
    std::printf("Moment of order %d of the %d-th waiting time in the M/Known/1", k, n);
    std::printf("\n");
    std::printf("B[%d] = %f\n", n, Bn);
  }
  if (k == 1) {
    double sum = 0.0;
    for (int i = 0; i <= n; ++i) {
      sum += diag[i];
      if (Debug) std::printf("%12.6f<", sum);
    }
    result = Bn - (n + 1) / lambda + sum / lambda;
    return 0;
  }
  // The terms alternate in sign and grow fast with k and n. Each hinge
  // value carries the rounding of about n steps, about sqrt(n) ulps: scaled
  // by the size of the terms, that is the error of the sum.
  double M = Dif(-Bn, n + 1, lambda, k);
  double size = std::fabs(M);
  for (int i = 0; i <= n; ++i) {
    const double Bi = Upper_Value(i - 1, s);
    const double term = (Dif(-Bi, i, lambda, k) - Dif(-Bi, i + 1, lambda, k)) * diag[i];
    M += term;
    size += std::fabs(term);
    if (Debug) std::printf("%12.6f<", M);
  }
  const double err = size * std::numeric_limits<double>::epsilon() * std::sqrt(n + 1.0);
  if (std::isfinite(M) && !(err <= 5e-7 * std::max(1.0, std::fabs(M))))
    std::fprintf(stderr, "%s: warning: moment of order %d lost its precision in cancellations.\n",
                 Tool_Name.c_str(), k);
  result = k % 2 == 0 ? M : -M;
  return 0;
}

int Print_Range(double first, double last, double step, double lambda, const SEQUENCE& s, int n) {
  if (Debug) {
    std::printf("%d-th waiting time distribution for the M/Known/1", n);
    std::printf(" on range [%6.3f,%8.3f]\n", first, last);
  }
  std::int64_t count = 0;
  if (Range_Points(first, last, step, count) != 0) return 1;
  const double B0 = s.B[0];
  const double Bn = Upper_Value(n - 1, s);
  // Points are taken in blocks so that a fine range costs bounded memory;
  // each block sweeps the hinge rows down to the lowest one it needs.
  constexpr std::int64_t kBlock = 1 << 20;
  try {
    std::vector<double> F;
    std::vector<std::pair<int, std::int64_t>> need;  // (row, point in block)
    std::vector<double> w;
    for (std::int64_t start = 0; start < count; start += kBlock) {
      const std::int64_t len = std::min(kBlock, count - start);
      F.assign(static_cast<std::size_t>(len), 0.0);
      need.clear();
      for (std::int64_t i = 0; i < len; ++i) {
        const double x = first + static_cast<double>(start + i) * step;
        if (x < B0)
          F[i] = 0.0;
        else if (x >= Bn)
          F[i] = 1.0;
        else
          need.emplace_back(std::clamp(Interval_Nb(x, s) + 1, 1, n), i);
      }
      if (!need.empty()) {
        std::sort(need.begin(), need.end(), [](auto& a, auto& b) { return a.first > b.first; });
        std::size_t next = 0;
        const int low = need.back().first;
        int st = Compute_Hinge_Coefs(lambda, s, n, low, [&](int m, const double* row) {
          for (; next < need.size() && need[next].first == m; ++next) {
            const std::int64_t i = need[next].second;
            const double x = first + static_cast<double>(start + i) * step;
            const double v = Upper_Value(m - 1, s);
            F[i] = v == x ? row[0] : poisson_mix(lambda * (v - x), row, m - 1, w);
          }
        });
        if (st != 0) return st;
      }
      for (std::int64_t i = 0; i < len; ++i) {
        const double x = first + static_cast<double>(start + i) * step;
        if (Debug) std::printf("%10.6f |", Upper_Value(Interval_Nb(x, s), s));
        Print_Point(x, F[i]);
      }
    }
  } catch (const std::bad_alloc&) {
    return -1;
  }
  return 0;
}

}  // namespace orv::qn
