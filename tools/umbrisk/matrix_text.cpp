#include <cctype>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "umbrisk.h"

namespace orv::umbrisk {

namespace {

// Matrices beyond this size could not be held anyway; the bound also keeps
// every path weight of Karp's tables exact in a double.
constexpr long MAX_SIZE = 1L << 22;

// The blanks of the C locale's isspace; the reader is one thread, so the
// stream needs no locking per character (a large matrix is millions of words).
inline bool blank(int ch) { return ch == ' ' || (ch >= '\t' && ch <= '\r'); }

// The line of the last word read, for the messages.
long word_line = 1;

bool next_word(FILE* in, std::string& w) {
  int ch;
  do {
    ch = getc_unlocked(in);
    if (ch == '\n') ++word_line;
  } while (ch != EOF && blank(ch));
  if (ch == EOF) return false;
  w.clear();
  do {
    w.push_back(static_cast<char>(ch));
    ch = getc_unlocked(in);
  } while (ch != EOF && !blank(ch));
  if (ch == '\n') ungetc(ch, in);
  return true;
}

enum class Entry { ok, bad, overflow };

Entry parse_entry(const std::string& w, int Precision, Val& stored, double& v, double& scaled) {
  if (w.size() == 3 && w[0] == 'e' && w[1] == 'p' && w[2] == 's') {
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

// One row of a critical pattern: n entries, "     0" at the columns listed
// (ascending), "   eps" elsewhere.
void pattern_row(std::string& line, size_t n, const int* zero, const int* end) {
  static const char eps[] = "   eps", zero_text[] = "     0";
  line.clear();
  line.reserve(6 * n + 1);
  size_t j = 0;
  for (; zero != end; ++zero) {
    for (; j < static_cast<size_t>(*zero); ++j) line.append(eps, 6);
    line.append(zero_text, 6);
    ++j;
  }
  for (; j < n; ++j) line.append(eps, 6);
  line.push_back('\n');
}

int overflow(FILE* err) {
  std::fprintf(err, "%s: Arithmetic overflow. ", "umbrisk");
  std::fputs("Decreasing the precision may help.\n", err);
  return STATUS_OVERFLOW;
}

}  // namespace

int Read_Problem(FILE* in, const Options& o, Problem& p, FILE* out, FILE* err) {
  std::string w;
  word_line = 1;
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
  p.A = Arcs{};
  p.A.N = p.N;
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
    if (stored != MINUS_INF) {
      p.A.col.push_back(static_cast<int>(e % n));
      p.A.w.push_back(stored);
    }
    if (e % n == n - 1) p.A.start.push_back(p.A.col.size());
  }
  // Text after the matrix is another model (a Bernoulli product reads as a
  // matrix of its first numbers), except the initial vector of a file made
  // for "-transient", which a run without it leaves unread.
  if (o.transient) {
    for (long e = 0; e < n; ++e) {
      if (int status = take("vector", n, e)) return status;
      p.X.push_back(stored);
    }
  }
  long extra = 0, first_line = 0;
  std::string first;
  bool entries = true;
  while (next_word(in, w)) {
    if (extra++ == 0) {
      first = w;
      first_line = word_line;
    }
    Val s2 = 0;
    double v2 = 0, sc2 = 0;
    if (parse_entry(w, o.Precision, s2, v2, sc2) == Entry::bad) entries = false;
  }
  if (extra == 0 || (!o.transient && extra == n && entries)) return 0;
  std::fprintf(err, "%s: Unexpected text at line %ld: %s after the %ld x %ld matrix%s.\n",
               "umbrisk", first_line, first.c_str(), n, n, o.transient ? " and its vector" : "");
  return STATUS_BAD_INPUT;
}

int Run(const Problem& p, const Options& o, FILE* out, FILE* err) {
  const int N = p.N;
  try {
    std::fputs("\n", out);
    RATIONAL lambda = max_cycle_mean(p.A);
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

    const Sparse_Critical c = analyse_critical(p.A, lambda);
    const size_t n = static_cast<size_t>(N), K = c.R.size();

    if (o.cycles) {
      for (const std::vector<int>& mem : c.Comp)
        for (int m1 : mem) {
          // The critical arcs of row r1 towards this component, by member.
          const size_t r1 = c.R[m1];
          for (size_t k = c.crit_start[m1]; k < c.crit_start[m1 + 1]; ++k) {
            const int m2 = c.crit_col[k];
            if (!std::binary_search(mem.begin(), mem.end(), m2)) continue;
            const size_t r2 = c.R[m2];
            std::fprintf(out, "%6d %6d %14f\n", static_cast<int>(r2), static_cast<int>(r1),
                         static_cast<double>(p.A.at(static_cast<int>(r1), static_cast<int>(r2))) /
                             o.Precision);
          }
        }
      return 0;
    }

    // Rows of N entries, built whole: "     0" on the critical arcs.
    std::string line;
    std::fputs("Critical sub-graph:\n", out);
    for (size_t i = 0; i < n; ++i) {
      pattern_row(line, n, c.zero_col.data() + c.zero_start[i],
                  c.zero_col.data() + c.zero_start[i + 1]);
      std::fwrite(line.data(), 1, line.size(), out);
    }
    std::fputs("Agregated critical sub-graph:\n", out);
    for (size_t i = 0; i < K; ++i) {
      pattern_row(line, K, c.crit_col.data() + c.crit_start[i],
                  c.crit_col.data() + c.crit_start[i + 1]);
      std::fwrite(line.data(), 1, line.size(), out);
    }
    std::fprintf(out, "Number of critical strongly connected components: scs = %d \n ",
                 static_cast<int>(c.Comp.size()));
    for (size_t k = 0; k < c.Comp.size(); ++k) {
      std::fprintf(out, "component %d:\n", static_cast<int>(k));
      for (int m : c.Comp[k]) std::fprintf(out, "%5d", c.R[m] + 1);
      std::fputs("\n", out);
    }
    std::fputs("\n", out);
    std::fprintf(out, "Cyclicity: cyc = %lld \n", static_cast<long long>(c.cyc));

    if (o.transient) {
      Val r = transient(p.A, p.X, lambda, c.cyc, o.Precision, out, MAX_TRANSIENT_STEPS);
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
