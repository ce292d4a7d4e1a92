#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <utility>

#include "queueing/queue.h"

namespace orv::qn {

namespace {

void print_vector(const char* head, const std::vector<double>& v) {
  std::printf("%s", head);
  for (double x : v) std::printf(" %f", x);
  std::printf("\n");
}

// H'(i): H read from the phase of T, with a non-negative remainder.
double h_prime(const std::vector<double>& H, int i, int T, int D) {
  int r = (i - T) % D;
  if (r < 0) r += D;
  return H[r];
}

}  // namespace

double K(int n, int a, double b, double z) {
  if (z <= 0) {
    std::printf("Error: call to k with negative z (%f)\n", z);
    return 0.0;
  }
  if (b == 0) return n == 0 ? 1.0 : 0.0;
  const double lz = std::log(z);
  double sum = 0.0;
  // The series goes on past the usual 1e-8 bound while terms are left: the
  // Phi recurrence amplifies the error of H, and with it the distribution
  // drifts out of [0, 1] a few periods from the origin. Missing the finer
  // bound within the term limit is no failure.
  bool converged = false;
  for (int j = 0; j < 10000; ++j) {
    const std::int64_t h = n + static_cast<std::int64_t>(a) * j;
    const double bh = b + static_cast<double>(h);
    double t;
    if (bh == 0) {
      t = h == 1 ? z : 0.0;
    } else {
      t = std::exp(static_cast<double>(h) * lz - Log_Fact(h) +
                   static_cast<double>(h - 1) * std::log(std::fabs(bh)));
      if (bh < 0 && h % 2 == 0) t = -t;
    }
    sum += t;
    // The tail bound holds for the size of the terms; a negative term says
    // nothing about the ones after it.
    const double at = std::fabs(t);
    const double nbaj = n + b + static_cast<double>(a) * j;
    if (at < 1e-8 && nbaj > 0) {
      const double u = std::exp(a * ((a - 3) / nbaj + 0.5) + a * lz);
      if (at <= (1 - u) * 1e-8) converged = true;
      if (at <= (1 - u) * 1e-16) return b * sum;
    }
  }
  if (!converged) std::printf("Warning: computation of k does not converge (val=%f)\n", sum);
  return b * sum;
}

void Dump_Matrix(int n, const MATRIX& A, const std::vector<double>& X) {
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) std::printf(" %10f", A[i][j]);
    std::printf("| %10f\n", X[i]);
  }
}

int Compute_H_Coefs(double lambda, const SEQUENCE& s, std::vector<double>& H) {
  const int D = s.D;
  const double rho = lambda * s.Gamma;
  if (Debug) std::printf("Rho = %8.6f\n", rho);
  if (static_cast<std::int64_t>(D) * D > Max_Table) return -1;
  try {
    H.assign(static_cast<std::size_t>(D), 0.0);
    if (D == 1) {
      H[0] = 1 - rho;
      return 0;
    }
    std::vector<double> nu(static_cast<std::size_t>(D), 0.0);
    for (int i = 1; i < D; ++i) nu[i] = rho + nu[i - 1] - lambda * s.Inc[D - i];
    if (Debug) {
      print_vector("Vector Delta = ", s.Inc);
      print_vector("Vector Nu = ", nu);
    }
    MATRIX M(static_cast<std::size_t>(D), std::vector<double>(static_cast<std::size_t>(D)));
    std::vector<double> r(static_cast<std::size_t>(D), 1 - rho);
    const double z = rho * std::exp(-rho);
    for (int i = 0; i < D; ++i)
      for (int j = 0; j < D; ++j) M[i][j] = std::exp(-nu[j]) * K((2 * D - i - j) % D, D, nu[j] / rho, z);
    if (Debug) {
      std::printf("Matrix B | Vector H:\n");
      Dump_Matrix(D, M, r);
      std::printf(" 1.B - 1 = ");
      for (int j = 0; j < D; ++j) {
        double sum = 0.0;
        for (int i = 0; i < D; ++i) sum += M[i][j];
        std::printf(" %f", sum - 1);
      }
      std::printf("\n");
    }
    for (int j = 0; j < D - 1; ++j) {
      int piv = j;
      double best = std::fabs(M[j][j]);
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
        if (Debug) std::printf("Swapping rows %d <-> %d\n", j, piv);
        for (int c = j; c < D; ++c) std::swap(M[j][c], M[piv][c]);
        std::swap(r[j], r[piv]);
      }
      for (int k = j + 1; k < D; ++k) {
        const double f = M[k][j] / M[j][j];
        for (int c = j; c < D; ++c) M[k][c] -= f * M[j][c];
        r[k] -= f * r[j];
      }
      if (Debug) {
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
      const double p = M[j][j];
      r[j] /= p;
      for (int c = j; c < D; ++c) M[j][c] /= p;
    }
    if (Debug) {
      std::printf("Gauss/Matrix B/N = \n");
      Dump_Matrix(D, M, r);
    }
    std::vector<double> x(static_cast<std::size_t>(D), 0.0);
    for (int j = D - 1; j >= 0; --j) {
      double v = r[j];
      for (int c = j + 1; c < D; ++c) v -= M[j][c] * x[c];
      x[j] = v;
      if (Debug) {
        std::printf("Gauss2/Matrix H[%d] =", j);
        for (double e : x) std::printf(" %f", e);
        std::printf("\n");
      }
    }
    H[0] = x[0];
    for (int k = 1; k < D; ++k) H[k] = x[D - k];
    if (Debug) print_vector("Vector H = ", H);
  } catch (const std::bad_alloc&) {
    return -1;
  }
  return 0;
}

