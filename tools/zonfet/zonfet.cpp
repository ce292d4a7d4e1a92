#include "zonfet.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

namespace orv::zonfet {

namespace {

using mp::FULL_MAXPLUS_MATRIX;
using mp::Full_MaxPlus_Matrix;
using Vec = std::vector<double>;
constexpr double eps = M_INFINITY;

// acc + w * v with eps absorbing.
void add_weighted(double& acc, double w, double v) {
  if (acc == eps || v == eps)
    acc = eps;
  else
    acc += w * v;
}

double largest(const Vec& v) {
  double m = eps;
  for (double x : v) m = std::max(m, x);
  return m;
}

double full_norm(const FULL_MAXPLUS_MATRIX& M) { return mp::Full_Matrix_Norm(M); }

// M (x) x.
Vec times(const FULL_MAXPLUS_MATRIX& M, const Vec& x) {
  Vec y(static_cast<std::size_t>(M.Rows), eps);
  for (int i = 0; i < M.Rows; ++i) {
    double best = eps;
    const double* row = M.Vals[i];
    for (int k = 0; k < M.Cols; ++k) best = std::max(best, mp::plus(row[k], x[k]));
    y[i] = best;
  }
  return y;
}

Full_MaxPlus_Matrix product(const FULL_MAXPLUS_MATRIX& L, const FULL_MAXPLUS_MATRIX& R) {
  Full_MaxPlus_Matrix P = mp::New_Full_MaxPlus_Matrix(L.Rows, R.Cols, 1);
  if (!P) throw std::bad_alloc();
  mp::Full_MM_Mult(L, R, *P);
  return P;
}

// Tables indexed [j][k], 0 <= k <= j <= n.
template <class T>
std::vector<std::vector<T>> triangle(int n, const T& init) {
  std::vector<std::vector<T>> t(static_cast<std::size_t>(n) + 1);
  for (int j = 0; j <= n; ++j) t[j].assign(static_cast<std::size_t>(j) + 1, init);
  return t;
}

// The zero vector and the powers A^i (x) 0, B^i (x) 0 that both orders
// start from.
void fill_edges(const FULL_MAXPLUS_MATRIX& A, const FULL_MAXPLUS_MATRIX& B, int n,
                std::vector<std::vector<Vec>>& V, std::vector<std::vector<double>>& U) {
  for (int i = 1; i <= n; ++i) {
    V[i][0] = times(A, V[i - 1][0]);
    V[i][i] = times(B, V[i - 1][i - 1]);
    U[i][0] = largest(V[i][0]);
    U[i][i] = largest(V[i][i]);
  }
}

Bounds at_horizon(int n, int d, std::vector<std::vector<Vec>>& V,
                  std::vector<std::vector<double>>& U) {
  Bounds b;
  b.n = n;
  b.Size = d;
  b.Lower = std::move(V[n]);
  b.Upper = std::move(U[n]);
  return b;
}

// Weights of j factors B among n at probability p of A: p = 0 and p = 1
// keep one term; otherwise p^n and the ratio ((1-p)/p)(n-j)/(j+1), or, when
// p^n underflows, the same law through logarithms.
Vec binomial_weights(int n, double p) {
  Vec w(static_cast<std::size_t>(n) + 1, 0.0);
  if (p <= 0) {
    w[n] = 1;
  } else if (p >= 1) {
    w[0] = 1;
  } else if (std::pow(p, n) > 0) {
    w[0] = std::pow(p, n);
    for (int j = 0; j < n; ++j) w[j + 1] = w[j] * ((1 - p) / p) * (n - j) / (j + 1);
  } else {
    for (int j = 0; j <= n; ++j)
      w[j] = std::exp(std::lgamma(n + 1.0) - std::lgamma(j + 1.0) - std::lgamma(n - j + 1.0) +
                      (n - j) * std::log(p) + j * std::log1p(-p));
  }
  return w;
}

// "%f", or "%12.8f" when wide; eps as a word.
void print_value(FILE* out, bool wide, double v) {
  if (v == eps)
    std::fprintf(out, "eps");
  else if (wide)
    std::fprintf(out, "%12.8f", v);
  else
    std::fprintf(out, "%f", v);
}

}  // namespace

double Binomial(int n, int k) {
  // r (n-i+1) / i stays a whole number at every step, so it is exact.
  double r = 1;
  for (int i = 1; i <= k; ++i) r = (r * (n - i + 1)) / i;
  return r;
}

Bounds Compute_Bounds(const FULL_MAXPLUS_MATRIX& A, const FULL_MAXPLUS_MATRIX& B, int n) {
  const int d = A.Rows;
  auto V = triangle<Vec>(n, Vec(static_cast<std::size_t>(d), 0.0));
  auto U = triangle<double>(n, 0.0);
  // P[l] = A^l (x) B and its norm.
  std::vector<Full_MaxPlus_Matrix> P;
  P.push_back(mp::Copy_Full_MaxPlus_Matrix(B));
  Vec N{full_norm(B)};
  for (int i = 1; i <= n; ++i) {
    P.push_back(product(A, *P.back()));
    N.push_back(full_norm(*P.back()));
  }
  fill_edges(A, B, n, V, U);
  for (int i = 1; i <= n; ++i) {
    for (int j = i + 1; j <= n; ++j) {
      Vec lower(static_cast<std::size_t>(d), 0.0);
      double upper = 0;
      double w = static_cast<double>(i) / j;  // the first B stands at l
      for (int l = 0; l <= j - i; ++l) {
        const Vec term = times(*P[l], V[j - l - 1][i - 1]);
        for (int k = 0; k < d; ++k) add_weighted(lower[k], w, term[k]);
        add_weighted(upper, w, N[l] == eps ? eps : mp::plus(N[l], U[j - l - 1][i - 1]));
        if (l < j - i) w = w * (j - l - i) / (j - l - 1);
      }
      V[j][i] = std::move(lower);
      U[j][i] = upper;
    }
  }
  return at_horizon(n, d, V, U);
}

Bounds Compute_Bounds_Order(const FULL_MAXPLUS_MATRIX& A, const FULL_MAXPLUS_MATRIX& B, int m,
                            int n) {
  const int d = A.Rows;
  auto M = triangle<Vec>(n, Vec(static_cast<std::size_t>(d), 0.0));
  auto U = triangle<double>(n, 0.0);
  std::vector<Full_MaxPlus_Matrix> Am;
  Am.push_back(mp::Copy_Full_MaxPlus_Matrix(B));
  for (int i = 1; i <= n; ++i) Am.push_back(product(A, *Am.back()));
  if (mp::Debug) {
    mp::Write_Full_MaxPlus_Matrix(&A, stdout, 3, "A");
    mp::Write_Full_MaxPlus_Matrix(&B, stdout, 3, "B");
    for (int i = 0; i <= n; ++i) {
      const std::string name = "Am[" + std::to_string(i) + "]";
      mp::Write_Full_MaxPlus_Matrix(Am[i].get(), stdout, 3, name.c_str());
    }
  }
  fill_edges(A, B, n, M, U);

  // Products of m blocks A^t B, grouped by their count t of factors A.
  const int most = n - m;
  std::vector<std::vector<Full_MaxPlus_Matrix>> blocks(static_cast<std::size_t>(std::max(most, -1) + 1));
  if (most >= 0) {
    for (int t = 0; t <= most; ++t) blocks[t].push_back(mp::Copy_Full_MaxPlus_Matrix(*Am[t]));
    for (int r = 2; r <= m; ++r) {
      std::vector<std::vector<Full_MaxPlus_Matrix>> next(blocks.size());
      for (int t = 0; t <= most; ++t)
        for (int s = 0; s <= t; ++s)
          for (const auto& rest : blocks[t - s]) next[t].push_back(product(*Am[s], *rest));
      blocks = std::move(next);
    }
  }
  Vec S(blocks.size(), 0.0);
  for (std::size_t t = 0; t < blocks.size(); ++t)
    for (const auto& P : blocks[t]) add_weighted(S[t], 1.0, full_norm(*P));

  // Fewer than m factors B: every arrangement, its X and its largest
  // component averaged. The largest of the means would be no upper bound.
  if (m > 1) {
    auto sum = triangle<Vec>(n, Vec(static_cast<std::size_t>(d), 0.0));
    auto top = triangle<double>(n, 0.0);
    struct Walk {
      const FULL_MAXPLUS_MATRIX& A;
      const FULL_MAXPLUS_MATRIX& B;
      int m, n;
      std::vector<std::vector<Vec>>& sum;
      std::vector<std::vector<double>>& top;
      void go(const Vec& x, int j, int k) {
        if (j > 0 && k > 0 && k < j) {
          for (std::size_t c = 0; c < x.size(); ++c) add_weighted(sum[j][k][c], 1.0, x[c]);
          add_weighted(top[j][k], 1.0, largest(x));
        }
        if (j == n) return;
        go(times(A, x), j + 1, k);
        if (k + 1 < m) go(times(B, x), j + 1, k + 1);
      }
    } walk{A, B, m, n, sum, top};
    walk.go(Vec(static_cast<std::size_t>(d), 0.0), 0, 0);
    for (int k = 1; k < m; ++k)
      for (int j = k + 1; j <= n; ++j) {
        const double c = Binomial(j, k);
        for (int i = 0; i < d; ++i) M[j][k][i] = sum[j][k][i] == eps ? eps : sum[j][k][i] / c;
        U[j][k] = top[j][k] == eps ? eps : top[j][k] / c;
      }
  }

  // m factors B or more: split after the first m, weigh by o_q.
  for (int k = m; k <= n; ++k) {
    for (int j = k + 1; j <= n; ++j) {
      Vec lower(static_cast<std::size_t>(d), 0.0);
      double upper = 0;
      double o = 1 / Binomial(j, k);
      for (int q = k; q <= j; ++q) {
        const int t = j - q;
        const Vec& rest = M[q - m][k - m];
        Vec part(static_cast<std::size_t>(d), 0.0);
        for (const auto& P : blocks[t]) {
          const Vec x = times(*P, rest);
          for (int i = 0; i < d; ++i) add_weighted(part[i], 1.0, x[i]);
        }
        for (int i = 0; i < d; ++i) add_weighted(lower[i], o, part[i]);
        // Each block product: its norm plus the bound of the rest.
        const double count = static_cast<double>(blocks[t].size());
        const double r = U[q - m][k - m];
        add_weighted(upper, o, (S[t] == eps || r == eps) ? eps : S[t] + count * r);
        if (q < j) o = o * (q - m + 1) / (q - k + 1);
      }
      M[j][k] = std::move(lower);
      U[j][k] = upper;
    }
  }
  if (mp::Debug)
    for (int k = 0; k <= n; ++k) std::printf("n=%d k=%d: U = %f\n", n, k, U[n][k]);
  return at_horizon(n, d, M, U);
}

int Range_Count(const RANGE_INFO& R) {
  if (R.Start == R.Stop) return 1;
  const double steps = (R.Stop - R.Start) / R.Step;
  return static_cast<int>(std::floor(steps + 1e-9 * std::max(1.0, steps))) + 1;
}

double Range_Value(const RANGE_INFO& R, int k) {
  // A last step a rounding beyond Stop stays on it.
  return std::min(R.Stop, R.Start + k * R.Step);
}

bool Check_Range(const RANGE_INFO& R, const char* prog) {
  if (R.Start > R.Stop) {
    std::fprintf(stderr, "%s: bad range\n", prog);
    return false;
  }
  // A step of 0 would never reach the end of a range, and one that is no
  // finite number, or too small for the values to be counted, walks none.
  const bool walks = R.Step > 0 && std::isfinite(R.Step) &&
                     (R.Stop - R.Start) / R.Step < static_cast<double>(INT_MAX) - 1;
  if (R.Step < 0 || std::isnan(R.Step) || std::isinf(R.Step) ||
      (R.Start != R.Stop && !walks)) {
    std::fprintf(stderr, "%s: bad step value\n", prog);
    return false;
  }
  return true;
}

void Print_Term(double Coefficient, double Value, int E1, int E2, FILE* out) {
  // The "+ " between terms is no factor: a "*" follows only a factor.
  bool printed = false;
  if (E2 != 0) std::fprintf(out, "+ ");
  if (Coefficient != 1) {
    std::fprintf(out, "%.0f", Coefficient);
    printed = true;
  }
  if (Value != 1) {
    if (printed) std::fprintf(out, "*");
    print_value(out, true, Value);
    printed = true;
  }
  if (printed) std::fprintf(out, "*");
  if (E1 == 1) std::fprintf(out, "(1-p)");
  if (E1 > 1) std::fprintf(out, "(1-p)**%d", E1);
  if (printed && E1 != 0 && E2 != 0) std::fprintf(out, "*");
  if (E2 == 1) std::fprintf(out, "p");
  if (E2 > 1) std::fprintf(out, "p**%d", E2);
}

void Print_Bounds(const Bounds& b, bool Numeric, const RANGE_INFO& R, bool Maple,
                  bool wide_p, FILE* out) {
  const int n = b.n;
  if (Numeric) {
    std::fprintf(out, "# Bounds bound on the Expectation of X_i(%d) vs p, ", n);
    std::fprintf(out, "0 <= i <= %d,\n", b.Size - 1);
    std::fprintf(out, "# and p in range [%f,%f]\n", R.Start, R.Stop);
    std::fprintf(out, "#\n");
    const int count = Range_Count(R);
    for (int c = 0; c < count; ++c) {
      const double p = Range_Value(R, c);
      const Vec w = binomial_weights(n, p);
      if (wide_p)
        std::fprintf(out, "%12.8f ", p);
      else
        std::fprintf(out, "%8.6f ", p);
      for (int k = 0; k < b.Size; ++k) {
        double sum = 0;
        for (int j = 0; j <= n; ++j)
          if (w[j] != 0) add_weighted(sum, w[j], b.Lower[j][k]);
        print_value(out, false, sum == eps ? eps : sum / n);
        std::fprintf(out, " ");
      }
      double sum = 0;
      for (int j = 0; j <= n; ++j)
        if (w[j] != 0) add_weighted(sum, w[j], b.Upper[j]);
      print_value(out, false, sum == eps ? eps : sum / n);
      std::fprintf(out, "\n");
    }
    return;
  }
  const char* opening = Maple ? " := " : "(p) = ";
  const char* closing = Maple ? ":\n" : ";\n";
  for (int k = 0; k < b.Size; ++k) {
    std::fprintf(out, "gamma%d", k);
    std::fprintf(out, "%s", opening);
    for (int j = 0; j <= n; ++j) {
      const double v = b.Lower[j][k];
      Print_Term(Binomial(n, j), v == eps ? eps : v / n, n - j, j, out);
    }
    std::fprintf(out, "%s", closing);
  }
  std::fprintf(out, "up_bound");
  std::fprintf(out, "%s", opening);
  for (int j = 0; j <= n; ++j) {
    const double v = b.Upper[j];
    Print_Term(Binomial(n, j), v == eps ? eps : v / n, n - j, j, out);
  }
  std::fprintf(out, "%s", closing);
}

namespace {

struct Exact_Walk {
  const mp::BERNOULLI_PRODUCT& P;
  const std::vector<double>& Proba;
  int n;
  std::vector<mp::SP_MaxPlus_Vector> X;
  double lower = 0;
  double upper = 0;

