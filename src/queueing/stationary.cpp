#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <new>
#include <type_traits>
#include <utility>

#include "queueing/queue.h"

namespace orv::qn {

namespace {

template <class R> void print_vector(const char* head, const std::vector<R>& v) {
  std::printf("%s", head);
  for (R x : v) std::printf(" %f", static_cast<double>(x));
  std::printf("\n");
}

// H'(i): H read from the phase of T, with a non-negative remainder.
double h_prime(const std::vector<double>& H, int i, int T, int D) {
  int r = (i - T) % D;
  if (r < 0) r += D;
  return H[r];
}

}  // namespace

namespace {

template <class R> R log_fact(std::int64_t p);
template <> double log_fact<double>(std::int64_t p) { return Log_Fact(p); }
template <> long double log_fact<long double>(std::int64_t p) {
  static std::vector<long double> table{0.0L, 0.0L};
  constexpr std::int64_t kTable = 1 << 20;
  if (p < 2) return 0.0L;
  if (p >= kTable) return std::lgamma(static_cast<long double>(p) + 1.0L);
  while (static_cast<std::int64_t>(table.size()) <= p)
    table.push_back(table.back() + std::log(static_cast<long double>(table.size())));
  return table[static_cast<std::size_t>(p)];
}

template <class R> R poisson(R x, int p) {
  if (x == 0) return p == 0 ? 1 : 0;
  R v = std::exp(p * std::log(std::fabs(x)) - x - log_fact<R>(p));
  return (p % 2 == 1 && x < 0) ? -v : v;
}

// Term j of the series of K, h = n + a j: b + h enters as (b + h)^(h - 1).
template <class R> R k_term(std::int64_t h, R b, R z, R lz) {
  const R bh = b + static_cast<R>(h);
  if (bh == 0) return h == 1 ? z : 0;
  R t = std::exp(static_cast<R>(h) * lz - log_fact<R>(h) +
                 static_cast<R>(h - 1) * std::log(std::fabs(bh)));
  if (bh < 0 && h % 2 == 0) t = -t;
  return t;
}

// cut: the size of term below which the rest of the series is dropped.
template <class R> R k_series(int n, int a, R b, R z, R cut, bool warn) {
  if (z <= 0) {
    if (warn) std::printf("Error: call to k with negative z (%f)\n", static_cast<double>(z));
    return 0;
  }
  if (b == 0) return n == 0 ? 1 : 0;
  const R lz = std::log(z);
  R sum = 0;
  // The series goes on past the usual 1e-8 bound while terms are left: the
  // Phi recurrence amplifies the error of H, and with it the distribution
  // drifts out of [0, 1] a few periods from the origin. Missing the finer
  // bound within the term limit is no failure.
  bool converged = false;
  for (int j = 0; j < 10000; ++j) {
    const std::int64_t h = n + static_cast<std::int64_t>(a) * j;
    const R t = k_term(h, b, z, lz);
    sum += t;
    // The tail bound holds for the size of the terms; a negative term says
    // nothing about the ones after it.
    const R at = std::fabs(t);
    const R nbaj = n + b + static_cast<R>(a) * j;
    if (at < 1e-8 && nbaj > 0) {
      const R u = std::exp(a * ((a - 3) / nbaj + 0.5) + a * lz);
      // A term is also small when b + h is near 0 (b one rounding away from
      // -h): the terms after it are not, so the next one must be small too.
      const bool next_small = std::fabs(k_term(h + a, b, z, lz)) <= at;
      if (at <= (1 - u) * 1e-8 && next_small) converged = true;
      if (at <= (1 - u) * cut && next_small) return b * sum;
    }
  }
  if (!converged && warn)
    std::printf("Warning: computation of k does not converge (val=%f)\n", static_cast<double>(sum));
  return b * sum;
}

}  // namespace

double K(int n, int a, double b, double z) { return k_series<double>(n, a, b, z, 1e-16, true); }

void Dump_Matrix(int n, const MATRIX& A, const std::vector<double>& X) {
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) std::printf(" %10f", A[i][j]);
    std::printf("| %10f\n", X[i]);
  }
}

