// nethric's work on a graph of equal weights, written plainly: the file
// read whole and parsed with strtol, arcs deduplicated per row, the power
// iteration on successor arrays, f^-1 by the same narrowing search. Prints
// the line nethric prints, so the two can be compared and timed.
// Usage: nethric_plain_power GRAPH
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double f(double x) {
  if (x == 0) return 0;
  if (x == 1) return 1;
  if (x < 0 || x > 1) return 0;
  return std::exp(std::log(x) + (1 - x) * std::log(1 - x) / x);
}

double inv_f(double y, double eps) {
  double lo = 0, hi = 1, x = 0.5, d = f(x) - y;
  for (;;) {
    const double old_lo = lo, old_hi = hi;
    if (d > 0) hi = hi - (hi - x) / 2;
    else if (d < 0) lo = lo + (x - lo) / 2;
    x = (lo + hi) / 2;
    d = f(x) - y;
    if (std::fabs(d) <= eps || (lo == old_lo && hi == old_hi)) return x;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  FILE* in = std::fopen(argv[1], "rb");
  if (in == nullptr) return 2;
  std::string text;
  char buf[1 << 16];
  for (std::size_t got; (got = std::fread(buf, 1, sizeof buf, in)) > 0;) text.append(buf, got);
  std::fclose(in);
  const char* p = text.c_str();
  char* end = nullptr;
  while (*p == ' ' || *p == '\n') ++p;
  if (p[0] == 's' && p[1] == 'p') p += 2;
  const int n = static_cast<int>(std::strtol(p, &end, 10));
  p = end;
  for (int i = 0; i < n; ++i) {
    std::strtod(p, &end);
    p = end;
  }
  std::vector<int> from, to;
  for (;;) {
    const long i = std::strtol(p, &end, 10);
    if (end == p) break;
    p = end;
    const long j = std::strtol(p, &end, 10);
    if (end == p) break;
    p = end;
    from.push_back(static_cast<int>(i));
    to.push_back(static_cast<int>(j));
  }
  std::vector<int> start(n + 1, 0), succ(from.size()), seen(n, -1);
  for (int i : from) ++start[i + 1];
  for (int i = 0; i < n; ++i) start[i + 1] += start[i];
  std::vector<int> at(start.begin(), start.end() - 1);
  for (std::size_t e = 0; e < from.size(); ++e) succ[at[from[e]]++] = to[e];
  std::vector<int> cstart(n + 1, 0), csucc;
  int most = 0;
  for (int i = 0; i < n; ++i) {
    for (int e = start[i]; e < start[i + 1]; ++e)
      if (seen[succ[e]] != i) {
        seen[succ[e]] = i;
        csucc.push_back(succ[e]);
      }
    cstart[i + 1] = static_cast<int>(csucc.size());
    most = std::max(most, cstart[i + 1] - cstart[i]);
  }
  const double eps = 1e-6;
  inv_f(static_cast<double>(most) / n, eps);
  std::vector<double> x(n, 1.0), y(n);
  int iterations = 0;
  double distance = 0;
  do {
    double norm = 0;
    for (int i = 0; i < n; ++i) {
      double s = 0;
      for (int e = cstart[i]; e < cstart[i + 1]; ++e) s += x[csucc[e]];
      y[i] = s;
      norm = std::max(norm, s);
    }
    if (norm == 0) break;
    distance = 0;
    for (int i = 0; i < n; ++i) {
      y[i] /= norm;
      distance += std::fabs(x[i] - y[i]);
    }
    x.swap(y);
    ++iterations;
  } while (iterations < 500 && distance > eps);
  double radius = 0;
  for (int i = 0; i < n; ++i) {
    double s = 0;
    for (int e = cstart[i]; e < cstart[i + 1]; ++e) s += x[csucc[e]];
    if (x[i] != 0) radius = std::max(radius, s / x[i]);
  }
  radius = std::min(radius, static_cast<double>(n));
  std::printf("%f %f\n", static_cast<double>(csucc.size()) / n / n, inv_f(radius / n, eps));
  return 0;
}
