// orvillan's translation: the edges are covered by cliques (edges or
// triangles), each clique is a column, and each node a piece of height 1 in
// the columns of its cliques, so two nodes interact exactly when their
// pieces share a column.
#include "heap.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <unordered_set>
#include <vector>

namespace orv::mp {

namespace {

constexpr const char* PROG = "orvillan";

struct CLIQUE {
  int Cardinal = 0;
  std::vector<int> Member;
};

// The graph's arcs as undirected edges: {i, j} is an edge when either arc is
// there, so a directed graph keeps every interaction whichever way its arcs
// point. Rows are sorted; the set says which arcs are still present.
class Edges {
 public:
  explicit Edges(const SP_BOOL_MAT& A) : n_(A.Size), rows_(static_cast<std::size_t>(A.Size)) {
    for (int i = 0; i < n_; ++i)
      for (int k = 0; k < A.Nb_Elts[i]; ++k) {
        const int j = A.Elts[i][k];
        if (j == i) continue;
        add(i, j);
        add(j, i);
      }
    for (auto& row : rows_) {
      std::sort(row.begin(), row.end());
      row.erase(std::unique(row.begin(), row.end()), row.end());
    }
  }
  bool has(int from, int to) const { return present_.count(key(from, to)) != 0; }
  void remove(int from, int to) { present_.erase(key(from, to)); }
  // The neighbours of node i in increasing order, as first read.
  const std::vector<int>& row(int i) const { return rows_[static_cast<std::size_t>(i)]; }

 private:
  std::uint64_t key(int from, int to) const {
    return static_cast<std::uint64_t>(from) * static_cast<std::uint64_t>(n_) +
           static_cast<std::uint64_t>(to);
  }
  void add(int from, int to) {
    if (present_.insert(key(from, to)).second) rows_[static_cast<std::size_t>(from)].push_back(to);
  }
  int n_;
  std::vector<std::vector<int>> rows_;
  std::unordered_set<std::uint64_t> present_;
};

// Empty when no cover can be made.
std::vector<CLIQUE> Find_Clique_Cover(const SP_BOOL_MAT& A, int Max_Size, bool Optimize,
                                      bool Greedy) {
  std::vector<CLIQUE> cover;
  if (Optimize || (Max_Size != 2 && Max_Size != 3)) {
    std::printf("%s: error: cannot compute covering with cliques of size > 3.\n", PROG);
    return cover;
  }
  Edges E(A);
  const int n = A.Size;
  if (Max_Size == 2) {
    for (int from = 0; from < n; ++from)
      for (int to : E.row(from)) {
        if (to <= from) continue;
        if (Debug)
          std::printf("Cl #%d is edge (%d,%d)\n", static_cast<int>(cover.size()), from, to);
        cover.push_back({2, {from, to}});
      }
    return cover;
  }
  for (int from = 0; from < n; ++from) {
    const std::vector<int>& around = E.row(from);
    for (std::size_t a = 0; a < around.size(); ++a) {
      const int to = around[a];
      if (to <= from) continue;
      for (std::size_t b = a + 1; b < around.size(); ++b) {
        const int third = around[b];
        if (!E.has(from, to) || !E.has(from, third) || !E.has(to, third)) continue;
        if (Debug)
          std::printf("Cl #%d is triangle (%d,%d,%d)\n", static_cast<int>(cover.size()), from, to,
                      third);
        cover.push_back({3, {from, to, third}});
        E.remove(to, from);
        E.remove(third, from);
        E.remove(third, to);
        if (Greedy) {
          E.remove(from, to);
          E.remove(from, third);
          E.remove(to, third);
        }
      }
    }
  }
  for (int from = 0; from < n; ++from)
    for (int to : E.row(from)) {
      if (to >= from) break;
      if (!E.has(from, to)) continue;
      if (Debug) std::printf("Cl #%d is edge (%d,%d)\n", static_cast<int>(cover.size()), from, to);
      cover.push_back({2, {from, to}});
    }
  return cover;
}

}  // namespace

Tetris Interaction_To_Heap(const INTERACTION_GRAPH& G, int max_size, bool optimize, bool greedy) {
  std::vector<CLIQUE> cover = Find_Clique_Cover(G.A, max_size, optimize, greedy);
  if (cover.empty()) {
    std::fprintf(stderr, "%s: could not find clique cover. No translation.\n", PROG);
    return nullptr;
  }
  // A node in no clique gets a column of its own: a piece without columns
  // cannot be written in a text that reads back, and such a node interacts
  // with no other.
  std::vector<char> covered(static_cast<std::size_t>(G.Size), 0);
  for (const CLIQUE& c : cover)
    for (int v : c.Member) covered[static_cast<std::size_t>(v)] = 1;
  for (int v = 0; v < G.Size; ++v)
    if (!covered[static_cast<std::size_t>(v)]) {
      if (Debug) std::printf("Cl #%d is node (%d)\n", static_cast<int>(cover.size()), v);
      cover.push_back({1, {v}});
    }
  // A heap the reader would refuse is not written.
  const double cells = static_cast<double>(cover.size()) * G.Size;
  if (cells > static_cast<double>(Max_Heap_Cells)) {
    std::fprintf(stderr, "%s: error: a heap of %zu columns and %d pieces is too large.\n", PROG,
                 cover.size(), G.Size);
    return nullptr;
  }
  const int columns = static_cast<int>(cover.size());
  std::vector<Piece_Desc> pieces;
  for (int v = 0; v < G.Size; ++v) {
    pieces.push_back(New_Piece(columns));
    if (!pieces.back()) return nullptr;
    pieces.back()->Number = v;
  }
  for (int q = 0; q < columns; ++q)
    for (int v : cover[static_cast<std::size_t>(q)].Member) {
      pieces[static_cast<std::size_t>(v)]->LoProf[static_cast<std::size_t>(q)] = 0;
      pieces[static_cast<std::size_t>(v)]->HiProf[static_cast<std::size_t>(q)] = 1;
    }
  Tetris T = New_Tetris(columns, G.Size, &pieces);
  if (T) Set_Colors(*T);
  return T;
}

}  // namespace orv::mp