namespace {

template <class R> using Table = std::vector<std::vector<R>>;

// The cycle length in R: in long double, the double's rounding of it would
// be a model slightly off the increments, whose difference the recurrence
// amplifies as much as the double's own errors.
template <class R> R cycle_length(const SEQUENCE& s) {
  R cl = 0;
  for (double d : s.Inc) cl += d;
  return cl;
}

// The traces are those of the double pass; the long double pass that checks
// it is silent.
template <class R>
int h_coefs(R lambda, const SEQUENCE& s, std::vector<R>& H, R cut) {
  constexpr bool trace_on = std::is_same_v<R, double>;
  const bool trace = trace_on && Debug;
  const int D = s.D;
  const R rho = lambda * (cycle_length<R>(s) / D);
  if (trace) std::printf("Rho = %8.6f\n", static_cast<double>(rho));
  if (static_cast<std::int64_t>(D) * D > Max_Table) return -1;
  try {
    H.assign(static_cast<std::size_t>(D), 0);
    if (D == 1) {
      H[0] = 1 - rho;
      return 0;
    }
    std::vector<R> nu(static_cast<std::size_t>(D), 0);
    for (int i = 1; i < D; ++i) nu[i] = rho + nu[i - 1] - lambda * static_cast<R>(s.Inc[D - i]);
    if (trace) {
      print_vector("Vector Delta = ", s.Inc);
      print_vector("Vector Nu = ", nu);
    }
    Table<R> M(static_cast<std::size_t>(D), std::vector<R>(static_cast<std::size_t>(D)));
    std::vector<R> r(static_cast<std::size_t>(D), 1 - rho);
    const R z = rho * std::exp(-rho);
    for (int i = 0; i < D; ++i)
      for (int j = 0; j < D; ++j)
        M[i][j] = std::exp(-nu[j]) * k_series<R>((2 * D - i - j) % D, D, nu[j] / rho, z, cut, trace_on);
    if constexpr (trace_on) if (trace) {
      std::printf("Matrix B | Vector H:\n");
      Dump_Matrix(D, M, r);
      std::printf(" 1.B - 1 = ");
      for (int j = 0; j < D; ++j) {
        R sum = 0;
        for (int i = 0; i < D; ++i) sum += M[i][j];
        std::printf(" %f", sum - 1);
      }
      std::printf("\n");
    }
    for (int j = 0; j < D - 1; ++j) {
      int piv = j;
      R best = std::fabs(M[j][j]);
      for (int k = j + 1; k < D; ++k)
        if (std::fabs(M[k][j]) > best) {
          best = std::fabs(M[k][j]);
          piv = k;
        }
      if (best == 0) {
        std::printf("Error! Singular matrix B.\n");
        return -4;
      }
      if (piv != j) {
        if (trace) std::printf("Swapping rows %d <-> %d\n", j, piv);
        for (int c = j; c < D; ++c) std::swap(M[j][c], M[piv][c]);
        std::swap(r[j], r[piv]);
      }
      for (int k = j + 1; k < D; ++k) {
        const R f = M[k][j] / M[j][j];
        for (int c = j; c < D; ++c) M[k][c] -= f * M[j][c];
        r[k] -= f * r[j];
      }
      if constexpr (trace_on) if (trace) {
        std::printf("Gauss/Matrix B[%d] = \n", j);
        Dump_Matrix(D, M, r);
      }
    }
    // The elimination never looks at the last pivot; a zero there would turn
    // every coefficient into inf or nan.
    if (M[D - 1][D - 1] == 0) {
      std::printf("Error! Singular matrix B.\n");
      return -4;
    }
    for (int j = 0; j < D; ++j) {
      const R p = M[j][j];
      r[j] /= p;
      for (int c = j; c < D; ++c) M[j][c] /= p;
    }
    if constexpr (trace_on) if (trace) {
      std::printf("Gauss/Matrix B/N = \n");
      Dump_Matrix(D, M, r);
    }
    std::vector<R> x(static_cast<std::size_t>(D), 0);
    for (int j = D - 1; j >= 0; --j) {
      R v = r[j];
      for (int c = j + 1; c < D; ++c) v -= M[j][c] * x[c];
      x[j] = v;
      if constexpr (trace_on) if (trace) {
        std::printf("Gauss2/Matrix H[%d] =", j);
        for (double e : x) std::printf(" %f", e);
        std::printf("\n");
      }
    }
    H[0] = x[0];
    for (int k = 1; k < D; ++k) H[k] = x[D - k];
    if constexpr (trace_on) if (trace) print_vector("Vector H = ", H);
  } catch (const std::bad_alloc&) {
    return -1;
  }
  return 0;
}

template <class R>
int phi_coefs(R lambda, const SEQUENCE& s, const std::vector<R>& H, Table<R>& Phi, int V) {
  const bool trace = std::is_same_v<R, double> && Debug;
  const int D = s.D;
  const R rhoD = lambda * cycle_length<R>(s);
  const int P = std::min(D - 1, V) + 1;
  if (static_cast<std::int64_t>(P) * (static_cast<std::int64_t>(V) + 1) > Max_Table) return -1;
  try {
    Phi.assign(static_cast<std::size_t>(P), std::vector<R>(static_cast<std::size_t>(V) + 1, 0));
    // e^(rho D) (-rho D)^k / k!, in logarithms so that E never overflows alone.
    std::vector<R> W(static_cast<std::size_t>(std::max(V - D, 0)), 0);
    for (int k = 0; k < V - D; ++k) W[k] = poisson<R>(-rhoD, k);
    std::vector<R> Hp(static_cast<std::size_t>(D)), Cp(static_cast<std::size_t>(D));
    for (int p = 0; p < P; ++p) {
      for (int j = 0; j < D; ++j) Hp[j] = H[(p + j) % D];
      Cp[0] = 0;
      for (int j = 1; j < D; ++j) Cp[j] = Cp[j - 1] + static_cast<R>(s.Inc[(p + j + D - 1) % D]);
      if (trace) {
        std::printf("H(%d) = ", p);
        for (R e : Hp) std::printf(" %f", static_cast<double>(e));
        std::printf("\n");
        std::printf("C(%d) = ", p);
        for (R e : Cp) std::printf(" %f", static_cast<double>(e));
        std::printf("\n");
      }
      std::vector<R>& row = Phi[p];
      row[0] = Hp[0];
      for (int l = 1; l <= std::min(D, V); ++l) {
        R sum = 0;
        for (int m = 0; m < l; ++m) sum += poisson<R>(lambda * Cp[D - l + m] - rhoD, m) * Hp[D - l + m];
        row[l] = sum;
      }
      for (int l = D + 1; l <= V; ++l) {
        R sum = 0;
        for (int k = 0; k <= l - D - 1; ++k) sum += W[k] * row[l - D - k];
        for (int c = 0; c < D; ++c) sum += poisson<R>(lambda * Cp[c] - rhoD, l - D + c) * Hp[c];
        row[l] = sum;
      }
      if (trace) {
        std::printf("Phi(%d)=[0]%8.6f", p, static_cast<double>(row[0]));
        for (int l = 1; l <= V; ++l) std::printf("[%d]%8.6f", l, static_cast<double>(row[l]));
        std::printf("\n");
      }
    }
  } catch (const std::bad_alloc&) {
    return -1;
  }
  return 0;
}

}  // namespace