int Compute_Phi_Coefs(double lambda, const SEQUENCE& s, const std::vector<double>& H, MATRIX& Phi,
                      int V) {
  const int D = s.D;
  const double rhoD = lambda * s.Cycle_Length;
  const int P = std::min(D - 1, V) + 1;
  if (static_cast<std::int64_t>(P) * (static_cast<std::int64_t>(V) + 1) > Max_Table) return -1;
  try {
    Phi.assign(static_cast<std::size_t>(P), std::vector<double>(static_cast<std::size_t>(V) + 1, 0.0));
    // e^(rho D) (-rho D)^k / k!, in logarithms so that E never overflows alone.
    std::vector<double> W(static_cast<std::size_t>(std::max(V - D, 0)), 0.0);
    for (int k = 0; k < V - D; ++k) W[k] = Poisson(-rhoD, k);
    std::vector<double> Hp(static_cast<std::size_t>(D)), Cp(static_cast<std::size_t>(D));
    for (int p = 0; p < P; ++p) {
      for (int j = 0; j < D; ++j) Hp[j] = H[(p + j) % D];
      Cp[0] = 0.0;
      for (int j = 1; j < D; ++j) Cp[j] = Cp[j - 1] + s.Inc[(p + j + D - 1) % D];
      if (Debug) {
        std::printf("H(%d) = ", p);
        for (double e : Hp) std::printf(" %f", e);
        std::printf("\n");
        std::printf("C(%d) = ", p);
        for (double e : Cp) std::printf(" %f", e);
        std::printf("\n");
      }
      std::vector<double>& row = Phi[p];
      row[0] = Hp[0];
      for (int l = 1; l <= std::min(D, V); ++l) {
        double sum = 0.0;
        for (int m = 0; m < l; ++m) sum += Poisson(lambda * Cp[D - l + m] - rhoD, m) * Hp[D - l + m];
        row[l] = sum;
      }
      for (int l = D + 1; l <= V; ++l) {
        double sum = 0.0;
        for (int k = 0; k <= l - D - 1; ++k) sum += W[k] * row[l - D - k];
        for (int c = 0; c < D; ++c) sum += Poisson(lambda * Cp[c] - rhoD, l - D + c) * Hp[c];
        row[l] = sum;
      }
      if (Debug) {
        std::printf("Phi(%d)=[0]%8.6f", p, row[0]);
        for (int l = 1; l <= V; ++l) std::printf("[%d]%8.6f", l, row[l]);
        std::printf("\n");
      }
    }
  } catch (const std::bad_alloc&) {
    return -1;
  }
  return 0;
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

void Compute_U_Coefs(MATRIX& U, double lambda, int T, const std::vector<double>& B, const MATRIX& Phi) {
  U.assign(static_cast<std::size_t>(T) + 1, {});
  for (int r = 0; r <= T; ++r) U[r].assign(static_cast<std::size_t>(r) + 1, 0.0);
  for (int c = 0; c <= T; ++c) U[T][T - c] = Phi[0][c];
  for (int r = T - 1; r >= 0; --r) {
    const double d = lambda * (B[r + 1] - B[r]);
    for (int c = 0; c <= r; ++c) {
      double sum = 0.0;
      for (int k = 0; k <= r - c; ++k) {
        const double w = Poisson(d, k);
        if (w == 0.0 && k > d) break;
        sum += U[r + 1][c + k] * w;
      }
      U[r][c] = sum;
    }
  }
  if (Debug) {
    for (int r = T; r >= 0; --r) {
      for (int c = 0; c <= r; ++c) std::printf("[%d,%d]=%8.6f ", r, c, U[r][c]);
      std::printf("\n");
    }
  }
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
  const int T = s.T, D = s.D;
  MATRIX U;
  try {
    if (first < s.B[T]) {
      if (!Stat_Tables_Fit(s, 0, true)) return -1;
      Compute_U_Coefs(U, lambda, T, s.B, Phi);
    }
    const int V = static_cast<int>(Phi[0].size()) - 1;
    std::vector<double> w;
    bool warned = false;
    for (std::int64_t i = 0; i < count; ++i) {
      const double x = first + static_cast<double>(i) * step;
      const int m = Interval_Nb(x, s);
      const double v = Upper_Value(m, s);
      if (Debug) std::printf("%10.6f |", v);
      const double d = lambda * (v - x);
      double F = 0.0;
      if (x < s.B[0]) {
        F = 0.0;
      } else if (m < T) {
        const std::vector<double>& row = U[m + 1];
        for (int j = 0; j <= m; ++j) {
          const double p = Poisson(d, j);
          if (p == 0.0 && j > d) break;
          F += row[j] * p;
        }
      } else {
        const int p = (m - T + 1) % D;
        const std::vector<double>& row = Phi[std::min<std::size_t>(p, Phi.size() - 1)];
        // Rounding could move a point just past the table; it then uses its end.
        const int top = std::min(m + 1, V);
        for (int j = 0; j <= m && j <= top; ++j) {
          const double q = Poisson(d, j);
          if (q == 0.0 && j > d) break;
          F += row[top - j] * q;
        }
      }
      // The Phi recurrence amplifies the truncation error of K far from the
      // origin; a probability out of [0, 1] shows it has taken over.
      if (!warned && !(F >= -1e-9 && F <= 1 + 1e-9)) {
        std::fprintf(stderr, "%s: warning: inaccurate stationary values from x = %f on.\n",
                     Tool_Name.c_str(), x);
        warned = true;
      }
      Print_Point(x, F);
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
