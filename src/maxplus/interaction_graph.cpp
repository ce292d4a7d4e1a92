#include "maxplus/interaction_graph.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>

#include "maxplus/text_words.h"

namespace orv::mp {

namespace {

constexpr const char* BOOL_TAG = "BoolMat";
constexpr const char* GRAPH_TAG = "I_Graph";

void no_space() { std::fprintf(stderr, "%s: memory error. Not enough space.\n", GRAPH_TAG); }

}  // namespace

Bool_Mat New_Boolean_Matrix(int Size) {
  if (Size < 0) return nullptr;
  try {
    return std::make_unique<SP_BOOL_MAT>(Size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  } catch (const std::length_error&) {
    return nullptr;
  }
}

void Free_Boolean_Matrix(Bool_Mat& A) { A.reset(); }

void Set_Adj(SP_BOOL_MAT& A, int From, int To, int Val) {
  if (From < 0 || From >= A.Size) return;
  auto& row = A.Elts[static_cast<std::size_t>(From)];
  auto& count = A.Nb_Elts[static_cast<std::size_t>(From)];
  const auto end = row.begin() + count;
  const auto at = std::find(row.begin(), end, To);
  if (at != end) {
    if (Val == 0) {
      row.erase(at);
      --count;
    }
    return;
  }
  if (Val == 0) return;
  try {
    row.push_back(To);
    ++count;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "%s: warning: failed to add element to matrix.\n", BOOL_TAG);
  }
}

int Max_Degree(const SP_BOOL_MAT& A) {
  int most = 0;
  for (int n : A.Nb_Elts) most = std::max(most, n);
  return most;
}

double Avg_Degree(const SP_BOOL_MAT& A) {
  if (A.Size <= 0) return 0.0;
  double sum = 0;
  for (int n : A.Nb_Elts) sum += n;
  return sum / A.Size;
}

void Write_Boolean_Matrix(const SP_BOOL_MAT& A, FILE* Output) { dumpe_adj(A, A.Size, Output); }

Interaction_Graph New_Interaction_Graph(int Size) {
  if (Size < 0) {
    no_space();
    return nullptr;
  }
  try {
    auto G = std::make_unique<INTERACTION_GRAPH>();
    const auto n = static_cast<std::size_t>(Size);
    G->Size = Size;
    G->A = SP_BOOL_MAT(Size);
    G->Weight.assign(n, 0.0);
    G->Proba.assign(n, 0.0);
    G->Pr_Cum.assign(n, 0.0);
    G->Permut.assign(n, 0);
    return G;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  no_space();
  return nullptr;
}

void Free_Interaction_Graph(Interaction_Graph& G) { G.reset(); }

int Is_Uniform(const INTERACTION_GRAPH& G) {
  for (double w : G.Weight)
    if (w != G.Weight[0]) return 0;
  return 1;
}

namespace {

// Words of the graph text straight from the stream's buffer: the arcs of a
// large graph are millions of words, each read as read_word and word_int
// would, without a string or a conversion call per word.
class Word_Reader {
 public:
  explicit Word_Reader(FILE* in) : in_(in) {}

  // The next word is a decimal integer within int (an optional sign, then
  // digits); false, the word consumed, otherwise or at the end.
  bool read_int(int& value) {
    int c = skip_space();
    if (c == EOF) return false;
    bool negative = false;
    if (c == '+' || c == '-') {
      negative = c == '-';
      c = getc_unlocked(in_);
    }
    bool digits = false;
    bool good = true;
    long long v = 0;
    while (c != EOF && !std::isspace(c)) {
      if (c < '0' || c > '9') {
        good = false;
      } else if (good) {
        digits = true;
        v = v * 10 + (c - '0');
        if (v > static_cast<long long>(INT_MAX) + 1) good = false;
      }
      c = getc_unlocked(in_);
    }
    if (c != EOF) std::ungetc(c, in_);
    if (!good || !digits) return false;
    if (negative) v = -v;
    if (v > INT_MAX || v < INT_MIN) return false;
    value = static_cast<int>(v);
    return true;
  }

 private:
  int skip_space() {
    int c = getc_unlocked(in_);
    while (c != EOF && std::isspace(c)) c = getc_unlocked(in_);
    return c;
  }
  FILE* in_;
};

// The arcs read, in text order, as rows of the graph: each arc once, where
// it first appeared. Linear in nodes and arcs.
void store_arcs(SP_BOOL_MAT& A, const std::vector<int>& from, const std::vector<int>& to) {
  const auto n = static_cast<std::size_t>(A.Size);
  std::vector<std::size_t> start(n + 1, 0);
  for (int i : from) ++start[static_cast<std::size_t>(i) + 1];
  for (std::size_t i = 0; i < n; ++i) start[i + 1] += start[i];
  std::vector<int> by_row(to.size());
  {
    std::vector<std::size_t> at(start.begin(), start.end() - 1);
    for (std::size_t e = 0; e < from.size(); ++e) by_row[at[static_cast<std::size_t>(from[e])]++] = to[e];
  }
  std::vector<int> seen(n, -1);
  for (std::size_t i = 0; i < n; ++i) {
    auto& row = A.Elts[i];
    std::size_t kept = 0;
    for (std::size_t e = start[i]; e < start[i + 1]; ++e) {
      const int j = by_row[e];
      if (seen[static_cast<std::size_t>(j)] == static_cast<int>(i)) continue;
      seen[static_cast<std::size_t>(j)] = static_cast<int>(i);
      by_row[start[i] + kept++] = j;
    }
    row.assign(by_row.begin() + static_cast<std::ptrdiff_t>(start[i]),
               by_row.begin() + static_cast<std::ptrdiff_t>(start[i] + kept));
    A.Nb_Elts[i] = static_cast<int>(kept);
  }
}

}  // namespace

Interaction_Graph Read_Interaction_Graph(FILE* Input) {
  std::string word;
  if (!text::read_word(Input, word)) return nullptr;
  const bool sparse = word == "sp";
  if (sparse && !text::read_word(Input, word)) return nullptr;
  int n = 0;
  if (!text::word_int(word, n)) return nullptr;
  if (n < 1) {
    std::fprintf(stdout, "%s: error: illegal number of nodes (%d).\n", GRAPH_TAG, n);
    return nullptr;
  }
  // Weights first: a short text is refused before the graph is reserved.
  std::vector<double> weight;
  for (int i = 0; i < n; ++i) {
    double w = 0;
    if (!text::read_real(Input, w)) return nullptr;
    weight.push_back(w);
  }
  Interaction_Graph G = New_Interaction_Graph(n);
  if (!G) return nullptr;
  G->Weight = std::move(weight);
  if (!Compute_Probabilities(G->Weight, G->Proba, G->Pr_Cum, GRAPH_TAG, "node")) return nullptr;

  Word_Reader in(Input);
  try {
    if (sparse) {
      std::vector<int> from, to;
      for (;;) {
        int i = 0;
        int j = 0;
        if (!in.read_int(i) || !in.read_int(j)) break;
        if (i < 0 || i >= n) {
          std::fprintf(stdout, "Error: out of range i value found (%d). Abort.\n", i);
          return nullptr;
        }
        if (j < 0 || j >= n) {
          std::fprintf(stdout, "Error: out of range j value found (%d). Abort.\n", j);
          return nullptr;
        }
        from.push_back(i);
        to.push_back(j);
        if (Debug) std::fprintf(stdout, "recording arc %d->%d\n", i, j);
      }
      store_arcs(G->A, from, to);
    } else {
      for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
          int entry = 0;
          if (!in.read_int(entry)) {
            std::fprintf(stdout, "%s: error: missing or bad entry (%d,%d).\n", GRAPH_TAG, i, j);
            return nullptr;
          }
          if (entry == 1) G->A.Add_Entry(i, j);
        }
      }
    }
  } catch (const std::bad_alloc&) {
    no_space();
    return nullptr;
  } catch (const std::length_error&) {
    no_space();
    return nullptr;
  }
  return G;
}