int Compute_H_Coefs(double lambda, const SEQUENCE& s, std::vector<double>& H) {
  return h_coefs<double>(lambda, s, H, 1e-16);
}

int Compute_Phi_Coefs(double lambda, const SEQUENCE& s, const std::vector<double>& H, MATRIX& Phi,
                      int V) {
  return phi_coefs<double>(lambda, s, H, Phi, V);
}

void Compute_Tau_Coefs(double lambda, const SEQUENCE& s, const MATRIX& Phi, std::vector<double>& Tau) {
  const int T = s.T;
  const std::vector<double>& b = s.B;
  Tau.assign(static_cast<std::size_t>(T) + 1, 0.0);
  // Worked with every factor e^(lambda b) folded into Poisson weights: the
  // plain e^(-lambda b_T) * e^(lambda b_i) gives 0 * inf once lambda b_T
  // passes the range of exp.
  Tau[T] = Phi[0][0];
  for (int i = T - 1; i >= 0; --i) {
    const double dT = lambda * (b[T] - b[i]);
    double h = 0.0;
    for (int k = i; k <= T - 1; ++k) h += Poisson(dT, k - i) * Phi[0][T - k];
    double v = h;
    for (int j = i + 1; j <= T - 1; ++j) v -= Poisson(lambda * (b[j] - b[i]), j - i) * Tau[j];
    Tau[i] = v;
  }
  if (Debug) {
    std::printf("Tau=[%d]%8.6f", 0, Tau[0]);
    for (int i = 1; i <= T; ++i) std::printf("[%d]%8.6f", i, Tau[i]);
    std::printf("\n");
  }
}

