#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "queueing/queue.h"

namespace orv::qn {

double Upper_Value(int N, const SEQUENCE& s) {
  if (N < s.T) return s.B[static_cast<std::size_t>(N + 1)];
  long long steps = static_cast<long long>(N) - s.T + 1;
  long long q = steps / s.D;
  int r = static_cast<int>(steps % s.D);
  double v = s.B[s.T] + static_cast<double>(q) * s.Cycle_Length;
  for (int i = 0; i < r; ++i) v += s.Inc[i];
  return v;
}

int Interval_Nb(double x, const SEQUENCE& s) {
  if (x < s.B[0]) return -1;
  if (x < s.B[s.T]) {
    int m = 0;
    while (m < s.T && s.B[m + 1] <= x) ++m;
    return m;
  }
  // Without growth every later epoch is B_T: x lies beyond them all.
  if (!(s.Cycle_Length > 0)) return INT_MAX - 1;
  double k = std::floor((x - s.B[s.T]) / s.Cycle_Length);
  // Far points would overflow the index; they all lie beyond any table.
  double top = (static_cast<double>(INT_MAX) - 1 - s.T) / s.D - 1;
  if (!(k <= top)) return INT_MAX - 1;
  int base = s.T + static_cast<int>(k) * s.D;
  double e = s.B[s.T] + (k + 1) * s.Cycle_Length;
  for (int i = s.D - 1; i >= 0; --i) {
    if (x >= e - s.Inc[i]) return base + i;
    e -= s.Inc[i];
  }
  // Only rounding gets here: x lies at the start of period k.
  return base;
}

void Build_C_Values(SEQUENCE& s) {
  const int T = s.T, D = s.D;
  s.C.assign(static_cast<std::size_t>(std::max(D, T)) + 1, 0.0);
  s.C[T] = s.B[T];
  for (int i = T - 1; i >= 0; --i) s.C[i] = s.C[i + 1] - s.Inc[D - 1 - ((T - 1 - i) % D)];
  for (int i = T + 1; i <= D; ++i) s.C[i] = s.C[i - 1] + s.Inc[(i - T - 1) % D];
  s.CS.assign(static_cast<std::size_t>(D) + 1, 0.0);
  for (int i = 1; i <= D; ++i) s.CS[i] = s.CS[i - 1] + s.Inc[(i - 1 + (T % D)) % D];
  if (Debug) {
    std::printf("C=");
    for (double c : s.C) std::printf(" %f", c);
    std::printf("\n");
  }
}

void Prepare_Data(SEQUENCE& s, double X0) {
  s.Eps.resize(s.B.size(), false);
  for (std::size_t i = 0; i < s.B.size(); ++i)
    if (s.Eps[i]) s.B[i] = X0;
  s.Cycle_Length = 0.0;
  for (double d : s.Inc) s.Cycle_Length += d;
  s.Gamma = s.Cycle_Length / s.D;
  Build_C_Values(s);
  if (!Debug) return;
  std::printf("Transient[%d] = ", s.T);
  for (std::size_t i = 0; i < s.B.size(); ++i) {
    if (s.Eps[i])
      std::printf(" eps (-> %f)", s.B[i]);
    else
      std::printf(" %f", s.B[i]);
  }
  std::printf("\n");
  std::printf("Increments[%d] = ", s.D);
  for (double d : s.Inc) std::printf(" %f", d);
  std::printf("\n");
  std::printf("Cycle length = %f\n", s.Cycle_Length);
  std::printf("Gamma = %f\n", s.Gamma);
  std::printf("C  = ");
  for (int i = 0; i <= s.D && i < static_cast<int>(s.C.size()); ++i) std::printf(" %f", s.C[i]);
  std::printf("\n");
  std::printf("C* = ");
  for (double c : s.CS) std::printf(" %f", c);
  std::printf("\n");
}

bool Is_Decreasing(const SEQUENCE& s) {
  for (int i = 0; i < s.T; ++i)
    if (s.B[i + 1] < s.B[i]) return true;
  for (double d : s.Inc)
    if (d < 0) return true;
  return false;
}

double Log_Fact(std::int64_t p) {
  // The running sum keeps the table equal to ln 2 + ... + ln p term by term.
  static std::vector<double> table{0.0, 0.0};
  constexpr std::int64_t kTable = 1 << 20;
  if (p < 2) return 0.0;
  if (p >= kTable) return std::lgamma(static_cast<double>(p) + 1.0);
  while (static_cast<std::int64_t>(table.size()) <= p) {
    double next = table.back() + std::log(static_cast<double>(table.size()));
    table.push_back(next);
  }
  return table[static_cast<std::size_t>(p)];
}

double Poisson(double x, int p) {
  if (x == 0.0) return p == 0 ? 1.0 : 0.0;
  double v = std::exp(p * std::log(std::fabs(x)) - x - Log_Fact(p));
  return (p % 2 == 1 && x < 0) ? -v : v;
}

double Dif(double a, int b, double lambda, int k) {
  if (lambda == 0) return 0.0;
  if (k == 0) return 1.0;
  if (k == 1) return a + b / lambda;
  if (b == 0) return std::pow(a, k);
  double t = 1.0;
  for (int i = 0; i < k; ++i) t *= b + i;
  t /= std::pow(lambda, k);
  double sum = t;
  for (int m = k - 1; m >= 0; --m) {
    t = t * (m + 1) * a * lambda / (static_cast<double>(k - m) * (m + b));
    sum += t;
  }
  return sum;
}

int Range_Points(double first, double last, double step, std::int64_t& count) {
  if (!std::isfinite(first) || !std::isfinite(last) || last < first) {
    std::fprintf(stderr, "%s: bad range\n", Tool_Name.c_str());
    return 1;
  }
  // A zero step only counts points when the range has more than one.
  // An infinite step would put the second point at first + 0 * inf.
  if (!std::isfinite(step) || step < 0 || (step == 0 && last > first)) {
    std::fprintf(stderr, "%s: bad step value\n", Tool_Name.c_str());
    return 1;
  }
  if (first == last) {
    count = 1;
    return 0;
  }
  // Past 2^53 points the steps no longer move x: the range would never end.
  double n = std::floor((last - first) / step) + 1;
  if (!(n <= 9007199254740992.0)) {
    std::fprintf(stderr, "%s: bad step value\n", Tool_Name.c_str());
    return 1;
  }
  count = static_cast<std::int64_t>(n);
  return 0;
}

void Print_Tail_Point(double x, double tail) {
  double y = 1.0 - tail;
  if (Queue) {
    y = tail;
    if (Log) y = std::log(y);
  }
  std::printf("%10.6f %12.8f", x, y);
  if (NewLine) std::printf("\n");
}

void Print_Point(double x, double F) {
  double y = F;
  if (Queue) {
    y = 1.0 - F;
    if (Log) y = std::log(y);
  }
  std::printf("%10.6f %12.8f", x, y);
  if (NewLine) std::printf("\n");
}

}  // namespace orv::qn