Bernoulli_Product IG_To_BP(const INTERACTION_GRAPH& G) {
  Bernoulli_Product P = New_Bernoulli_Product(0, G.Size);
  if (!P) return nullptr;
  try {
    // The matrices stay the successor lists (see FIRING_ARCS): the row
    // order of each list is kept, out-of-range columns are dropped.
    P->Nb_Matrices = G.Size;
    P->Weight = G.Weight;
    P->Proba = G.Proba;
    P->Pr_Cum = G.Pr_Cum;
    P->Permut.assign(static_cast<std::size_t>(G.Size), 0);
    FIRING_ARCS& F = P->Firing;
    std::size_t arcs = 0;
    for (int i = 0; i < G.Size; ++i) arcs += static_cast<std::size_t>(G.A.Nb_Elts[static_cast<std::size_t>(i)]);
    F.Start.reserve(static_cast<std::size_t>(G.Size) + 1);
    F.Succ.reserve(arcs);
    F.Start.push_back(0);
    for (int i = 0; i < G.Size; ++i) {
      const auto k = static_cast<std::size_t>(i);
      const auto& row = G.A.Elts[k];
      for (int e = 0; e < G.A.Nb_Elts[k]; ++e) {
        const int j = row[static_cast<std::size_t>(e)];
        if (j >= 0 && j < G.Size) F.Succ.push_back(j);
      }
      F.Start.push_back(static_cast<int>(F.Succ.size()));
    }
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "%s: memory error. Not enough space.\n", "Bernoulli");
    return nullptr;
  } catch (const std::length_error&) {
    std::fprintf(stderr, "%s: memory error. Not enough space.\n", "Bernoulli");
    return nullptr;
  }
  return P;
}

}  // namespace orv::mp
