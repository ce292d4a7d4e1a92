// voltag's chain: the shapes of the heap's top seen from column 0, explored
// up to a given number of states, and the bounds drawn from it.
#include "chain.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include <unistd.h>

#include "markov/markov.h"
#include "maxplus/tetris.h"

namespace orv::voltag {

namespace mc = orv::mc;
namespace mp = orv::mp;

namespace {

constexpr int kMaxIterations = 1000;

using Config = std::vector<int>;

// Rewards add two heights: they are kept wider than the heights.
struct TRUNCATION {
  int Origin;
  double Proba;
  long long Reward;
};

// The columns that no piece occupies always stand at one height above
// column 0, so a state keeps one entry for all of them and one for each
// occupied column: its size follows what the model uses, not the number
// of columns it declares. Entries are in the order of the first column
// each stands for, so the first largest entry is at the first largest
// column.
struct LAYOUT {
  int Nb_Columns = 0;
  int Width = 0;           // entries per state
  std::vector<int> First;  // first column (from 1) of each entry
  int Shared = -1;         // the entry of the free columns; -1: none
  std::vector<int> Entry_Of_Occupied;  // entry of each occupied column, by column order
  std::vector<int> Occupied;           // occupied columns from 1, increasing
};

// A piece as the successors need it: its occupied columns in order, each
// with the entry it moves (-1 for column 0).
struct CELL {
  int Entry;
  int Lo;
  int Hi;
};
struct PIECE {
  std::vector<CELL> Cells;
  bool On_Column_0 = false;
  int Hi_0 = 0;
};

// The columns each piece occupies, in increasing order: one pass over the
// profiles, which span every column of the model.
std::vector<std::vector<int>> Occupied_Columns(const mp::TETRIS& T) {
  std::vector<std::vector<int>> cols(static_cast<std::size_t>(T.Nb_Pieces));
  for (int p = 0; p < T.Nb_Pieces; ++p) {
    const std::vector<int>& hi = T.Piece[static_cast<std::size_t>(p)]->HiProf;
    for (int k = 0; k < T.Nb_Columns; ++k)
      if (hi[static_cast<std::size_t>(k)] != -1) cols[static_cast<std::size_t>(p)].push_back(k);
  }
  return cols;
}

LAYOUT Make_Layout(const mp::TETRIS& T, const std::vector<std::vector<int>>& cols) {
  LAYOUT L;
  L.Nb_Columns = T.Nb_Columns;
  for (const std::vector<int>& c : cols)
    for (int k : c)
      if (k > 0) L.Occupied.push_back(k);
  std::sort(L.Occupied.begin(), L.Occupied.end());
  L.Occupied.erase(std::unique(L.Occupied.begin(), L.Occupied.end()), L.Occupied.end());
  // The first free column: the first gap in 1, 2, ...
  int free = 1;
  while (static_cast<std::size_t>(free - 1) < L.Occupied.size() &&
         L.Occupied[static_cast<std::size_t>(free - 1)] == free)
    ++free;
  const bool any_free = free < T.Nb_Columns;
  for (int k : L.Occupied) {
    if (any_free && L.Shared < 0 && free < k) {
      L.Shared = L.Width++;
      L.First.push_back(free);
    }
    L.Entry_Of_Occupied.push_back(L.Width++);
    L.First.push_back(k);
  }
  if (any_free && L.Shared < 0) {
    L.Shared = L.Width++;
    L.First.push_back(free);
  }
  return L;
}

std::vector<PIECE> Make_Pieces(const mp::TETRIS& T, const LAYOUT& L,
                               const std::vector<std::vector<int>>& cols) {
  auto entry = [&](int k) {
    if (k == 0) return -1;
    const auto j = std::lower_bound(L.Occupied.begin(), L.Occupied.end(), k) - L.Occupied.begin();
    return L.Entry_Of_Occupied[static_cast<std::size_t>(j)];
  };
  std::vector<PIECE> out(static_cast<std::size_t>(T.Nb_Pieces));
  for (int p = 0; p < T.Nb_Pieces; ++p) {
    const mp::PIECE_DESC& P = *T.Piece[static_cast<std::size_t>(p)];
    PIECE& Q = out[static_cast<std::size_t>(p)];
    for (int k : cols[static_cast<std::size_t>(p)]) {
      const auto c = static_cast<std::size_t>(k);
      Q.Cells.push_back({entry(k), P.LoProf[c], P.HiProf[c]});
      if (k == 0) {
        Q.On_Column_0 = true;
        Q.Hi_0 = P.HiProf[c];
      }
    }
  }
  return out;
}

void Write_Config(const int* c, const LAYOUT& L, FILE* out) {
  std::fprintf(out, "( ");
  std::size_t j = 0;
  for (int k = 1; k < L.Nb_Columns; ++k) {
    int v;
    if (j < L.Occupied.size() && L.Occupied[j] == k)
      v = c[L.Entry_Of_Occupied[j++]];
    else
      v = c[L.Shared];
    std::fprintf(out, " %d ", v);
  }
  std::fprintf(out, " )");
}

// The box of a state: the column (from 0 in the configuration) of its
// first largest height; 0 when all are equal.
int Hash(const int* c, const LAYOUT& L) {
  if (L.Width == 0) return 0;
  int best = 0;
  for (int e = 1; e < L.Width; ++e)
    if (c[e] > c[best]) best = e;
  return L.First[static_cast<std::size_t>(best)] - 1;
}

std::uint64_t Code(const int* c, int width) {
  std::uint64_t h = 0x9e3779b97f4a7c15ULL;
  for (int e = 0; e < width; ++e) {
    h ^= static_cast<std::uint32_t>(c[e]);
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 32;
  }
  return h;
}

// No room left for a state: the machine's memory, or the chain's.
struct Out_Of_Room {};

// The states, numbered from 1 in order of discovery, in one arena of
// configurations, found through an open-addressing table of their codes.
struct HASH_TABLE {
  int Max_Nb_Items = 0;
  int Nb_Items = 0;
  int Width = 0;
  std::vector<int> Arena;            // Nb_Items configurations of Width entries
  std::vector<std::uint64_t> Codes;  // of each state, from 0
  std::vector<int> Slot;             // state number, 0: empty; size a power of 2
  std::size_t Bytes_Per_State = 0;   // what a state costs here and in the chain
  std::size_t Memory_Limit = 0;

