// The dense analysis that umbrisk's sparse one must agree with: Karp from
// every source, and the critical graph from the full closure.
#include "reference.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "common/scc.h"
#include "karp.h"

namespace orv::umbrisk {

namespace {

// The sub-matrix of A on nodes (ascending), in Karp form.
KarpGraph make_graph(int N, const Matrix& A, const std::vector<int>& nodes) {
  KarpGraph g;
  g.n = static_cast<int>(nodes.size());
  const size_t n = nodes.size();
  size_t arcs = 0;
  for (int j : nodes)
    for (int m : nodes)
      if (A[static_cast<size_t>(j) * N + m] != MINUS_INF) ++arcs;
  // Gathering through arc lists only pays on a sparse matrix.
  g.dense = arcs * 8 > n * n;
  if (g.dense) {
    g.at.assign(n * n, NEG);
    for (size_t j = 0; j < n; ++j)
      for (size_t m = 0; m < n; ++m) {
        Val x = A[static_cast<size_t>(nodes[j]) * N + nodes[m]];
        if (x != MINUS_INF) g.at[m * n + j] = static_cast<double>(x);
      }
  } else {
    g.start.assign(n + 1, 0);
    for (size_t j = 0; j < n; ++j) {
      for (size_t m = 0; m < n; ++m) {
        Val x = A[static_cast<size_t>(nodes[j]) * N + nodes[m]];
        if (x != MINUS_INF) {
          g.from.push_back(static_cast<int>(m));
          g.w.push_back(static_cast<double>(x));
        }
      }
      g.start[j + 1] = static_cast<int>(g.from.size());
    }
  }
  return g;
}

std::vector<int> all_nodes(int N) {
  std::vector<int> v(N);
  for (int i = 0; i < N; ++i) v[i] = i;
  return v;
}

// Karp from one source over walks of exactly g.n arcs. D_N is found first
// with two rolling rows, then the table is run again to take the minimum in
// the order k = 0 .. N-1, so memory stays O(N).
RATIONAL karp_source(const KarpGraph& g, int s) {
  const int n = g.n;
  std::vector<double> prev(n, NEG), cur(n);
  prev[s] = 0;
  for (int k = 1; k <= n; ++k) {
    g.step(prev.data(), cur.data());
    prev.swap(cur);
  }
  std::vector<Val> DN(n);
  for (int j = 0; j < n; ++j) DN[j] = from_karp(prev[j]);

  std::vector<Val> muN(n, PLUS_INF), muD(n, 1);
  std::fill(prev.begin(), prev.end(), NEG);
  prev[s] = 0;
  for (int k = 0; k < n; ++k) {
    for (int j = 0; j < n; ++j) {
      Val cN = moins(DN[j], from_karp(prev[j]));
      Val cD = n - k;
      if (compa(cN, cD, muN[j], muD[j])) {
        muN[j] = cN;
        muD[j] = cD;
      }
    }
    if (k + 1 < n) {
      g.step(prev.data(), cur.data());
      prev.swap(cur);
    }
  }
  RATIONAL best;
  for (int j = 0; j < n; ++j)
    if (compa(best.Num, best.Den, muN[j], muD[j])) {
      best.Num = muN[j];
      best.Den = muD[j];
    }
  return best;
}

double key(RATIONAL r) {
  if (r.Num == MINUS_INF) return -__builtin_huge_val();
  return static_cast<double>(r.Num) / static_cast<double>(r.Den);
}

// Components of the graph with out-arcs out[start[u] .. start[u+1]).
int strong_components(int n, const std::vector<int>& start, const std::vector<int>& out,
                      std::vector<int>& comp) {
  return orv::Strong_Components(
      n, [&](int v) { return start[v + 1] - start[v]; },
      [&](int v, std::size_t k) { return out[static_cast<std::size_t>(start[v]) + k]; }, comp);
}

}  // namespace

RATIONAL source_mean(int N, const Matrix& A, int source) {
  return karp_source(make_graph(N, A, all_nodes(N)), source);
}

RATIONAL cycle_time_all_sources(int N, const Matrix& A) {
  KarpGraph g = make_graph(N, A, all_nodes(N));
  RATIONAL lambda;
  for (int s = 0; s < N; ++s) {
    RATIONAL r = karp_source(g, s);
    if (compa(lambda.Num, lambda.Den, r.Num, r.Den)) lambda = r;
  }
  return lambda;
}

// From every source Karp yields the largest mean of the circuits reachable
// from it, so the sources that matter are known from the components' means;
// the comparison picks the first source of the largest value, and only its
// table decides which fraction is reported.
RATIONAL cycle_time(int N, const Matrix& A) {
  std::vector<int> start(N + 1, 0), out;
  for (int m = 0; m < N; ++m) {
    for (int j = 0; j < N; ++j)
      if (A[static_cast<size_t>(j) * N + m] != MINUS_INF) out.push_back(j);
    start[m + 1] = static_cast<int>(out.size());
  }
  std::vector<int> comp;
  int ncomp = strong_components(N, start, out, comp);
  if (out.empty()) return RATIONAL{};

  std::vector<std::vector<int>> members(ncomp);
  for (int i = 0; i < N; ++i) members[comp[i]].push_back(i);

  int chosen = 0;
  if (ncomp > 1) {
    std::vector<double> reach(ncomp);
    for (int c = 0; c < ncomp; ++c) {
      const std::vector<int>& mem = members[c];
      double own = -__builtin_huge_val();
      int u0 = mem[0];
      if (mem.size() > 1 || A[static_cast<size_t>(u0) * N + u0] != MINUS_INF)
        own = key(karp_source(make_graph(N, A, mem), 0));
      double r = own;
      for (int u : mem)
        for (int e = start[u]; e < start[u + 1]; ++e)
          if (comp[out[e]] != c) r = std::max(r, reach[comp[out[e]]]);
      reach[c] = r;
    }
    double best = -__builtin_huge_val();
    for (int c = 0; c < ncomp; ++c) best = std::max(best, reach[c]);
    if (best == -__builtin_huge_val()) return RATIONAL{};
    chosen = -1;
    for (int s = 0; s < N && chosen < 0; ++s)
      if (reach[comp[s]] == best) chosen = s;
  }
  return source_mean(N, A, chosen);
}

void calcul_chemins(int N, const Matrix& A, RATIONAL lambda, Critical& c) {
  const size_t n = static_cast<size_t>(N);
  c.An.resize(n * n);
  Val bound = 0;
  for (size_t e = 0; e < n * n; ++e) {
    c.An[e] = moins(mult(A[e], lambda.Den), lambda.Num);
    if (c.An[e] != MINUS_INF) bound = std::max(bound, std::abs(c.An[e]));
  }
  // Every closure value is the weight of a path or circuit of at most N
  // arcs, so sums of two stay below 2 N bound; check that once. Below 2^52
  // the closure runs exactly in doubles, without tests in the inner loop.
  const Val limit = (Val(1) << 61) / (2 * static_cast<Val>(N));
  if (bound > limit) throw Overflow();
  Matrix S;  // Astar
  if (bound <= (Val(1) << 52) / (2 * static_cast<Val>(N))) {
    std::vector<double> D(n * n);
    for (size_t e = 0; e < n * n; ++e)
      D[e] = c.An[e] == MINUS_INF ? -__builtin_huge_val() : static_cast<double>(c.An[e]);
    for (size_t i = 0; i < n; ++i) {
      const double* ri = &D[i * n];
      for (size_t j = 0; j < n; ++j) {
        const double aji = D[j * n + i];
        if (aji == -__builtin_huge_val()) continue;
        double* rj = &D[j * n];
        for (size_t k = 0; k < n; ++k) {
          double x = aji + ri[k];
          rj[k] = rj[k] < x ? x : rj[k];
        }
      }
    }
    S.resize(n * n);
    for (size_t e = 0; e < n * n; ++e)
      S[e] = D[e] == -__builtin_huge_val() ? MINUS_INF : static_cast<Val>(D[e]);
  } else {
    S = c.An;
    for (size_t i = 0; i < n; ++i) {
      const Val* ri = &S[i * n];
      for (size_t j = 0; j < n; ++j) {
        Val aji = S[j * n + i];
        if (aji == MINUS_INF) continue;
        Val* rj = &S[j * n];
        for (size_t k = 0; k < n; ++k) {
          Val b = ri[k];
          if (b != MINUS_INF && aji + b > rj[k]) rj[k] = aji + b;
        }
      }
    }
  }

  // Aplus = An (x) Astar is needed only on its diagonal and in the columns of
  // the critical nodes, whose maximum is the eigenvector.
  c.R.clear();
  for (size_t i = 0; i < n; ++i) {
    Val d = MINUS_INF;
    for (size_t m = 0; m < n; ++m) {
      Val a = c.An[i * n + m], b = S[m * n + i];
      if (a != MINUS_INF && b != MINUS_INF) d = std::max(d, a + b);
    }
    if (d == 0) c.R.push_back(static_cast<int>(i));
  }
  std::vector<Val> col(n, MINUS_INF);  // largest Astar[m][i] over critical i
  for (int i : c.R)
    for (size_t m = 0; m < n; ++m) col[m] = std::max(col[m], S[m * n + i]);
  c.v.assign(n, MINUS_INF);
  for (size_t j = 0; j < n; ++j) {
    Val best = MINUS_INF;
    for (size_t m = 0; m < n; ++m) {
      Val a = c.An[j * n + m];
      if (a != MINUS_INF && col[m] != MINUS_INF) best = std::max(best, a + col[m]);
    }
    c.v[j] = best;
  }
}

void calcul_mat_critic(int N, Critical& c) {
  const size_t n = static_cast<size_t>(N);
  c.zero2.assign(n * n, 0);
  for (size_t i = 0; i < n; ++i) {
    if (c.v[i] == MINUS_INF) continue;
    for (size_t j = 0; j < n; ++j) {
      Val a = c.An[i * n + j];
      if (a == MINUS_INF || c.v[j] == MINUS_INF) continue;
      c.zero2[i * n + j] = checked_sub(checked_add(a, c.v[j]), c.v[i]) == 0;
    }
  }
  const size_t K = c.R.size();
  c.Critic.assign(K * K, 0);
  for (size_t p = 0; p < K; ++p)
    for (size_t q = 0; q < K; ++q) c.Critic[p * K + q] = c.zero2[c.R[p] * n + c.R[q]];
}

// Mutual reachability in the closure of Critic is membership of the same
// strongly connected component; components are listed by their smallest
// index, members ascending.
void calcul_Comp3(Critical& c) {
  const int K = static_cast<int>(c.R.size());
  std::vector<int> start(K + 1, 0), out;
  for (int p = 0; p < K; ++p) {
    for (int q = 0; q < K; ++q)
      if (c.Critic[static_cast<size_t>(p) * K + q]) out.push_back(q);
    start[p + 1] = static_cast<int>(out.size());
  }
  std::vector<int> comp;
  int ncomp = strong_components(K, start, out, comp);
  std::vector<int> order(ncomp, -1);
  c.Comp.clear();
  for (int p = 0; p < K; ++p) {
    int& o = order[comp[p]];
    if (o < 0) {
      o = static_cast<int>(c.Comp.size());
      c.Comp.emplace_back();
    }
    c.Comp[o].push_back(p);
  }
}

void calcul_cyc(Critical& c) {
  const size_t K = c.R.size();
  std::vector<Val> level(K, -1);
  c.cyc = 1;
  for (const std::vector<int>& mem : c.Comp) {
    Val g = 0;
    std::vector<int> queue{mem[0]};
    level[mem[0]] = 0;
    for (size_t h = 0; h < queue.size() && g != 1; ++h) {
      int u = queue[h];
      for (int k : mem) {
        if (!c.Critic[u * K + k]) continue;
        if (level[k] < 0) {
          level[k] = level[u] + 1;
          queue.push_back(k);
        } else {
          g = gcd(g, std::abs(level[u] - level[k] + 1));
          if (g == 1) break;
        }
      }
    }
    c.cyc = lcm(c.cyc, g);
  }
}

Critical analyse_critical(int N, const Matrix& A, RATIONAL lambda) {
  Critical c;
  calcul_chemins(N, A, lambda, c);
  calcul_mat_critic(N, c);
  calcul_Comp3(c);
  calcul_cyc(c);
  return c;
}

Val transient(int N, const Matrix& A, const std::vector<Val>& X, RATIONAL lambda, Val cyc,
              int Precision, FILE* out, Val max_steps, size_t window) {
  return run_transient(make_graph(N, A, all_nodes(N)), X, lambda, cyc, Precision, out,
                       max_steps, window);
}

}  // namespace orv::umbrisk