namespace {

template <class R>
void u_coefs(Table<R>& U, R lambda, int T, const std::vector<double>& B, const Table<R>& Phi) {
  U.assign(static_cast<std::size_t>(T) + 1, {});
  for (int r = 0; r <= T; ++r) U[r].assign(static_cast<std::size_t>(r) + 1, 0);
  for (int c = 0; c <= T; ++c) U[T][T - c] = Phi[0][c];
  for (int r = T - 1; r >= 0; --r) {
    const R d = lambda * (static_cast<R>(B[r + 1]) - static_cast<R>(B[r]));
    for (int c = 0; c <= r; ++c) {
      R sum = 0;
      for (int k = 0; k <= r - c; ++k) {
        const R w = poisson<R>(d, k);
        if (w == 0 && k > d) break;
        sum += U[r + 1][c + k] * w;
      }
      U[r][c] = sum;
    }
  }
  if (std::is_same_v<R, double> && Debug) {
    for (int r = T; r >= 0; --r) {
      for (int c = 0; c <= r; ++c) std::printf("[%d,%d]=%8.6f ", r, c, static_cast<double>(U[r][c]));
      std::printf("\n");
    }
  }
}

// F at x, from U below B_T and from the Phi rows beyond.
template <class R>
R stat_point(double x, int m, double v, R lambda, const SEQUENCE& s, const Table<R>& Phi,
             const Table<R>& U) {
  const int T = s.T, D = s.D;
  const R d = lambda * static_cast<R>(v - x);
  R F = 0;
  if (x < s.B[0]) return 0;
  if (m < T) {
    const std::vector<R>& row = U[m + 1];
    for (int j = 0; j <= m; ++j) {
      const R p = poisson<R>(d, j);
      if (p == 0 && j > d) break;
      F += row[j] * p;
    }
    return F;
  }
  const int p = (m - T + 1) % D;
  const std::vector<R>& row = Phi[std::min<std::size_t>(p, Phi.size() - 1)];
  const int V = static_cast<int>(Phi[0].size()) - 1;
  // Rounding could move a point just past the table; it then uses its end.
  const int top = std::min(m + 1, V);
  for (int j = 0; j <= m && j <= top; ++j) {
    const R q = poisson<R>(d, j);
    if (q == 0 && j > d) break;
    F += row[top - j] * q;
  }
  return F;
}

// 1 - F at x by following the arrival count forward: W <= x exactly when,
// at every point c_m = B_m - x, fewer than m arrivals have come, so the tail
// is the mass of the count paths that cross that staircase. Every term is
// positive: nothing cancels and the tail keeps its relative precision however
// small it is. False when the walk does not settle within its budget.
bool tail_walk(double x, double lambda, const SEQUENCE& s, double kCut, double& tail,
               double& missed) {
  missed = 0.0;
  tail = 0.0;
  if (x < s.B[0]) {
    tail = 1.0;
    return true;
  }
  // Masses this far below the distribution's total never cross and are
  // dropped; the Poisson weights cut at each step may miss up to kCut of
  // crossing mass.
  constexpr double kTiny = 1e-30;
  constexpr std::int64_t kBudget = 400'000'000;  // multiply-adds per point
  std::vector<double> p{1.0}, q, w;      // p[i]: mass of count base + i
  std::int64_t base = 0, work = 0;
  double prev = 0.0, crossed = 0.0;
  int quiet = 0;
  const int settle = 4 * s.D + 8;
  for (std::int64_t m = 1; m < (std::int64_t{1} << 40); ++m) {
    const double c = m - 1 <= INT_MAX ? Upper_Value(static_cast<int>(m - 1), s) - x : 0.0;
    if (m - 1 > INT_MAX) return false;
    if (c <= 0) continue;
    const double d = lambda * (c - prev);
    prev = c;
    missed += kCut;
    w.clear();
    double t = std::exp(-d);
    for (int k = 0;; ++k) {
      if (k > 0) t = t * d / k;
      w.push_back(t);
      if (k > d && t < kCut) break;
    }
    q.assign(p.size() + w.size() - 1, 0.0);
    for (std::size_t i = 0; i < p.size(); ++i)
      for (std::size_t j = 0; j < w.size(); ++j) q[i + j] += p[i] * w[j];
    work += static_cast<std::int64_t>(p.size() * w.size());
    // Counts of m or more have crossed.
    const std::int64_t keep = std::max<std::int64_t>(m - base, 0);
    double lost = 0.0;
    for (std::size_t i = static_cast<std::size_t>(std::min<std::int64_t>(keep, q.size())); i < q.size(); ++i)
      lost += q[i];
    if (keep < static_cast<std::int64_t>(q.size())) q.resize(static_cast<std::size_t>(keep));
    crossed += lost;
    double total = 0.0;
    for (double e : q) total += e;
    // Counts so far below the staircase that their mass is negligible.
    std::size_t lo = 0;
    while (lo < q.size() && q[lo] < kTiny * total) ++lo;
    q.erase(q.begin(), q.begin() + static_cast<std::ptrdiff_t>(lo));
    base += static_cast<std::int64_t>(lo);
    while (!q.empty() && q.back() == 0) q.pop_back();
    p.swap(q);
    if (p.empty()) break;
    // Every 16 steps in the periodic part, a bound on all that can still
    // cross: from the highest count left, the count must gain i + gap on a
    // stretch at most i Gamma + Cycle_Length long to cross i steps on
    // (Chernoff: P(Poisson(mu) >= k) <= e^-mu (e mu / k)^k). It ends the walk
    // where the tail is too small for doubles, or has settled in all digits.
    if (m > s.T && (m & 15) == 0) {
      // Cells near the staircase holding next to nothing count as crossing
      // whole; the bound runs from the highest cell with real mass.
      std::size_t hi = p.size();
      double fringe = 0.0;
      while (hi > 1 && p[hi - 1] < 1e-250 * total) fringe += p[--hi];
      const double gap = static_cast<double>(m - (base + static_cast<std::int64_t>(hi) - 1));
      double bound = 0.0;
      for (int i = 1; i <= 100000; ++i) {
        const double mu = lambda * (i * s.Gamma + s.Cycle_Length), k = i + gap;
        const double b = k > mu ? std::exp(-mu + k * (1 + std::log(mu / k))) : 1.0;
        bound += b;
        if (b <= 1e-30 * bound && k > mu + 10) break;
        if (i == 100000) bound = INFINITY;
      }
      bound = bound * total + fringe;
      if (bound <= 1e-16 * crossed || (crossed == 0 && bound < 1e-240)) break;
    }
    // The crossings fade geometrically: once they have stayed this small for
    // a few periods, what is left to cross changes no printed digit.
    if (crossed > 0 && lost < 1e-18 * crossed) {
      if (++quiet > settle && m > s.T + settle) break;
    } else {
      quiet = 0;
    }
    if (work > kBudget) return false;
  }
  tail = crossed;
  return true;
}

}  // namespace