  void go(int t, double weight) {
    if (t == n) {
      if (mp::Debug) {
        std::printf("X=");
        mp::SP_Write_Vector(*X[n], stdout);
        std::printf(" (p=%e)\n", weight);
      }
      add_weighted(upper, weight, mp::SP_Vector_Norm(*X[n]));
      add_weighted(lower, weight, mp::SP_Vector_Min(*X[n]));
      return;
    }
    for (int i = 0; i < P.Nb_Matrices; ++i) {
      // A product that cannot occur adds nothing, eps or not.
      if (Proba[i] * weight == 0) continue;
      mp::SP_MV_Mult(*P.A[i], *X[t], *X[t + 1]);
      go(t + 1, weight * Proba[i]);
    }
  }
};

}  // namespace

void Compute_Exact_Sums(const mp::BERNOULLI_PRODUCT& P, const std::vector<double>& Proba, int n,
                        double& Lower, double& Upper) {
  Exact_Walk w{P, Proba, n, {}};
  for (int t = 0; t <= n; ++t) w.X.push_back(mp::New_SP_MaxPlus_Vector(P.Size, 3));
  w.go(0, 1.0);
  Lower = w.lower;
  Upper = w.upper;
}

void Compute_Exact(mp::BERNOULLI_PRODUCT& P, int n, const RANGE_INFO& R, FILE* out) {
  auto scaled = [n](double v) { return v == eps ? eps : v / n; };
  double lower = 0, upper = 0;
  if (P.Nb_Matrices != 2) {
    Compute_Exact_Sums(P, P.Proba, n, lower, upper);
    print_value(out, false, scaled(lower));
    std::fprintf(out, " ");
    print_value(out, false, scaled(upper));
    std::fprintf(out, "\n");
    return;
  }
  std::fprintf(out, "# Bounds on gamma computed from Emin/max(X_i(%d)),\n", n);
  std::fprintf(out, "# Range of p: [%f,%f]\n", R.Start, R.Stop);
  std::fprintf(out, "#\n");
  const int count = Range_Count(R);
  for (int c = 0; c < count; ++c) {
    const double p = Range_Value(R, c);
    P.Proba[0] = p;
    P.Proba[1] = 1 - p;
    Compute_Exact_Sums(P, P.Proba, n, lower, upper);
    std::fprintf(out, "%8.6f ", p);
    print_value(out, false, scaled(lower));
    std::fprintf(out, " ");
    print_value(out, false, scaled(upper));
    std::fprintf(out, "\n");
  }
}

}  // namespace orv::zonfet