  const int* Of(int state) const {
    return Arena.data() + static_cast<std::size_t>(state - 1) * static_cast<std::size_t>(Width);
  }
  void Reslot(std::size_t size) {
    Slot.assign(size, 0);
    const std::size_t mask = size - 1;
    for (int s = 1; s <= Nb_Items; ++s) {
      std::size_t i = Codes[static_cast<std::size_t>(s - 1)] & mask;
      while (Slot[i] != 0) i = (i + 1) & mask;
      Slot[i] = s;
    }
  }
};

void Debug_State(const char* what, int n, const int* c, const LAYOUT& L) {
  std::printf("%s%d", what, n);
  Write_Config(c, L, stdout);
  std::printf("\n");
}

// The state of the configuration, made when there is room; 0 when the
// table is full. found tells whether it existed.
int Lookup_State(const int* c, HASH_TABLE& t, const LAYOUT& L, bool& found) {
  const std::uint64_t code = Code(c, t.Width);
  const std::size_t mask = t.Slot.size() - 1;
  std::size_t i = code & mask;
  for (; t.Slot[i] != 0; i = (i + 1) & mask) {
    const int s = t.Slot[i];
    if (t.Codes[static_cast<std::size_t>(s - 1)] == code && std::equal(c, c + t.Width, t.Of(s))) {
      found = true;
      if (mc::Debug) Debug_State("  State exists: ", s, c, L);
      return s;
    }
  }
  found = false;
  if (t.Nb_Items >= t.Max_Nb_Items) return 0;
  if (static_cast<double>(t.Nb_Items + 1) * static_cast<double>(t.Bytes_Per_State) >
      static_cast<double>(t.Memory_Limit))
    throw Out_Of_Room{};
  const int n = ++t.Nb_Items;
  t.Arena.insert(t.Arena.end(), c, c + t.Width);
  t.Codes.push_back(code);
  t.Slot[i] = n;
  // Kept at most half full, so a miss ends soon.
  if (2 * static_cast<std::size_t>(n) > t.Slot.size()) t.Reslot(2 * t.Slot.size());
  if (mc::Debug) Debug_State("  New State: ", n, t.Of(n), L);
  return n;
}

// The successors of a configuration in model order, Width entries each in
// out, with their rewards. -4 (reported) for a piece on no column, -2
// (reported) when a shape leaves the range of the heights.
int Next(const int* conf, const std::vector<PIECE>& pieces, const LAYOUT& L,
         std::vector<int>& out, std::vector<long long>& rewards) {
  const int w = L.Width;
  out.resize(pieces.size() * static_cast<std::size_t>(w));
  rewards.resize(pieces.size());
  for (std::size_t p = 0; p < pieces.size(); ++p) {
    const PIECE& P = pieces[p];
    if (P.Cells.empty()) {
      std::fprintf(stderr, "%s: error: empty piece encountered (#%d). Exit.\n", kProg,
                   static_cast<int>(p));
      return -4;
    }
    auto h = [&](int e) -> long long { return e < 0 ? 0 : conf[e]; };
    long long a = h(P.Cells[0].Entry) - P.Cells[0].Lo;
    for (const CELL& c : P.Cells) a = std::max(a, h(c.Entry) - c.Lo);
    const long long b = P.On_Column_0 ? a + P.Hi_0 : 0;
    int* next = out.data() + p * static_cast<std::size_t>(w);
    bool range = true;
    auto put = [&](int e, long long v) {
      if (v < INT_MIN || v > INT_MAX) range = false;
      next[e] = static_cast<int>(v);
    };
    for (int e = 0; e < w; ++e) put(e, conf[e] - b);
    for (const CELL& c : P.Cells)
      if (c.Entry >= 0) put(c.Entry, a + c.Hi - b);
    if (!range) {
      std::fprintf(stderr, "%s: error: the heights of the heap exceed the integer range.\n",
                   kProg);
      return -2;
    }
    rewards[p] = b;
    if (mc::Debug) {
      std::printf("Next config: ");
      Write_Config(next, L, stdout);
      std::printf("\n");
    }
  }
  return 0;
}

void Add_Row(mc::MARKOV_CHAIN& C, std::size_t entries) {
  for (mc::SP_REAL_MATRIX* M : {&C.Generator, &C.Reward}) {
    M->Elts.emplace_back().reserve(entries);
    M->Vals.emplace_back().reserve(entries);
    ++M->Size;
  }
  C.State_Space_Size = C.Generator.Size;
}

void Add_Markov_Transition(mc::MARKOV_CHAIN& C, int from, int to, double p, long long r) {
  if (!mc::Set_Sparse_Matrix_Entry(C.Generator, from - 1, to - 1, p) ||
      !mc::Set_Sparse_Matrix_Entry(C.Reward, from - 1, to - 1, static_cast<double>(r)))
    throw Out_Of_Room{};
  if (mc::Debug) std::printf("%d -> %d wp %8.6f +%lld\n", from, to, p, r);
}

// -4 for an empty piece, -2 for heights out of range, else 0. Throws
// Out_Of_Room (or std::bad_alloc) when the states do not fit.
int Explore(const mp::TETRIS& T, mc::MARKOV_CHAIN& C, std::vector<TRUNCATION>& cuts,
            bool progress, bool stats, HASH_TABLE& t, int nmax) {
  const std::vector<std::vector<int>> cols = Occupied_Columns(T);
  const LAYOUT L = Make_Layout(T, cols);
  const std::vector<PIECE> pieces = Make_Pieces(T, L, cols);
  t.Max_Nb_Items = nmax;
  t.Width = L.Width;
  t.Bytes_Per_State = static_cast<std::size_t>(L.Width) * sizeof(int) + 3 * sizeof(int) +
                      sizeof(std::uint64_t) +
                      2 * (2 * sizeof(std::vector<int>) +
                           pieces.size() * (sizeof(int) + sizeof(double)));
  const long pages = sysconf(_SC_PHYS_PAGES), page = sysconf(_SC_PAGESIZE);
  t.Memory_Limit = pages > 0 && page > 0
                       ? static_cast<std::size_t>(pages) * static_cast<std::size_t>(page)
                       : SIZE_MAX;
  t.Reslot(16);
  C = mc::MARKOV_CHAIN{};
  C.Time_Type = mc::DISCRETE_TIME;
  bool found;
  const Config zero(static_cast<std::size_t>(L.Width), 0);
  Lookup_State(zero.data(), t, L, found);
  Add_Row(C, pieces.size());
  int count = 1;
  std::vector<int> succ;
  std::vector<long long> rewards;
  // Breadth first: states are expanded in the order of their numbers.
  for (int O = 1; O <= t.Nb_Items; ++O) {
    if (int st = Next(t.Of(O), pieces, L, succ, rewards); st != 0) return st;
    // The successors are taken last piece first.
    for (std::size_t p = pieces.size(); p-- > 0;) {
      const int* d = succ.data() + p * static_cast<std::size_t>(L.Width);
      long long reward = rewards[p];
      const double proba = T.Weight[p];
      int D = Lookup_State(d, t, L, found);
      if (D != 0 && !found) {
        Add_Row(C, pieces.size());
        ++count;
        if (progress && count % 100 == 0) {
          std::fprintf(stderr, "%d states explored (%4.2f%%). ", count,
                       100.0 * count / t.Max_Nb_Items);
          std::fprintf(stderr, "Number left to examine: %d.\n", t.Nb_Items - O);
          std::fflush(stderr);
        }
      } else if (D == 0) {
        const int M = L.Width == 0 ? 0 : *std::max_element(d, d + L.Width);
        const int m = L.Width == 0 ? 0 : *std::min_element(d, d + L.Width);
        D = 1;
        if (M >= 0) reward += M;
        cuts.push_back({O, proba, std::min<long long>(m, 0) - std::max<long long>(M, 0)});
      }
      Add_Markov_Transition(C, O, D, proba, reward);
    }
  }
  if (stats) {
    std::vector<int> box(static_cast<std::size_t>(std::max(T.Nb_Columns - 1, 1)), 0);
    for (int s = 1; s <= t.Nb_Items; ++s) ++box[static_cast<std::size_t>(Hash(t.Of(s), L))];
    std::printf("States explored: %d\n", count);
    std::printf("Transitions truncated: %d\n", static_cast<int>(cuts.size()));
    std::printf("Hash table statistics:\n");
    std::printf("Number of items = %d\n", t.Nb_Items);
    std::printf("Number of boxes = %d\n", static_cast<int>(box.size()));
    std::printf("Contents: \n");
    for (std::size_t b = 0; b < box.size(); ++b) {
      std::printf("[%3d] %3d ", static_cast<int>(b), box[b]);
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

int no_room(int states) {
  std::fprintf(stderr, "%s: error: not enough memory for more than %d states; use a smaller -nmax.\n",
               kProg, states);
  return -1;
}

}  // namespace

int Run(const Options& o, orv::Output_Guard& out) {
  mp::Tetris T = mp::Read_Tetris(o.in_name);
  if (!T) return -2;
  if (!o.out_name.empty() && !out.redirect_stdout(o.out_name, false)) {
    std::fprintf(stderr, "%s: could not open file %s\n", kProg, o.out_name.c_str());
    out.report_open_failure(o.out_name);
    return -1;
  }
  if (mc::Debug) mp::Write_Tetris(*T, stdout);
  double total = 0.0;
  for (double w : T->Weight) total += w;
  if (!std::isfinite(total)) {
    std::fprintf(stderr, "%s: error: the weights of the pieces sum beyond the largest real.\n",
                 kProg);
    return -2;
  }
  if (!mp::Normalize_Weights(*T)) {
    std::fprintf(stderr, "%s: error: the weights of the pieces do not sum to a positive number.\n",
                 kProg);
    return -2;
  }
  if (o.progress) {
    std::fprintf(stderr, "Allocating Markov Chain.\n");
    std::fflush(stderr);
    std::fprintf(stderr, "Exploring Markov Chain.\n");
    std::fflush(stderr);
  }
  mc::MARKOV_CHAIN C;
  std::vector<TRUNCATION> cuts;
  HASH_TABLE table;
  try {
    if (int st = Explore(*T, C, cuts, o.progress, o.stats, table, o.nmax); st != 0)
      return st;
  } catch (const Out_Of_Room&) {
    return no_room(table.Nb_Items);
  } catch (const std::bad_alloc&) {
    return no_room(table.Nb_Items);
  }
  if (o.dump) {
    mc::Write_Markov_Chain(stdout, C);
    return 0;
  }
  if (mc::Debug) {
    std::printf("Generator:\n");
    mc::Write_Matrix(stdout, C.Generator, false);
    std::printf("Rewards:\n");
    mc::Write_Matrix(stdout, C.Reward, false);
  }
  if (o.progress) {
    std::fprintf(stderr, "Computing Bounds.\n");
    std::fflush(stderr);
  }
  Compute_Simple_Lower_Bound(*T);
  Compute_Markov_Bounds(C, cuts, o.progress);
  return 0;
}

}  // namespace orv::voltag