void Compute_U_Coefs(MATRIX& U, double lambda, int T, const std::vector<double>& B, const MATRIX& Phi) {
  u_coefs<double>(U, lambda, T, B, Phi);
}

int Stat_Range_Size(double first, double last, double step, const SEQUENCE& s) {
  int V = s.T;
  if (!std::isfinite(first) || !std::isfinite(last) || last < first) return V;
  int m = Interval_Nb(last, s);
  // The last point may pass last by a rounding error.
  if (step > 0 && last > first) {
    const double n = std::floor((last - first) / step);
    if (n < 9e18) m = std::max(m, Interval_Nb(first + n * step, s));
  }
  return std::max(V, m + 1);
}

bool Stat_Tables_Fit(const SEQUENCE& s, int V, bool with_U) {
  const std::int64_t D = s.D, T = s.T;
  if (D * D > Max_Table) return false;
  if ((std::min<std::int64_t>(D - 1, V) + 1) * (static_cast<std::int64_t>(V) + 1) > Max_Table) return false;
  if (with_U && (T + 1) * (T + 2) / 2 > Max_Table) return false;
  return true;
}

int Print_Stat_Range(double first, double last, double step, double lambda, const SEQUENCE& s,
                     const MATRIX& Phi) {
  if (Debug) {
    std::printf("Stationary Waiting time distribution for the M/Known/1");
    std::printf(" on range [%f,%f]\n", first, last);
  }
  std::int64_t count = 0;
  if (Range_Points(first, last, step, count) != 0) return 1;
  const int T = s.T;
  const int V = static_cast<int>(Phi[0].size()) - 1;
  try {
    MATRIX U;
    const bool with_U = first < s.B[T];
    if (with_U) {
      if (!Stat_Tables_Fit(s, 0, true)) return -1;
      Compute_U_Coefs(U, lambda, T, s.B, Phi);
    }
    // The Phi recurrence multiplies every error by a factor that grows
    // geometrically with the distance from the origin, until the tail is
    // lost to cancellation. The same tables in long double carry 11 more
    // bits: their values are printed, and their distance to the double ones
    // (2^11 times their own error) tells where they stop being good.
    using L = long double;
    const L lam = lambda;
    std::vector<L> HL;
    Table<L> PhiL, UL;
    bool checked = h_coefs<L>(lam, s, HL, 1e-20L) == 0 && phi_coefs<L>(lam, s, HL, PhiL, V) == 0;
    if (checked && with_U) u_coefs<L>(UL, lam, T, s.B, PhiL);
    bool warned = false, walk = false;
    for (std::int64_t i = 0; i < count; ++i) {
      const double x = first + static_cast<double>(i) * step;
      const int m = Interval_Nb(x, s);
      const double v = Upper_Value(m, s);
      if (Debug) std::printf("%10.6f |", v);
      const double Fd = stat_point<double>(x, m, v, lambda, s, Phi, U);
      if (!walk) {
        double F = Fd;
        bool sound = F >= -1e-9 && F <= 1 + 1e-9;
        if (checked) {
          const L FL = stat_point<L>(x, m, v, lam, s, PhiL, UL);
          F = static_cast<double>(FL);
          // 16 times the estimated error, against a tenth of the last printed
          // digit of F, 1 - F or ln(1 - F).
          const L err = std::fabs(FL - static_cast<L>(Fd)) / 128 + 1e-17L;
          const L room = (Queue && Log) ? 1e-9L * (1 - FL) : 1e-9L;
          sound = FL >= -1e-9L && FL <= 1 + 1e-9L && err <= room;
        }
        // Points further out are further gone: the walk takes over.
        if (sound || x < s.B[0]) {
          Print_Point(x, F);
          continue;
        }
        walk = true;
      }
      double tail = 0.0, missed = 0.0;
      bool settled = tail_walk(x, lambda, s, 1e-40, tail, missed);
      // A tail so small that the cut weights could matter: again, finer.
      if (settled && tail > 0 && !(missed <= 1e-10 * tail) && Queue && Log)
        settled = tail_walk(x, lambda, s, std::max(1e-300, 1e-52 * tail), tail, missed);
      // A tail so small that the cut weights could move its logarithm.
      if (!warned && (!settled || (Queue && Log && !(missed <= 1e-10 * tail)))) {
        std::fprintf(stderr, "%s: warning: inaccurate stationary values from x = %f on.\n",
                     Tool_Name.c_str(), x);
        warned = true;
      }
      Print_Tail_Point(x, tail);
    }
  } catch (const std::bad_alloc&) {
    return -1;
  }
  return 0;
}

