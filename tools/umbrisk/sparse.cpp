#include "sparse.h"

#include "common/scc.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <queue>
#include <utility>

namespace orv::umbrisk {

Val Arcs::at(int i, int j) const {
  auto first = col.begin() + static_cast<std::ptrdiff_t>(start[i]);
  auto last = col.begin() + static_cast<std::ptrdiff_t>(start[i + 1]);
  auto it = std::lower_bound(first, last, j);
  return it != last && *it == j ? w[static_cast<size_t>(it - col.begin())] : MINUS_INF;
}

Arcs arcs_of(int N, const Matrix& A) {
  Arcs g;
  g.N = N;
  g.start.assign(1, 0);
  for (int i = 0; i < N; ++i) {
    for (int j = 0; j < N; ++j) {
      Val a = A[static_cast<size_t>(i) * N + j];
      if (a == MINUS_INF) continue;
      g.col.push_back(j);
      g.w.push_back(a);
    }
    g.start.push_back(g.col.size());
  }
  return g;
}

namespace {

struct Frac {
  Val num;
  Val den;  // > 0
};

bool greater(Frac a, Frac b) {
  return static_cast<__int128>(a.num) * b.den > static_cast<__int128>(b.num) * a.den;
}

Frac reduced(Val num, Val den) {
  Val g = gcd(num, den);
  if (g > 1) {
    num /= g;
    den /= g;
  }
  return {num, den};
}

// The arcs leaving each node (the rows hold those entering it).
struct Out_Arcs {
  std::vector<std::size_t> start;
  std::vector<int> to;
  std::vector<std::size_t> arc;  // index of the arc in the rows
};

Out_Arcs out_arcs(const Arcs& g) {
  Out_Arcs o;
  const int N = g.N;
  o.start.assign(static_cast<size_t>(N) + 1, 0);
  for (int j : g.col) ++o.start[static_cast<size_t>(j) + 1];
  for (int j = 0; j < N; ++j) o.start[j + 1] += o.start[j];
  o.to.resize(g.size());
  o.arc.resize(g.size());
  std::vector<std::size_t> fill(o.start.begin(), o.start.end() - 1);
  for (int i = 0; i < N; ++i)
    for (size_t e = g.start[i]; e < g.start[i + 1]; ++e) {
      size_t k = fill[static_cast<size_t>(g.col[e])]++;
      o.to[k] = i;
      o.arc[k] = e;
    }
  return o;
}

// Strongly connected components over the arcs kept by `keep`, followed from
// each node's row, numbered in the order their searches complete.
template <class Keep>
int components(const Arcs& g, Keep keep, std::vector<int>& comp) {
  return orv::Strong_Components(
      g.N, [&](int v) { return g.start[v + 1] - g.start[v]; },
      [&](int v, std::size_t k) {
        const std::size_t e = g.start[v] + k;
        return keep(v, e) ? g.col[e] : -1;
      },
      comp);
}

// Weight of arc e under the cycle mean lam: A x den - num.
Val normalised(const Arcs& g, size_t e, Frac lam) {
  return checked_sub(checked_mul(g.w[e], lam.den), lam.num);
}

// Longest paths under the normalised weights from a source joined to every
// node by an arc of weight 0, by label correcting. True with u filled when
// no circuit is positive; otherwise false with such a circuit's arcs (in
// the rows) in circuit. A cycle of the predecessor graph is always positive.
bool potentials(const Arcs& g, const Out_Arcs& o, Frac lam, std::vector<Val>& u,
                std::vector<size_t>& circuit) {
  const int N = g.N;
  u.assign(N, 0);
  std::vector<size_t> pred(N, SIZE_MAX);  // arc (in the rows) last improving the node
  std::vector<int> len(N, 0), stamp(N, -1);
  std::vector<char> queued(N, 1);
  std::vector<int> queue(N);
  for (int i = 0; i < N; ++i) queue[i] = i;
  size_t head = 0;
  int walks = 0;
  // A FIFO ring over at most N queued nodes.
  size_t count = static_cast<size_t>(N);
  std::vector<Val> c(g.size());
  for (size_t e = 0; e < g.size(); ++e) c[e] = normalised(g, e, lam);
  while (count > 0) {
    int j = queue[head];
    head = head + 1 == static_cast<size_t>(N) ? 0 : head + 1;
    --count;
    queued[j] = 0;
    const Val uj = u[j];
    for (size_t k = o.start[j]; k < o.start[j + 1]; ++k) {
      const size_t e = o.arc[k];
      const int i = o.to[k];
      const Val cand = checked_add(uj, c[e]);
      if (cand <= u[i]) continue;
      u[i] = cand;
      pred[i] = e;
      len[i] = len[j] + 1;
      if (len[i] >= N) {
        // The predecessors from i hold a cycle, unless they reach the source.
        int x = i;
        ++walks;
        while (x >= 0 && stamp[x] != walks) {
          stamp[x] = walks;
          if (pred[x] == SIZE_MAX) {
            x = -1;
            break;
          }
          x = g.col[pred[x]];
        }
        if (x >= 0) {
          circuit.clear();
          int y = x;
          do {
            circuit.push_back(pred[y]);
            y = g.col[pred[y]];
          } while (y != x);
          return false;
        }
        len[i] = 0;
      }
      if (!queued[i]) {
        queued[i] = 1;
        size_t tail = head + count;
        if (tail >= static_cast<size_t>(N)) tail -= static_cast<size_t>(N);
        queue[tail] = i;
        ++count;
      }
    }
  }
  return true;
}

Frac circuit_mean(const Arcs& g, const std::vector<size_t>& circuit) {
  Val sum = 0;
  for (size_t e : circuit) sum = checked_add(sum, g.w[e]);
  return reduced(sum, static_cast<Val>(circuit.size()));
}

// The best circuit of the policy where each node of a circuit-bearing
// component takes its heaviest arc from inside that component: a start
// close to the optimum, which label correcting then improves.
bool greedy_start(const Arcs& g, Frac& best) {
  const int N = g.N;
  std::vector<int> comp;
  int ncomp = components(g, [](int, size_t) { return true; }, comp);
  std::vector<int> size(ncomp, 0);
  for (int i = 0; i < N; ++i) ++size[comp[i]];
  std::vector<size_t> choice(N, SIZE_MAX);
  for (int i = 0; i < N; ++i) {
    for (size_t e = g.start[i]; e < g.start[i + 1]; ++e) {
      int j = g.col[e];
      if (comp[j] != comp[i] || (size[comp[i]] == 1 && j != i)) continue;
      if (choice[i] == SIZE_MAX || g.w[e] > g.w[choice[i]]) choice[i] = e;
    }
  }
  bool found = false;
  std::vector<int> stamp(N, -1);
  std::vector<size_t> circuit;
  for (int s = 0; s < N; ++s) {
    if (choice[s] == SIZE_MAX || stamp[s] != -1) continue;
    int x = s;
    while (x >= 0 && stamp[x] == -1) {
      stamp[x] = s;
      x = choice[x] == SIZE_MAX ? -1 : g.col[choice[x]];
    }
    if (x < 0 || stamp[x] != s) continue;  // ran into an earlier walk
    circuit.clear();
    int y = x;
    do {
      circuit.push_back(choice[y]);
      y = g.col[choice[y]];
    } while (y != x);
    Frac m = circuit_mean(g, circuit);
    if (!found || greater(m, best)) best = m;
    found = true;
  }
  return found;
}

// Howard's policy iteration, in doubles: each node keeps one arc in,
// values are found along the policy's circuits, and the policy moves to
// better arcs until none is. Its best circuit, measured exactly, replaces
// best when better; label correcting then confirms it (or, after rounding,
// improves it).
void howard(const Arcs& g, const Out_Arcs& o, Frac& best) {
  const int N = g.N;
  // Only nodes with a way in from a circuit can lie on one.
  std::vector<int> live_in(N, 0);
  for (int i = 0; i < N; ++i) live_in[i] = static_cast<int>(g.start[i + 1] - g.start[i]);
  std::vector<char> alive(N, 1);
  std::vector<int> dead;
  for (int i = 0; i < N; ++i)
    if (live_in[i] == 0) dead.push_back(i);
  while (!dead.empty()) {
    int j = dead.back();
    dead.pop_back();
    alive[j] = 0;
    for (size_t k = o.start[j]; k < o.start[j + 1]; ++k)
      if (--live_in[o.to[k]] == 0) dead.push_back(o.to[k]);
  }
  double scale = 1;
  for (Val w : g.w) scale = std::max(scale, std::abs(static_cast<double>(w)));
  const double eps = 1e-12 * scale * N;

  std::vector<size_t> pi(N, SIZE_MAX);
  for (int i = 0; i < N; ++i) {
    if (!alive[i]) continue;
    for (size_t e = g.start[i]; e < g.start[i + 1]; ++e)
      if (alive[g.col[e]] && (pi[i] == SIZE_MAX || g.w[e] > g.w[pi[i]])) pi[i] = e;
  }
  std::vector<double> eta(N), x(N);
  std::vector<int> stamp(N), walk;
  for (int round = 0; round < 1000; ++round) {
    std::fill(stamp.begin(), stamp.end(), -1);
    for (int s = 0; s < N; ++s) {
      if (!alive[s] || stamp[s] != -1) continue;
      walk.clear();
      int y = s;
      while (stamp[y] == -1) {
        stamp[y] = s;
        walk.push_back(y);
        y = g.col[pi[y]];
      }
      size_t done = walk.size();  // walk[0 .. done) still to value
      if (stamp[y] == s) {
        // A new circuit: walk from y's place to the end.
        size_t at = static_cast<size_t>(std::find(walk.begin(), walk.end(), y) - walk.begin());
        double sum = 0;
        for (size_t t = at; t < walk.size(); ++t) sum += static_cast<double>(g.w[pi[walk[t]]]);
        const double mean = sum / static_cast<double>(walk.size() - at);
        x[y] = 0;
        eta[y] = mean;
        for (size_t t = walk.size() - 1; t > at; --t) {
          const int z = walk[t];
          eta[z] = mean;
          x[z] = static_cast<double>(g.w[pi[z]]) - mean + x[g.col[pi[z]]];
        }
        done = at;
      }
      for (size_t t = done; t-- > 0;) {
        const int z = walk[t], p = g.col[pi[z]];
        eta[z] = eta[p];
        x[z] = static_cast<double>(g.w[pi[z]]) - eta[z] + x[p];
      }
    }
    bool changed = false;
    for (int i = 0; i < N; ++i) {
      if (!alive[i]) continue;
      double top = eta[i];
      for (size_t e = g.start[i]; e < g.start[i + 1]; ++e)
        if (alive[g.col[e]]) top = std::max(top, eta[g.col[e]]);
      size_t choice = SIZE_MAX;
      if (top > eta[i] + eps) {
        double v = 0;
        for (size_t e = g.start[i]; e < g.start[i + 1]; ++e) {
          const int j = g.col[e];
          if (!alive[j] || eta[j] < top - eps) continue;
          double c = static_cast<double>(g.w[e]) + x[j];
          if (choice == SIZE_MAX || c > v) {
            choice = e;
            v = c;
          }
        }
      } else {
        double v = x[i] + eps;
        for (size_t e = g.start[i]; e < g.start[i + 1]; ++e) {
          const int j = g.col[e];
          if (!alive[j] || std::abs(eta[j] - eta[i]) > eps) continue;
          double c = static_cast<double>(g.w[e]) - eta[i] + x[j];
          if (c > v) {
            choice = e;
            v = c;
          }
        }
      }
      if (choice != SIZE_MAX && choice != pi[i]) {
        pi[i] = choice;
        changed = true;
      }
    }
    if (!changed) break;
  }
  // The policy's circuits, measured exactly.
  std::fill(stamp.begin(), stamp.end(), -1);
  std::vector<size_t> circuit;
  for (int s = 0; s < N; ++s) {
    if (!alive[s] || stamp[s] != -1) continue;
    int y = s;
    while (stamp[y] == -1) {
      stamp[y] = s;
      y = g.col[pi[y]];
    }
    if (stamp[y] != s) continue;
    circuit.clear();
    int z = y;
    do {
      circuit.push_back(pi[z]);
      z = g.col[pi[z]];
    } while (z != y);
    Frac m = circuit_mean(g, circuit);
    if (greater(m, best)) best = m;
  }
}

}  // namespace

RATIONAL max_cycle_mean(const Arcs& g) {
  Frac lam{0, 1};
  if (g.size() == 0 || !greedy_start(g, lam)) return RATIONAL{};
  const Out_Arcs o = out_arcs(g);
  howard(g, o, lam);
  std::vector<Val> u;
  std::vector<size_t> circuit;
  while (!potentials(g, o, lam, u, circuit)) {
    Frac better = circuit_mean(g, circuit);
    if (!greater(better, lam)) break;  // cannot happen: the circuit is positive
    lam = better;
  }
  return RATIONAL{lam.num, lam.den};
}

Sparse_Critical analyse_critical(const Arcs& g, RATIONAL lambda) {
  Sparse_Critical c;
  const int N = g.N;
  const Frac lam{lambda.Num, lambda.Den};
  // The bound of the dense closure: every path weight must stay exact.
  Val bound = 0;
  std::vector<Val> an(g.size());
  for (size_t e = 0; e < g.size(); ++e) {
    an[e] = normalised(g, e, lam);
    bound = std::max(bound, an[e] < 0 ? -an[e] : an[e]);
  }
  const Val limit = (Val(1) << 61) / (2 * static_cast<Val>(N));
  if (bound > limit) throw Overflow();

  const Out_Arcs o = out_arcs(g);
  std::vector<Val> u;
  std::vector<size_t> circuit;
  if (!potentials(g, o, lam, u, circuit)) throw Overflow();  // lambda is not the cycle mean

  // Zero-weight circuits are those of arcs tight under u.
  auto is_tight = [&](int i, size_t e) { return u[g.col[e]] + an[e] == u[i]; };
  std::vector<int> comp;
  int ncomp = components(g, is_tight, comp);
  std::vector<int> size(ncomp, 0);
  for (int i = 0; i < N; ++i) ++size[comp[i]];
  std::vector<int> crit_index(N, -1);
  for (int i = 0; i < N; ++i) {
    bool critical = size[comp[i]] > 1;
    if (!critical) {
      Val a = g.at(i, i);
      critical = a != MINUS_INF && checked_sub(checked_mul(a, lam.den), lam.num) == 0;
    }
    if (critical) {
      crit_index[i] = static_cast<int>(c.R.size());
      c.R.push_back(i);
    }
  }

  // The eigenvector: longest paths from the critical nodes, found on the
  // slacks u_i - u_j - an >= 0 by Dijkstra from every critical node at u.
  c.v.assign(N, MINUS_INF);
  std::vector<Val> dist(N, PLUS_INF);
  using Item = std::pair<Val, int>;
  std::priority_queue<Item, std::vector<Item>, std::greater<Item>> heap;
  for (int r : c.R) {
    dist[r] = u[r];
    heap.emplace(u[r], r);
  }
  while (!heap.empty()) {
    auto [d, j] = heap.top();
    heap.pop();
    if (d != dist[j]) continue;
    for (size_t k = o.start[j]; k < o.start[j + 1]; ++k) {
      const size_t e = o.arc[k];
      const int i = o.to[k];
      const Val nd = d + (u[i] - u[j] - an[e]);
      if (nd < dist[i]) {
        dist[i] = nd;
        heap.emplace(nd, i);
      }
    }
  }
  for (int i = 0; i < N; ++i)
    if (dist[i] != PLUS_INF) c.v[i] = checked_sub(u[i], dist[i]);

  c.zero_start.assign(1, 0);
  for (int i = 0; i < N; ++i) {
    if (c.v[i] != MINUS_INF) {
      for (size_t e = g.start[i]; e < g.start[i + 1]; ++e) {
        const int j = g.col[e];
        if (c.v[j] == MINUS_INF) continue;
        if (checked_sub(checked_add(an[e], c.v[j]), c.v[i]) == 0) c.zero_col.push_back(j);
      }
    }
    c.zero_start.push_back(c.zero_col.size());
  }
  c.crit_start.assign(1, 0);
  for (int r : c.R) {
    for (size_t k = c.zero_start[r]; k < c.zero_start[r + 1]; ++k)
      if (crit_index[c.zero_col[k]] >= 0) c.crit_col.push_back(crit_index[c.zero_col[k]]);
    c.crit_start.push_back(c.crit_col.size());
  }

  // Components of the critical graph, listed by their smallest member.
  const int K = static_cast<int>(c.R.size());
  Arcs crit;
  crit.N = K;
  crit.start = c.crit_start;
  crit.col = c.crit_col;
  std::vector<int> ccomp;
  int nc = components(crit, [](int, size_t) { return true; }, ccomp);
  std::vector<int> order(nc, -1);
  for (int p = 0; p < K; ++p) {
    int& ord = order[ccomp[p]];
    if (ord < 0) {
      ord = static_cast<int>(c.Comp.size());
      c.Comp.emplace_back();
    }
    c.Comp[ord].push_back(p);
  }

  // Cyclicity: per component, the gcd of level differences along its arcs.
  std::vector<Val> level(K, -1);
  c.cyc = 1;
  for (const std::vector<int>& mem : c.Comp) {
    Val gg = 0;
    std::vector<int> queue{mem[0]};
    level[mem[0]] = 0;
    for (size_t h = 0; h < queue.size() && gg != 1; ++h) {
      int x = queue[h];
      for (size_t k = c.crit_start[x]; k < c.crit_start[x + 1]; ++k) {
        int y = c.crit_col[k];
        if (ccomp[y] != ccomp[x]) continue;
        if (level[y] < 0) {
          level[y] = level[x] + 1;
          queue.push_back(y);
        } else {
          gg = gcd(gg, std::abs(level[x] - level[y] + 1));
          if (gg == 1) break;
        }
      }
    }
    c.cyc = lcm(c.cyc, gg);
  }
  return c;
}

}  // namespace orv::umbrisk
