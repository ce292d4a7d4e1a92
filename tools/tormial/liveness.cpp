#include "liveness.h"

#include "common/scc.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace orv::fc {

namespace {

// ---- reading --------------------------------------------------------------

class Words {
 public:
  explicit Words(FILE* in) : in_(in) {}
  // The next whitespace-separated word; false at the end of the text.
  bool next(std::string& w) {
    w.clear();
    int c;
    while ((c = std::fgetc(in_)) != EOF && std::isspace(c)) {}
    if (c == EOF) return false;
    do w.push_back(static_cast<char>(c));
    while ((c = std::fgetc(in_)) != EOF && !std::isspace(c));
    ++count_;
    return true;
  }
  long count() const { return count_; }

 private:
  FILE* in_;
  long count_ = 0;
};

bool whole_int(const std::string& w, long long lo, long long hi, long long& v) {
  errno = 0;
  char* end = nullptr;
  v = std::strtoll(w.c_str(), &end, 10);
  return !w.empty() && *end == '\0' && errno == 0 && v >= lo && v <= hi;
}

// ---- min-plus -------------------------------------------------------------

long long plus(long long a, long long b) { return a == NO_PLACE || b == NO_PLACE ? NO_PLACE : a + b; }

// Z (n x m) = X (n x l) (x) Y (l x m)
Matrix Otimes(const Matrix& X, const Matrix& Y, int n, int m, int l) {
  Matrix Z(n, std::vector<long long>(m, NO_PLACE));
  for (int i = 0; i < n; ++i)
    for (int k = 0; k < l; ++k) {
      if (X[i][k] == NO_PLACE) continue;
      for (int j = 0; j < m; ++j) Z[i][j] = std::min(Z[i][j], plus(X[i][k], Y[k][j]));
    }
  return Z;
}

// Paths of one or more arcs; no identity, so the diagonal holds circuits.
Matrix calculStar(const Matrix& A, int n) {
  Matrix S = A;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      if (S[j][i] == NO_PLACE) continue;
      for (int k = 0; k < n; ++k) S[j][k] = std::min(S[j][k], plus(S[j][i], S[i][k]));
    }
  return S;
}

// ---- one combination ------------------------------------------------------

// Strongly connected components of the graph j -> i (Ps[i][j] != 0) on the
// T1 transitions; numbered in order of completion.
void calcul_Comp(const std::vector<std::vector<int>>& succ, std::vector<int>& Belong) {
  orv::Strong_Components(
      static_cast<int>(succ.size()), [&](int v) { return succ[v].size(); },
      [&](int v, std::size_t k) { return succ[v][k]; }, Belong);
}

}  // namespace

bool Read_Description(FILE* in, Description& d, std::string& error) {
  Words words(in);
  std::string w;
  long long v;
  auto number = [&](const char* what, long long lo, long long hi) -> bool {
    if (!words.next(w)) {
      error = "the description ends where a " + std::string(what) + " is expected.";
      return false;
    }
    if (!whole_int(w, lo, hi, v)) {
      error = "bad " + std::string(what) + " '" + w + "' (word " + std::to_string(words.count()) + ").";
      return false;
    }
    return true;
  };
  // Counts are bounded by what a description can hold in memory; the rows
  // grow as their words are read, so a short text never reserves much.
  const long long max_count = 1 << 20;
  if (!number("count of transitions", 0, max_count)) return false;
  d.N = static_cast<int>(v);
  if (!number("count of transitions", 0, max_count)) return false;
  d.M = static_cast<int>(v);
  auto matrix = [&](Matrix& mat, int rows, int cols, bool tokens) -> bool {
    mat.assign(rows, {});
    for (int i = 0; i < rows; ++i)
      for (int j = 0; j < cols; ++j) {
        if (!number(tokens ? "token count" : "count of places", 0, tokens ? NO_PLACE : INT_MAX))
          return false;
        mat[i].push_back(v);
      }
    return true;
  };
  if (!matrix(d.A, d.N, d.N, true) || !matrix(d.B, d.N, d.M, true) || !matrix(d.P, d.M, d.M, false) ||
      !matrix(d.Q, d.M, d.N, false))
    return false;
  for (int i = 0; i < d.M; ++i) {
    if (!number("token count", 0, INT_MAX - 1)) return false;
    d.R.push_back(v);
  }
  for (int i = 0; i < d.M; ++i) {
    if (!number("place number", INT_MIN, INT_MAX)) return false;
    d.bullet.push_back(v);
  }
  for (int i = 0; i < d.N + d.M; ++i) {
    if (!words.next(w)) {
      error = "the description ends where a transition name is expected.";
      return false;
    }
    d.Name.push_back(w);
  }
  for (int i = 0; i < d.N + d.M; ++i) {
    if (!number("transition number", INT_MIN, INT_MAX)) return false;
    d.TrId.push_back(static_cast<int>(v));
  }
  return true;
}