int Compute_Stat_Moment(double lambda, const SEQUENCE& s, const std::vector<double>& Tau,
                        const std::vector<double>& H, int k, double& result) {
  const int T = s.T, D = s.D;
  const double rho = lambda * s.Gamma;
  const double sigma = 1 - rho;
  const std::vector<double>& c = s.C;
  if (Debug) {
    std::printf("Moment of order %d of the stationary waiting time ", k);
    std::printf("in the M/Known/1\n");
  }
  if (k == 0) {
    result = 1.0;
    return 0;
  }
  const double A = -(D * sigma * sigma + 1) / (2 * sigma);
  double Bs = 0.0;
  for (int i = 0; i < D; ++i) Bs += ((i + 1) - lambda * c[i]) * h_prime(H, i, T, D) / (D * sigma);
  if (k == 1) {
    double S = 0.0;
    for (int i = 0; i < T; ++i) {
      S += Tau[i] - h_prime(H, i, T, D);
      if (Debug) std::printf("%12.6f<", S);
    }
    result = (S - A - Bs) / lambda;
    double S2 = 0.0;
    for (int i = 0; i < D; ++i) S2 += (lambda * c[i] - i) * h_prime(H, i, T, D);
    const double check = (2 * S2 / D + 2 * rho + sigma * sigma * D - 1) / (2 * lambda * sigma);
    const double dif = check + (A + Bs) / lambda;
    // The series of K are cut at 1e-8: only a difference above that noise
    // says something is wrong.
    if (std::fabs(dif) > 1e-6 || (dif != 0 && Debug))
      std::printf("%s: warning! dubious computation (dif=%e)\n", Tool_Name.c_str(), dif);
    return 0;
  }
  if (k == 2) {
    double S = 0.0;
    for (int i = 0; i < T; ++i) {
      const double Bi = Upper_Value(i - 1, s);
      S += (Dif(-Bi, i, lambda, 2) - Dif(-Bi, i + 1, lambda, 2)) * Tau[i] -
           (Dif(-c[i], i, lambda, 2) - Dif(-c[i], i + 1, lambda, 2)) * h_prime(H, i, T, D);
    }
    double S3 = 0.0;
    for (int i = 0; i < D; ++i)
      S3 += (lambda * lambda * c[i] * c[i] + (i + 2.0) * (i + 1) - 2.0 * (i + 1) * lambda * c[i]) *
            h_prime(H, i, T, D);
    const double D2 = static_cast<double>(D) * D;
    const double Q = (D2 - 1 + 4 * rho * (1 - D2) + 6 * D2 * rho * rho - 4 * D2 * rho * rho * rho +
                      D2 * rho * rho * rho * rho) /
                     (12 * sigma * sigma);
    result = 2 * (A * Bs + Q + S3 / (2 * D * sigma)) / (lambda * lambda) + S;
    return 0;
  }
  std::printf("Moments of order > 2 not implemented yet...\n");
  result = 0.0;
  return 1;
}

}  // namespace orv::qn
