#include "eventgraph/topology.h"

#include <algorithm>
#include <string>

#include "eventgraph/egl_reader.h"

namespace orv::eg {

namespace {

size_t idx(int i) { return static_cast<size_t>(i); }

}  // namespace

SP_BOOL_MAT Make_Adjacency_Matrix(const EventGraph& Reseau, int ZeroWeight) {
  SP_BOOL_MAT A(Reseau.Size);
  for (int i = 0; i < Reseau.Size && idx(i) < Reseau.T.size(); ++i) {
    const TRANS_DESC* t = Reseau.T[idx(i)].get();
    if (t == nullptr) continue;
    for (const PLACE_DESC* p : t->Outputs) {
      if (ZeroWeight != 0 && p->Init_Pop != 0) continue;
      if (p->Trans_Id < 1 || p->Trans_Id > Reseau.Size) continue;
      A.Add_Entry(i, p->Trans_Id - 1);
    }
  }
  return A;
}

// Layer k holds every node whose token-free predecessors all lie in layers
// before k, in increasing order. Counting the remaining in-degree gives the
// same layers as rescanning the remaining set each pass, in O(n + e).
void Find_Layer_Structure(EventGraph& Reseau, const SP_BOOL_MAT& Adj, int The_Size) {
  const int n = std::max(The_Size, 0);
  const int rows = std::min(n, Adj.Size);
  Reseau.Level.clear();
  Reseau.Nb_Layers = 0;
  std::vector<int> indeg(idx(n), 0);
  for (int l = 0; l < rows; ++l)
    for (int j : Adj.Elts[idx(l)])
      if (j >= 0 && j < n) ++indeg[idx(j)];

  std::vector<int> current;
  for (int j = 0; j < n; ++j)
    if (indeg[idx(j)] == 0) current.push_back(j);
  int remaining = n;
  while (remaining > 0) {
    if (current.empty()) {
      // What is left holds a token-free cycle.
      Reseau.Level.clear();
      Reseau.Nb_Layers = 0;
      return;
    }
    std::vector<int> next;
    for (int l : current) {
      if (l >= rows) continue;
      for (int j : Adj.Elts[idx(l)])
        if (j >= 0 && j < n && --indeg[idx(j)] == 0) next.push_back(j);
    }
    remaining -= static_cast<int>(current.size());
    LAYER_DESC layer;
    layer.Nb_Nodes = static_cast<int>(current.size());
    layer.Node_Id = std::move(current);
    Reseau.Level.push_back(std::move(layer));
    std::sort(next.begin(), next.end());
    current = std::move(next);
  }
  Reseau.Nb_Layers = static_cast<int>(Reseau.Level.size());
}

// Each place goes in front of its downstream transition's Inputs: with the
// in-degrees counted first, every list is sized once and filled from its
// back.
void Make_Inputs_List(EventGraph& Reseau) {
  auto downstream = [&](const PLACE_DESC* p) -> TRANS_DESC* {
    if (p->Trans_Id < 1 || idx(p->Trans_Id) > Reseau.T.size()) return nullptr;
    return Reseau.T[idx(p->Trans_Id - 1)].get();
  };
  for (auto& t : Reseau.T) {
    if (!t) continue;
    t->Indegree = 0;
    t->Inputs.clear();
  }
  for (auto& t : Reseau.T) {
    if (!t) continue;
    for (const PLACE_DESC* p : t->Outputs)
      if (TRANS_DESC* down = downstream(p)) ++down->Indegree;
  }
  for (auto& t : Reseau.T)
    if (t) t->Inputs.resize(idx(t->Indegree));
  std::vector<int> left(Reseau.T.size(), 0);
  for (size_t k = 0; k < Reseau.T.size(); ++k)
    if (Reseau.T[k]) left[k] = Reseau.T[k]->Indegree;
  for (auto& t : Reseau.T) {
    if (!t) continue;
    for (PLACE_DESC* p : t->Outputs)
      if (TRANS_DESC* down = downstream(p)) down->Inputs[idx(--left[idx(p->Trans_Id - 1)])] = p;
  }
}

// Depth-first walk that always takes the lowest-numbered successor not yet
// known to lead nowhere; the first node met again closes the cycle. Sorted
// successor rows with a cursor per node keep it linear up to the sort.
std::vector<int> Find_Cycle(const SP_BOOL_MAT& A, int The_Size, int Skip_Recycles) {
  const int n = std::max(std::min(The_Size, A.Size), 0);
  std::vector<int> count(idx(n), 0);
  std::vector<std::vector<int>> succ(idx(n));
  for (int i = 0; i < n; ++i) {
    for (int j : A.Elts[idx(i)]) {
      if (j < 0 || j >= n) continue;
      if (Skip_Recycles != 0 && j == i) continue;
      if (j < i && count[idx(j)] == 0) continue;
      ++count[idx(i)];
      succ[idx(i)].push_back(j);
    }
    auto& s = succ[idx(i)];
    std::sort(s.begin(), s.end());
    s.erase(std::unique(s.begin(), s.end()), s.end());
  }
  std::vector<char> dead(idx(n), 0), visited(idx(n), 0);
  for (int i = 0; i < n; ++i) dead[idx(i)] = count[idx(i)] == 0;
  std::vector<size_t> cursor(idx(n), 0);
  std::vector<int> path_pos(idx(n), -1);
  std::vector<int> path;

  for (int s = 0; s < n; ++s) {
    if (dead[idx(s)]) continue;
    visited[idx(s)] = 1;
    path_pos[idx(s)] = 0;
    path.assign(1, s);
    while (!path.empty()) {
      const int cur = path.back();
      const auto& row = succ[idx(cur)];
      size_t& c = cursor[idx(cur)];
      while (c < row.size() && dead[idx(row[c])]) ++c;
      if (c == row.size()) {
        dead[idx(cur)] = 1;
        path.pop_back();
        continue;
      }
      const int next = row[c];
      if (visited[idx(next)]) {
        // Visited nodes that are still alive are exactly those on the path.
        std::vector<int> cycle(path.begin() + path_pos[idx(next)], path.end());
        cycle.insert(cycle.begin(), static_cast<int>(cycle.size()));
        return cycle;
      }
      visited[idx(next)] = 1;
      path_pos[idx(next)] = static_cast<int>(path.size());
      path.push_back(next);
    }
  }
  std::printf("Error: no cycle ?!?\n");
  return {};
}

void print_cycle(const std::vector<int>& Cycle, FILE* out) {
  if (Cycle.empty() || Cycle[0] < 1 || idx(Cycle[0]) >= Cycle.size()) return;
  for (int i = 1; i <= Cycle[0]; ++i) std::fprintf(out, "%1d -> ", Cycle[idx(i)] + 1);
  std::fprintf(out, "%1d\n", Cycle[1] + 1);
}

int topological_analysis(EventGraph& Reseau) {
  SP_BOOL_MAT A = Make_Adjacency_Matrix(Reseau, 1);
  if (Debug) {
    std::printf("Adj0 ====\n");
    dumpe_adj(A, Reseau.Size);
  }
  Find_Layer_Structure(Reseau, A, Reseau.Size);
  Make_Inputs_List(Reseau);
  if (Reseau.Nb_Layers != 0) return 1;
  std::printf("Network not live!!\n");
  print_cycle(Find_Cycle(A, Reseau.Size, 0));
  return 0;
}

int Laws_Are_Drawable(const EventGraph& Reseau) {
  int ok = 1;
  for (const auto& t : Reseau.T) {
    if (!t || !t->Trans_Law) continue;
    const std::string why = Law_Parameter_Error(*t->Trans_Law);
    if (why.empty()) continue;
    std::fprintf(stderr, "LawPackage: error: transition %d: law %c: %s.\n", t->Trans_Id,
                 t->Trans_Law->Name, why.c_str());
    ok = 0;
  }
  for (const auto& p : Reseau.P) {
    if (!p || !p->Place_Law) continue;
    const std::string why = Law_Parameter_Error(*p->Place_Law);
    if (why.empty()) continue;
    std::fprintf(stderr, "LawPackage: error: place %d->%d: law %c: %s.\n", p->Input_Id, p->Trans_Id,
                 p->Place_Law->Name, why.c_str());
    ok = 0;
  }
  return ok;
}

}  // namespace orv::eg