namespace {

// The verdicts when the T2 transitions marked in `finite` are known to fire
// only finitely often.
std::vector<int> Judge(const Description& d, const std::vector<char>& finite) {
  const int N = d.N, M = d.M;
  Matrix Astar = calculStar(d.A, N);
  Matrix Aplus = Otimes(d.A, Astar, N, N, N);
  std::vector<char> t2_dead(N, 0);
  for (int k = 0; k < N; ++k)
    if (Aplus[k][k] == 0) t2_dead[k] = 1;
  // Downstream of such a circuit a T2 transition fires only as often as the
  // tokens on the way allow: it neither chooses nor carries tokens round.
  std::vector<char> t2_doomed(N, 0);
  for (int k = 0; k < N; ++k)
    for (int l = 0; l < N && !t2_doomed[k]; ++l)
      if (t2_dead[l] && (l == k || Astar[k][l] != NO_PLACE)) t2_doomed[k] = 1;
  for (int k = 0; k < N; ++k)
    if (finite[k]) t2_doomed[k] = 1;

  // Paths from T1 j into T2 k through zero or more places between T2
  // transitions (the identity joined to the closure): a place from j
  // straight into k is a path of its own.
  Matrix C = Otimes(Astar, d.B, N, M, N);
  for (int k = 0; k < N; ++k)
    for (int j = 0; j < M; ++j) C[k][j] = std::min(C[k][j], d.B[k][j]);
  std::vector<std::vector<int>> reach(N);
  for (int k = 0; k < N; ++k)
    for (int j = 0; j < M; ++j)
      if (C[k][j] != NO_PLACE) reach[k].push_back(j);
  std::vector<std::vector<int>> fed_by_t2(N);  // k -> the T1 i with Q[i][k] != 0
  for (int i = 0; i < M; ++i)
    for (int k = 0; k < N; ++k)
      if (d.Q[i][k] != 0) fed_by_t2[k].push_back(i);
  // The choice of a T2 transition that feeds no T1 transition changes
  // neither the graph nor the tokens, and one on a token-free circuit never
  // fires: such choices are not enumerated, which divides the number of
  // combinations by their reach counts.
  std::vector<int> choosers;
  for (int k = 0; k < N; ++k)
    if (!reach[k].empty() && !fed_by_t2[k].empty() && !t2_doomed[k]) choosers.push_back(k);

  // A T2 transition that no T1 transition reaches makes no choice: the
  // tokens it puts into a T1 input place come from outside every
  // component, as those of a T1 transition of another component do
  // (unless it lies on a token-free circuit and never fires).
  std::vector<char> fed_from_outside(M, 0);
  for (int k = 0; k < N; ++k)
    if (reach[k].empty() && !t2_doomed[k])
      for (int i : fed_by_t2[k]) fed_from_outside[i] = 1;

  // Found dead in some combination (a member of a siphon that can be
  // emptied), and judged alive in some combination (a member of a marked
  // trap): the settling starts from these.
  std::vector<char> found_dead(M, 0), judged_alive(M, 0);

  // Per combination; Qs is kept up to date as one choice changes at a time.
  std::vector<int> choice(N, -1);
  std::vector<size_t> digit(choosers.size(), 0);
  Matrix Qs(M, std::vector<long long>(M, 0));
  for (int k : choosers) {
    choice[k] = reach[k][0];
    for (int i : fed_by_t2[k]) Qs[i][choice[k]] += d.Q[i][k];
  }
  std::vector<std::vector<int>> succ(M);
  std::vector<int> Belong(M), Order(M), Forget(M);
  std::vector<long long> Rs(M);
  std::vector<long long> comp_tokens;
  std::vector<char> source;
  int t1_left = M;  // T1 transitions not yet found dead: none left, no
                    // further combination can tell anything

  // The next tuple of choices, the last chooser turning fastest; false
  // after the last one.
  auto next_tuple = [&]() {
    for (size_t pos = choosers.size(); pos-- > 0;) {
      int k = choosers[pos];
      int old = choice[k];
      digit[pos] = (digit[pos] + 1) % reach[k].size();
      choice[k] = reach[k][digit[pos]];
      for (int i : fed_by_t2[k]) {
        Qs[i][old] -= d.Q[i][k];
        Qs[i][choice[k]] += d.Q[i][k];
      }
      if (digit[pos] != 0) return true;
    }
    return false;
  };

  while (t1_left > 0) {
    // Ps = P + Qs as successor lists, ascending.
    for (int j = 0; j < M; ++j) succ[j].clear();
    for (int j = 0; j < M; ++j)
      for (int i = 0; i < M; ++i)
        if (d.P[i][j] + Qs[i][j] != 0) succ[j].push_back(i);
    calcul_Comp(succ, Belong);

    // Only a component that nothing outside it feeds is a siphon of its
    // own: a transition fed from another component (through a place, or
    // through the T2 transition chosen here) is left to the settling.
    for (int i = 0; i < M; ++i) Order[i] = fed_from_outside[i] ? 2 : 1;
    for (int j = 0; j < M; ++j)
      for (int i : succ[j])
        if (Belong[j] != Belong[i]) Order[i] = 2;
    // The tokens of the path chosen for a T2 transition lie on the arcs from
    // the chosen T1 to the T1 transitions that T2 feeds: they count for the
    // receiving transition when both ends share its component.
    for (int i = 0; i < M; ++i) Rs[i] = d.R[i];
    for (int k : choosers) {
      int j = choice[k];
      for (int i : fed_by_t2[k])
        if (Belong[i] == Belong[j]) Rs[i] = std::min<long long>(Rs[i] + C[k][j], NO_PLACE - 1);
    }

    std::fill(Forget.begin(), Forget.end(), 0);
    auto column = [&](int j) {
      for (int i : succ[j])
        if (Order[i] == 1 && !Forget[i]) return true;
      return false;
    };
    auto selection = [&](int j) {
      for (int i = 0; i < M; ++i)
        if (Order[i] == 1 && d.bullet[i] == d.bullet[j]) Forget[i] = 1;
    };
    for (int j = 0; j < M; ++j)
      if (!column(j)) selection(j);
    for (int i = 0; i < M; ++i)
      if (Order[i] == 2) Forget[i] = 1;
    for (bool changed = true; changed;) {
      changed = false;
      for (int j = 0; j < M; ++j)
        if (Order[j] == 1 && !Forget[j] && !column(j)) {
          selection(j);
          Forget[j] = 1;
          changed = true;
        }
    }

    // A component nothing outside feeds is a siphon; what pruning leaves of
    // it is the largest trap inside. A trap without tokens: the siphon can
    // be emptied, and every member is dead. A marked trap: its members are
    // alive in this combination; the pruned members are left open.
    comp_tokens.assign(M, 0);
    source.assign(M, 1);
    for (int j = 0; j < M; ++j) {
      if (!Forget[j]) comp_tokens[Belong[j]] += Rs[j];
      if (Order[j] == 2) source[Belong[j]] = 0;
    }
    for (int i = 0; i < M; ++i) {
      if (Order[i] != 1 || !source[Belong[i]]) continue;
      if (comp_tokens[Belong[i]] == 0) {
        if (!found_dead[i]) found_dead[i] = 1, --t1_left;
      } else if (!Forget[i]) {
        judged_alive[i] = 1;
      }
    }

    // A component fed from outside is judged alive all the same when the
    // largest trap inside it (its own arcs only) holds tokens: more tokens
    // never make a free-choice net less live.
    std::fill(Forget.begin(), Forget.end(), 0);
    auto inner = [&](int j) {
      for (int i : succ[j])
        if (!Forget[i] && Belong[i] == Belong[j]) return true;
      return false;
    };
    for (bool changed = true; changed;) {
      changed = false;
      for (int j = 0; j < M; ++j)
        if (!Forget[j] && !inner(j)) {
          for (int i = 0; i < M; ++i)
            if (d.bullet[i] == d.bullet[j]) Forget[i] = 1;
          changed = true;
        }
    }
    comp_tokens.assign(M, 0);
    for (int j = 0; j < M; ++j)
      if (!Forget[j]) comp_tokens[Belong[j]] += Rs[j];
    for (int i = 0; i < M; ++i)
      if (!Forget[i] && comp_tokens[Belong[i]] != 0) judged_alive[i] = 1;

    if (!next_tuple()) break;
  }

  // Settling, from well-founded support only. A T1 transition is live when
  // one of its feeders is; the T2 transitions go by strongly connected
  // groups of places between them: a group on no token-free circuit is live
  // when every feeder from outside it is. The growth starts from the T1
  // transitions judged alive and never presumed dead, and never revives one
  // found dead. A start whose own feeders end dead is dropped and the
  // growth done again; the start only shrinks, so the rounds end.
  std::vector<int> comp2(N, -1);
  int groups = 0;
  {
    std::vector<std::vector<int>> succ2(N);
    for (int k = 0; k < N; ++k)
      for (int l = 0; l < N; ++l)
        if (d.A[k][l] != NO_PLACE) succ2[l].push_back(k);
    calcul_Comp(succ2, comp2);
    for (int c : comp2) groups = std::max(groups, c + 1);
  }
  std::vector<char> group_dead(groups, 0);
  std::vector<std::vector<int>> members(groups);
  for (int k = 0; k < N; ++k) {
    members[comp2[k]].push_back(k);
    if (t2_dead[k]) group_dead[comp2[k]] = 1;
  }

  std::vector<int> live(N + M, 0);
  std::vector<char> seed(M);
  for (int i = 0; i < M; ++i) seed[i] = judged_alive[i] && !found_dead[i];
  auto t1_fed = [&](int i) {
    for (int j = 0; j < M; ++j)
      if (d.P[i][j] != 0 && live[N + j]) return true;
    for (int k = 0; k < N; ++k)
      if (d.Q[i][k] != 0 && live[k]) return true;
    return false;
  };
  // Every feeder of k live (outside_only: those outside k's group).
  auto t2_fed = [&](int k, bool outside_only) {
    for (int j = 0; j < M; ++j)
      if (d.B[k][j] != NO_PLACE && !live[N + j]) return false;
    for (int l = 0; l < N; ++l)
      if (d.A[k][l] != NO_PLACE && !live[l] && !(outside_only && comp2[l] == comp2[k])) return false;
    return true;
  };
  for (;;) {
    std::fill(live.begin(), live.end(), 0);
    for (int i = 0; i < M; ++i) live[N + i] = seed[i];
    for (bool grew = true; grew;) {
      grew = false;
      for (int i = 0; i < M; ++i)
        if (!live[N + i] && !found_dead[i] && t1_fed(i)) live[N + i] = grew = true;
      for (int c = 0; c < groups; ++c) {
        if (group_dead[c] || live[members[c][0]]) continue;
        bool fed = true;
        for (int k : members[c]) fed = fed && t2_fed(k, true);
        if (fed) {
          for (int k : members[c]) live[k] = 1;
          grew = true;
        }
      }
    }
    for (bool shrank = true; shrank;) {
      shrank = false;
      for (int i = 0; i < M; ++i)
        if (live[N + i] && !t1_fed(i)) live[N + i] = 0, shrank = true;
      for (int k = 0; k < N; ++k)
        if (live[k] && !t2_fed(k, false)) live[k] = 0, shrank = true;
    }
    bool same = true;
    for (int i = 0; i < M; ++i)
      if (seed[i] && !live[N + i]) seed[i] = 0, same = false;
    if (same) break;
  }
  return live;
}

}  // namespace

// A T2 transition found not live fires only finitely often, so the tokens
// of the paths through it cannot keep a circuit going: the T1 transitions
// are judged again without its choices, until no further T2 falls.
std::vector<int> Liveness(const Description& d) {
  std::vector<char> finite(d.N, 0);
  for (;;) {
    std::vector<int> live = Judge(d, finite);
    bool more = false;
    for (int k = 0; k < d.N; ++k)
      if (!live[k] && !finite[k]) finite[k] = 1, more = true;
    if (!more) return live;
  }
}

}  // namespace orv::fc
