// The transient: the trajectory of x(k+1) = A (x) x(k) until its
// normalised state repeats.
#include <charconv>
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>

#include "karp.h"

namespace orv::umbrisk {

// The same from the arcs that exist.
KarpGraph make_graph(const Arcs& a) {
  KarpGraph g;
  g.n = a.N;
  const size_t n = static_cast<size_t>(a.N);
  g.dense = a.size() * 8 > n * n;
  if (g.dense) {
    g.at.assign(n * n, NEG);
    for (size_t j = 0; j < n; ++j)
      for (size_t e = a.start[j]; e < a.start[j + 1]; ++e)
        g.at[static_cast<size_t>(a.col[e]) * n + j] = static_cast<double>(a.w[e]);
  } else {
    g.start.assign(n + 1, 0);
    g.from.assign(a.col.begin(), a.col.end());
    g.w.resize(a.size());
    for (size_t e = 0; e < a.size(); ++e) g.w[e] = static_cast<double>(a.w[e]);
    for (size_t j = 0; j <= n; ++j) g.start[j] = static_cast<int>(a.start[j]);
  }
  return g;
}

void append_state_entry(std::string& line, double e, int Precision) {
  if (e == NEG) {
    line.append("       eps");
    return;
  }
  // printf is most of the cost of a long transient; an integer state at
  // precision 1 is written directly, with the digits printf would give.
  if (Precision == 1 && e < 0x1p53 && e > -0x1p53) {
    char digits[24];
    auto r = std::to_chars(digits, digits + sizeof digits, static_cast<long long>(e));
    size_t len = static_cast<size_t>(r.ptr - digits) + 5;
    line.append(len < 9 ? 10 - len : 1, ' ');
    line.append(digits, r.ptr);
    line.append(".0000");
    return;
  }
  char buf[64];
  int len = std::snprintf(buf, sizeof buf, " %9.4f", e / Precision);
  if (len > 0 && static_cast<size_t>(len) < sizeof buf) line.append(buf, static_cast<size_t>(len));
  else line.append(std::to_string(e / Precision));
}

namespace {

void append_entry_row(std::string& line, Val t, const std::vector<double>& x, int Precision) {
  char digits[24];
  auto r = std::to_chars(digits, digits + sizeof digits, static_cast<long long>(t));
  line.append(digits, r.ptr);
  line.append(": ");
  for (double e : x) append_state_entry(line, e, Precision);
  line.push_back('\n');
}

// The trajectory runs in doubles like Karp's tables: after t steps an entry
// is below (t + 1) 2^31 in size, exact up to the bound checked here.
struct Trajectory {
  int N;
  KarpGraph g;
  RATIONAL lambda;

  void step(std::vector<double>& x, std::vector<double>& tmp) const {
    g.step(x.data(), tmp.data());
    x.swap(tmp);
    for (double e : x)
      if (e != NEG && (e > 0x1p52 || e < -0x1p52)) throw Overflow();
  }

  void normalise(const std::vector<double>& x, Val t, std::vector<Val>& y) const {
    Val shift = checked_mul(t, lambda.Num);
    for (int j = 0; j < N; ++j) y[j] = moins(mult(from_karp(x[j]), lambda.Den), shift);
  }
};

std::uint64_t hash_of(const std::vector<Val>& y) {
  std::uint64_t h = 0x9e3779b97f4a7c15ull;
  for (Val v : y) {
    std::uint64_t z = static_cast<std::uint64_t>(v) + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    h ^= z ^ (z >> 31);
  }
  return h;
}

void print_state(FILE* out, Val t, const std::vector<double>& x, int Precision,
                 std::string& line) {
  line.assign("T = ");
  append_entry_row(line, t, x, Precision);
  std::fwrite(line.data(), 1, line.size(), out);
}

}  // namespace

Val run_transient(KarpGraph graph, const std::vector<Val>& X, RATIONAL lambda, Val cyc,
                  int Precision, FILE* out, Val max_steps, size_t window) {
  const int N = graph.n;
  Trajectory tr{N, std::move(graph), lambda};
  std::vector<double> x0(N);
  for (int j = 0; j < N; ++j) x0[j] = X[j] == MINUS_INF ? NEG : static_cast<double>(X[j]);

  std::fputs("\n", out);
  std::string line;
  print_state(out, 0, x0, Precision, line);

  // Earlier normalised states are kept by hash; the most recent ones are also
  // kept whole, older ones are recomputed from X when a hash matches.
  if (window == 0) window = std::max<size_t>(2, (size_t(1) << 22) / static_cast<size_t>(N));
  std::unordered_multimap<std::uint64_t, Val> seen;
  std::deque<std::vector<Val>> recent;  // the latest states, oldest first
  std::vector<double> x = x0, tmp(N);
  std::vector<Val> y(N);
  tr.normalise(x, 0, y);
  seen.emplace(hash_of(y), 0);
  recent.push_back(y);

  auto state_at = [&](Val s) {
    std::vector<double> xs = x0, ts(N);
    std::vector<Val> ys(N);
    for (Val k = 0; k < s; ++k) tr.step(xs, ts);
    tr.normalise(xs, s, ys);
    return ys;
  };

  for (Val t = 1; t <= max_steps; ++t) {
    tr.step(x, tmp);
    print_state(out, t, x, Precision, line);
    tr.normalise(x, t, y);
    std::uint64_t h = hash_of(y);
    bool repeats = false;
    if (t >= cyc) {
      std::vector<Val> candidates;
      auto range = seen.equal_range(h);
      for (auto it = range.first; it != range.second; ++it) candidates.push_back(it->second);
      std::sort(candidates.rbegin(), candidates.rend());
      for (Val s : candidates) {
        Val back = t - 1 - s;  // position from the end of recent
        if (back < static_cast<Val>(recent.size()))
          repeats = recent[recent.size() - 1 - static_cast<size_t>(back)] == y;
        else
          repeats = state_at(s) == y;
        if (repeats) break;
      }
    }
    if (repeats) return t + 1;
    seen.emplace(h, t);
    recent.push_back(y);
    if (recent.size() > window) recent.pop_front();
  }
  return -1;
}

Val transient(const Arcs& g, const std::vector<Val>& X, RATIONAL lambda, Val cyc, int Precision,
              FILE* out, Val max_steps, size_t window) {
  return run_transient(make_graph(g), X, lambda, cyc, Precision, out, max_steps, window);
}

}  // namespace orv::umbrisk
