// voltag: bounds on the growth rate of a random heap of pieces, from the
// Markov chain of the shapes of the heap's top seen from column 0, cut at a
// given number of states; or that chain, dumped as Markov-chain text.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "common/args.h"
#include "common/output_guard.h"
#include "markov/markov.h"
#include "maxplus/tetris.h"

namespace mc = orv::mc;
namespace mp = orv::mp;

namespace {

const char* const kProg = "voltag";
constexpr int kMaxIterations = 1000;

using Config = std::vector<int>;

// Rewards add two heights: they are kept wider than the heights.
struct TRANSITION {
  Config Destination;
  double Proba;
  long long Reward;
};

struct TRUNCATION {
  int Origin;
  double Proba;
  long long Reward;
};

// The states found so far, numbered from 1, with the box each belongs to.
// The boxes only keep the counts the statistics show; lookup is by map.
struct HASH_TABLE {
  int Max_Nb_Items = 0;
  int Nb_Items = 0;
  std::vector<int> Box;  // states per box
  std::map<Config, int> Index;
  std::vector<const Config*> Of;  // configuration of each state, from 0
};

void Write_Config(const Config& c, FILE* out) {
  std::fprintf(out, "( ");
  for (int v : c) std::fprintf(out, " %d ", v);
  std::fprintf(out, " )");
}

// Index of the first largest entry; 0 when all are equal (or none).
int Hash(const Config& c) {
  int best = 0;
  for (std::size_t k = 1; k < c.size(); ++k)
    if (c[k] > c[best]) best = static_cast<int>(k);
  return best;
}

// The state of the configuration, made when there is room; 0 when the
// table is full. found tells whether it existed.
int Lookup_State(const Config& c, HASH_TABLE& t, bool& found) {
  auto it = t.Index.find(c);
  if (it != t.Index.end()) {
    found = true;
    if (mc::Debug) {
      std::printf("  State exists: %d", it->second);
      Write_Config(c, stdout);
      std::printf("\n");
    }
    return it->second;
  }
  found = false;
  if (t.Nb_Items >= t.Max_Nb_Items) return 0;
  const int n = ++t.Nb_Items;
  auto ins = t.Index.emplace(c, n).first;
  t.Of.push_back(&ins->first);
  ++t.Box[Hash(c)];
  if (mc::Debug) {
    std::printf("  New State: %d", n);
    Write_Config(c, stdout);
    std::printf("\n");
  }
  return n;
}

// Successors in model order. -4 (reported) for a piece on no column, -2
// (reported) when a shape leaves the range of the heights.
int Next(const Config& conf, const mp::TETRIS& T, std::vector<TRANSITION>& out) {
  out.clear();
  const int n = T.Nb_Columns;
  auto h = [&](int k) -> long long { return k == 0 ? 0 : conf[k - 1]; };
  for (int p = 0; p < T.Nb_Pieces; ++p) {
    const mp::PIECE_DESC& P = *T.Piece[p];
    int first = -1;
    for (int k = 0; k < n && first < 0; ++k)
      if (P.HiProf[k] != -1) first = k;
    if (first < 0) {
      std::fprintf(stderr, "%s: error: empty piece encountered (#%d). Exit.\n", kProg, p);
      return -4;
    }
    long long a = h(first) - P.LoProf[first];
    for (int k = first + 1; k < n; ++k)
      if (P.HiProf[k] != -1) a = std::max(a, h(k) - P.LoProf[k]);
    const long long b = P.HiProf[0] != -1 ? a + P.HiProf[0] : 0;
    Config next(n - 1);
    for (int k = 1; k < n; ++k) {
      const long long v = (P.LoProf[k] != -1 ? a + P.HiProf[k] : h(k)) - b;
      if (v < INT_MIN || v > INT_MAX) {
        std::fprintf(stderr, "%s: error: the heights of the heap exceed the integer range.\n",
                     kProg);
        return -2;
      }
      next[k - 1] = static_cast<int>(v);
    }
    if (mc::Debug) {
      std::printf("Next config: ");
      Write_Config(next, stdout);
      std::printf("\n");
    }
    out.push_back({std::move(next), T.Weight[p], b});
  }
  return 0;
}

void Add_Markov_Transition(mc::MARKOV_CHAIN& C, int from, int to, double p, long long r) {
  mc::Set_Sparse_Matrix_Entry(C.Generator, from - 1, to - 1, p);
  mc::Set_Sparse_Matrix_Entry(C.Reward, from - 1, to - 1, static_cast<double>(r));
  if (mc::Debug) std::printf("%d -> %d wp %8.6f +%lld\n", from, to, p, r);
}

// -4 for an empty piece, -2 for heights out of range, else 0.
int Explore(const mp::TETRIS& T, mc::MARKOV_CHAIN& C, std::vector<TRUNCATION>& cuts,
            bool progress, bool stats, HASH_TABLE& t) {
  t.Max_Nb_Items = C.State_Space_Size;
  // One box per place the first maximum can take; a one-column heap has an
  // empty configuration, kept in a box of its own.
  t.Box.assign(std::max(T.Nb_Columns - 1, 1), 0);
  bool found;
  Lookup_State(Config(std::max(T.Nb_Columns - 1, 0), 0), t, found);
  std::vector<int> queue = {1};
  std::size_t head = 0;
  int count = 1;
  std::vector<TRANSITION> succ;
  while (head < queue.size()) {
    const int O = queue[head++];
    const Config conf = *t.Of[O - 1];
    if (int st = Next(conf, T, succ); st != 0) return st;
    // The successor list is built last piece first.
    for (auto it = succ.rbegin(); it != succ.rend(); ++it) {
      long long reward = it->Reward;
      int D = Lookup_State(it->Destination, t, found);
      if (D != 0 && !found) {
        queue.push_back(D);
        ++count;
        if (progress && count % 100 == 0) {
          std::fprintf(stderr, "%d states explored (%4.2f%%). ", count,
                       100.0 * count / t.Max_Nb_Items);
          std::fprintf(stderr, "Number left to examine: %d.\n",
                       static_cast<int>(queue.size() - head));
          std::fflush(stderr);
        }
      } else if (D == 0) {
        const Config& d = it->Destination;
        const int M = d.empty() ? 0 : *std::max_element(d.begin(), d.end());
        const int m = d.empty() ? 0 : *std::min_element(d.begin(), d.end());
        D = 1;
        if (M >= 0) reward += M;
        cuts.push_back({O, it->Proba, std::min<long long>(m, 0) - std::max<long long>(M, 0)});
      }
      Add_Markov_Transition(C, O, D, it->Proba, reward);
    }
  }
  if (stats) {
    std::printf("States explored: %d\n", count);
    std::printf("Transitions truncated: %d\n", static_cast<int>(cuts.size()));
    std::printf("Hash table statistics:\n");
    std::printf("Number of items = %d\n", t.Nb_Items);
    std::printf("Number of boxes = %d\n", static_cast<int>(t.Box.size()));
    std::printf("Contents: \n");
    for (std::size_t b = 0; b < t.Box.size(); ++b) {
      std::printf("[%3d] %3d ", static_cast<int>(b), t.Box[b]);
      if ((b + 1) % 7 == 0) std::printf("\n");
    }
    std::printf("\n");
  }
  return 0;
}

void Compute_Simple_Lower_Bound(const mp::TETRIS& T) {
  double total = 0.0;
  for (double w : T.Weight) total += w;
  double best = 0.0;
  for (int k = 0; k < T.Nb_Columns; ++k) {
    double L = 0.0;
    for (int p = 0; p < T.Nb_Pieces; ++p) {
      const mp::PIECE_DESC& P = *T.Piece[p];
      if (P.HiProf[k] != -1) L += (P.HiProf[k] - P.LoProf[k]) * T.Weight[p] / total;
    }
    best = std::max(best, L);
  }
  std::printf("Gamma >= %8.4f\n", best);
}

double Expected_Reward(const std::vector<double>& pi, const mc::MARKOV_CHAIN& C) {
  double g = 0.0;
  for (int i = 0; i < C.Generator.Size; ++i) {
    const std::vector<double>& p = C.Generator.Vals[i];
    const std::vector<double>& r = C.Reward.Vals[i];
    for (std::size_t e = 0; e < p.size(); ++e) g += pi[i] * p[e] * r[e];
  }
  return g;
}

double distance(const std::vector<double>& a, const std::vector<double>& b) {
  double d = 0.0;
  for (std::size_t i = 0; i < a.size(); ++i) d += std::fabs(a[i] - b[i]);
  return d;
}

void Compute_Markov_Bounds(const mc::MARKOV_CHAIN& C, const std::vector<TRUNCATION>& cuts,
                           bool progress) {
  const int n = C.Generator.Size;
  std::vector<double> pi(n, 0.0), next;
  pi[0] = 1.0;
  double prev = 0.0, gamma = 0.0;
  bool settled = false;
  for (int k = 0; k < kMaxIterations; ++k) {
    mc::VM_Mult(pi, C.Generator, next);
    if (mc::Debug) {
      std::printf("# Pi(%d) = ", k);
      for (double v : next) std::printf("%8.6f ", v);
      std::printf("\n");
    }
    gamma = Expected_Reward(pi, C);
    if (progress) {
      std::fprintf(stderr, "Iteration #%3d: gamma = %8.4f   distance %10e\n", k, gamma,
                   std::fabs(gamma - prev));
      std::fflush(stderr);
    }
    // Equal gammas alone can come from a distribution still on its way
    // (the truncated states not reached yet): the distribution must settle.
    if (k >= 10 && std::fabs(gamma - prev) < 1e-7 && distance(pi, next) < 1e-7) {
      settled = true;
      break;
    }
    pi.swap(next);
    prev = gamma;
  }
  if (!settled) {
    std::fprintf(stderr, "Warning: Maximum number of iterations found.");
    std::fprintf(stderr, "Distribution may not be correct.\n");
    // A periodic chain never settles and its last iterate depends on the
    // parity of the limit; the chain (I + P) / 2 has the same stationary
    // distribution and no period.
    for (int k = 0; k < kMaxIterations; ++k) {
      mc::VM_Mult(pi, C.Generator, next);
      for (int i = 0; i < n; ++i) next[i] = (next[i] + pi[i]) / 2;
      const bool done = distance(pi, next) < 1e-12;
      pi.swap(next);
      if (done) break;
    }
    gamma = Expected_Reward(pi, C);
  }
  std::printf("Gamma <= %8.4f\n", gamma);
  double low = Expected_Reward(pi, C);
  for (auto it = cuts.rbegin(); it != cuts.rend(); ++it)
    low += pi[it->Origin - 1] * it->Proba * it->Reward;
  std::printf("Gamma >= %8.4f\n", low);
}

// The chain keeps only the states reached, so its dump names no state
// without transitions.
void Shrink(mc::MARKOV_CHAIN& C, int n) {
  C.State_Space_Size = n;
  for (mc::SP_REAL_MATRIX* M : {&C.Generator, &C.Reward}) {
    M->Size = n;
    M->Elts.resize(n);
    M->Vals.resize(n);
  }
}

void usage() {
  std::printf("usage: %s [-f inputfile] [-o outputfile] [-nmax int]", kProg);
  std::printf("\n\t[-stats] [-dump] [-debug] [-h] [-help] [-?]\n");
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(kProg);
  std::string in_name, out_name;
  int nmax = 200;
  bool progress = false, stats = false, dump = false, done = false;
  orv::Args a(argc, argv, kProg, stdout);
  while (a.next()) {
    if (a.is("-f")) {
      a.take_string(in_name);
    } else if (a.is("-o")) {
      a.take_string(out_name);
    } else if (a.is("-nmax")) {
      a.take_int(nmax);
    } else if (a.is("-progress")) {
      progress = true;
    } else if (a.is("-stats")) {
      stats = true;
    } else if (a.is("-dump")) {
      dump = true;
    } else if (a.is("-debug")) {
      mc::Debug = true;
    } else if (a.is("-v")) {
      a.print_version();
      done = true;
      a.stop();
    } else if (a.is("-h") || a.is("-?") || a.is("-help")) {
      usage();
      done = true;
      a.stop();
    }
  }
  if (a.failed()) return out.finish(-1);
  if (done) return out.finish(0);
  if (nmax < 1) {
    std::printf("%s: integer expected after %s\n", kProg, "-nmax");
    return out.finish(-1);
  }

  mp::Tetris T = mp::Read_Tetris(in_name);
  if (!T) return out.finish(-2);
  if (!out_name.empty() && !out.redirect_stdout(out_name, false)) {
    std::fprintf(stderr, "%s: could not open file %s\n", kProg, out_name.c_str());
    return out.finish(-1);
  }
  if (mc::Debug) mp::Write_Tetris(*T, stdout);
  if (!mp::Normalize_Weights(*T)) {
    std::fprintf(stderr, "%s: error: the weights of the pieces do not sum to a positive number.\n",
                 kProg);
    return out.finish(-2);
  }
  if (progress) {
    std::fprintf(stderr, "Allocating Markov Chain.\n");
    std::fflush(stderr);
  }
  mc::MARKOV_CHAIN C;
  if (!mc::New_Markov_Chain(C, nmax, mc::DISCRETE_TIME)) {
    std::fprintf(stderr, "%s: error: could not allocate memory for %d states.\n", kProg, nmax);
    return out.finish(-1);
  }
  if (progress) {
    std::fprintf(stderr, "Exploring Markov Chain.\n");
    std::fflush(stderr);
  }
  std::vector<TRUNCATION> cuts;
  HASH_TABLE table;
  if (int st = Explore(*T, C, cuts, progress, stats, table); st != 0) return out.finish(st);
  Shrink(C, table.Nb_Items);
  if (dump) {
    mc::Write_Markov_Chain(stdout, C);
    return out.finish(0);
  }
  if (mc::Debug) {
    std::printf("Generator:\n");
    mc::Write_Matrix(stdout, C.Generator, false);
    std::printf("Rewards:\n");
    mc::Write_Matrix(stdout, C.Reward, false);
  }
  if (progress) {
    std::fprintf(stderr, "Computing Bounds.\n");
    std::fflush(stderr);
  }
  Compute_Simple_Lower_Bound(*T);
  Compute_Markov_Bounds(C, cuts, progress);
  return out.finish(0);
}
