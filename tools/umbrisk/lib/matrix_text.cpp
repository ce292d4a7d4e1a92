#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

#include "umbrisk.h"

namespace orv::umbrisk {

namespace {

// Matrices beyond this size could not be held anyway; the bound also keeps
// every path weight of Karp's tables exact in a double.
constexpr long MAX_SIZE = 1L << 22;

bool next_word(FILE* in, std::string& w) {
  int ch;
  do ch = std::getc(in);
  while (ch != EOF && std::isspace(ch));
  if (ch == EOF) return false;
  w.clear();
  do {
    w.push_back(static_cast<char>(ch));
    ch = std::getc(in);
  } while (ch != EOF && !std::isspace(ch));
  return true;
}

enum class Entry { ok, bad, overflow };

Entry parse_entry(const std::string& w, int Precision, Val& stored, double& v, double& scaled) {
  if (w == "eps") {
    stored = MINUS_INF;
    return Entry::ok;
  }
  char* end = nullptr;
  v = std::strtod(w.c_str(), &end);
  if (end == w.c_str() || end != w.c_str() + w.size() || std::isnan(v)) return Entry::bad;
  scaled = Precision * v;
  if (!(std::fabs(scaled) < static_cast<double>(ENTRY_LIMIT))) return Entry::overflow;
  stored = static_cast<Val>(std::rint(scaled));
  return Entry::ok;
}

int overflow(FILE* err) {
  std::fprintf(err, "%s: Arithmetic overflow. ", "umbrisk");
  std::fputs("Decreasing the precision may help.\n", err);
  return STATUS_OVERFLOW;
}

}  // namespace

int Read_Problem(FILE* in, const Options& o, Problem& p, FILE* out, FILE* err) {
  std::string w;
  if (!next_word(in, w)) {
    std::fprintf(err, "%s: Unexpected end of file: matrix size expected.\n", "umbrisk");
    return STATUS_BAD_INPUT;
  }
  char* end = nullptr;
  long n = std::strtol(w.c_str(), &end, 10);
  if (end == w.c_str() || end != w.c_str() + w.size() || n <= 0 || n > MAX_SIZE) {
    std::fprintf(err, "%s: Bad matrix size %s: a positive integer expected.\n", "umbrisk",
                 w.c_str());
    return STATUS_BAD_INPUT;
  }
  p.N = static_cast<int>(n);
  const long long count = static_cast<long long>(n) * n;
  p.A.clear();
  p.X.clear();
  Val stored = 0;
  double v = 0, scaled = 0;
  // Reads entry e of the expected ones into stored, v and scaled; 0 or the
  // status to end with.
  auto take = [&](const char* kind, long long expected, long long e) {
    if (!next_word(in, w)) {
      std::fprintf(err, "%s: Unexpected end of file: %lld %s entries expected, %lld read.\n",
                   "umbrisk", expected, kind, e);
      return STATUS_BAD_INPUT;
    }
    switch (parse_entry(w, o.Precision, stored, v, scaled)) {
      case Entry::bad:
        std::fprintf(err, "%s: Bad %s entry %s: 'eps' or a number expected.\n", "umbrisk", kind,
                     w.c_str());
        return STATUS_BAD_INPUT;
      case Entry::overflow:
        return overflow(err);
      case Entry::ok:
        break;
    }
    return 0;
  };
  for (long long e = 0; e < count; ++e) {
    if (int status = take("matrix", count, e)) return status;
    if (stored != MINUS_INF) {
      if (o.Debug)
        std::fprintf(out, "Value*Precision = %f, cast = %d, trunc = %d\n", scaled,
                     static_cast<int>(scaled), static_cast<int>(stored));
      if (std::fabs(static_cast<double>(stored) - scaled) > 1e-7) {
        std::fprintf(err, "%s: Warning: Matrix entry rounded off:", "umbrisk");
        std::fprintf(err, " %f -> %f.\n", v, static_cast<double>(stored) / o.Precision);
      }
    }
    p.A.push_back(stored);
  }
  if (!o.transient) return 0;
  for (long e = 0; e < n; ++e) {
    if (int status = take("vector", n, e)) return status;
    p.X.push_back(stored);
  }
  return 0;
}

int Run(const Problem& p, const Options& o, FILE* out, FILE* err) {
  const int N = p.N;
  try {
    std::fputs("\n", out);
    RATIONAL lambda = cycle_time(N, p.A);
    if (lambda.Num == MINUS_INF) {
      std::fputs("cycle mean: eps\n", out);
      std::fputs("No cycles. \n", out);
      return 0;
    }
    Val num = lambda.Num, den = checked_mul(lambda.Den, o.Precision);
    Val g = gcd(num, den);
    if (den != 0 && g != 0) {
      num /= g;
      den /= g;
    }
    if (!o.cycles)
      std::fprintf(out, "cycle mean: %lld / %lld  \n", static_cast<long long>(num),
                   static_cast<long long>(den));
    std::fputs("\n", out);

    Critical c;
    calcul_chemins(N, p.A, lambda, c);
    calcul_mat_critic(N, c);
    calcul_Comp3(c);
    const size_t n = static_cast<size_t>(N), K = c.R.size();

    if (o.cycles) {
      for (const std::vector<int>& mem : c.Comp)
        for (int m1 : mem)
          for (int m2 : mem) {
            size_t r1 = c.R[m1], r2 = c.R[m2];
            if (c.zero2[r1 * n + r2])
              std::fprintf(out, "%6d %6d %14f\n", static_cast<int>(r2), static_cast<int>(r1),
                           static_cast<double>(p.A[r1 * n + r2]) / o.Precision);
          }
      return 0;
    }

    std::fputs("Critical sub-graph:\n", out);
    for (size_t i = 0; i < n; ++i) {
      for (size_t j = 0; j < n; ++j) std::fputs(c.zero2[i * n + j] ? "     0" : "   eps", out);
      std::fputs("\n", out);
    }
    std::fputs("Agregated critical sub-graph:\n", out);
    for (size_t i = 0; i < K; ++i) {
      for (size_t j = 0; j < K; ++j) std::fputs(c.Critic[i * K + j] ? "     0" : "   eps", out);
      std::fputs("\n", out);
    }
    std::fprintf(out, "Number of critical strongly connected components: scs = %d \n ",
                 static_cast<int>(c.Comp.size()));
    for (size_t k = 0; k < c.Comp.size(); ++k) {
      std::fprintf(out, "component %d:\n", static_cast<int>(k));
      for (int m : c.Comp[k]) std::fprintf(out, "%5d", c.R[m] + 1);
      std::fputs("\n", out);
    }
    calcul_cyc(c);
    std::fputs("\n", out);
    std::fprintf(out, "Cyclicity: cyc = %lld \n", static_cast<long long>(c.cyc));

    if (o.transient) {
      Val r = transient(N, p.A, p.X, lambda, c.cyc, o.Precision, out, MAX_TRANSIENT_STEPS);
      if (r < 0) {
        std::fflush(out);
        std::fprintf(err, "%s: No periodic regime reached within %lld iterations.\n", "umbrisk",
                     static_cast<long long>(MAX_TRANSIENT_STEPS));
        return STATUS_NOT_PERIODIC;
      }
      std::fputs("\n", out);
      std::fprintf(out, "length of transient period:  %lld \n", static_cast<long long>(r - c.cyc));
      std::fputs("\n", out);
    }
    return 0;
  } catch (const Overflow&) {
    std::fflush(out);
    return overflow(err);
  }
}

}  // namespace orv::umbrisk
