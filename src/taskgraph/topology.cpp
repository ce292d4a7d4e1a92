#include "taskgraph/topology.h"

#include <algorithm>
#include <string>

namespace orv::tg {

namespace {

void sort_unique(Adjacency& m) {
  for (auto& row : m) {
    std::sort(row.begin(), row.end());
    row.erase(std::unique(row.begin(), row.end()), row.end());
  }
}

void print_step(const Graph& g, int t, const char* after, FILE* out) {
  std::fprintf(out, "%s(%1d)%s", g.T[static_cast<size_t>(t)].Task_Name.c_str(), t, after);
}

// The tasks that sources-first layering leaves unplaced: those on a cycle
// or downstream of one.
std::vector<bool> unplaced(const Adjacency& data, int size) {
  const auto n = static_cast<size_t>(size);
  std::vector<int> indeg(n, 0);
  for (const auto& row : data)
    for (int j : row) ++indeg[static_cast<size_t>(j)];
  std::vector<int> ready;
  for (int i = 0; i < size; ++i)
    if (indeg[static_cast<size_t>(i)] == 0) ready.push_back(i);
  std::vector<bool> left(n, true);
  while (!ready.empty()) {
    int i = ready.back();
    ready.pop_back();
    left[static_cast<size_t>(i)] = false;
    for (int j : data[static_cast<size_t>(i)])
      if (--indeg[static_cast<size_t>(j)] == 0) ready.push_back(j);
  }
  return left;
}

}  // namespace

void dumpe_adj(const Adjacency& m, int size, FILE* out) {
  std::string row;
  for (int i = 0; i < size; ++i) {
    row.assign(static_cast<size_t>(size), '0');
    for (int j : m[static_cast<size_t>(i)]) row[static_cast<size_t>(j)] = '1';
    std::fprintf(out, "%s\n", row.c_str());
  }
}

// Kahn's method pass by pass: a pass takes every task whose DATA
// predecessors all lie in earlier passes, which is the layer the repeated
// scan of the remaining tasks gives, in linear time.
int find_layer_structure(Graph& g, const Adjacency& data, int size) {
  const auto n = static_cast<size_t>(size);
  g.Level.clear();
  std::vector<int> indeg(n, 0);
  for (const auto& row : data)
    for (int j : row) ++indeg[static_cast<size_t>(j)];
  std::vector<int> layer;
  for (int i = 0; i < size; ++i)
    if (indeg[static_cast<size_t>(i)] == 0) layer.push_back(i);
  int placed = 0;
  while (!layer.empty()) {
    placed += static_cast<int>(layer.size());
    std::vector<int> next;
    for (int i : layer)
      for (int j : data[static_cast<size_t>(i)])
        if (--indeg[static_cast<size_t>(j)] == 0) next.push_back(j);
    std::sort(next.begin(), next.end());
    LAYER_DESC l;
    l.Nb_Tasks = static_cast<int>(layer.size());
    l.Task_Id = std::move(layer);
    g.Level.push_back(std::move(l));
    layer = std::move(next);
  }
  if (placed < size || size == 0) return 0;
  return static_cast<int>(g.Level.size());
}

void find_prev_structure(Graph& g, const Adjacency& full, int size) {
  std::vector<std::vector<int>> prev(static_cast<size_t>(size));
  // Rows are walked in ascending order, so each set comes out ascending.
  for (int j = 0; j < size; ++j)
    for (int i : full[static_cast<size_t>(j)]) prev[static_cast<size_t>(i)].push_back(j);
  for (int i = 0; i < size; ++i) {
    auto p = std::make_unique<LAYER_DESC>();
    p->Task_Id = std::move(prev[static_cast<size_t>(i)]);
    p->Nb_Tasks = static_cast<int>(p->Task_Id.size());
    g.T[static_cast<size_t>(i)].Prev = std::move(p);
  }
}

void find_cycle(const Adjacency& data, int size, const Graph& g, FILE* out) {
  dumpe_adj(data, size, out);
  if (size <= 0) return;
  const auto n = static_cast<size_t>(size);
  // The walk from task 0 along the lowest-numbered successor other than the
  // task itself, when it reaches a task seen before.
  std::vector<int> walk;
  std::vector<bool> seen(n, false);
  int t = 0;
  bool closed = false;
  while (true) {
    walk.push_back(t);
    seen[static_cast<size_t>(t)] = true;
    int next = -1;
    for (int j : data[static_cast<size_t>(t)]) {
      if (j != t) {
        next = j;
        break;
      }
    }
    if (next < 0) break;
    if (seen[static_cast<size_t>(next)]) {
      walk.push_back(next);
      closed = true;
      break;
    }
    t = next;
  }
  if (!closed) {
    // It ran into a task without another successor (task 0 off the cycle,
    // or a self-loop). Every task the layering left has a predecessor it
    // left too, so going backwards inside that set always closes a cycle.
    std::vector<bool> left = unplaced(data, size);
    Adjacency pred(n);
    for (int i = 0; i < size; ++i)
      for (int j : data[static_cast<size_t>(i)])
        if (left[static_cast<size_t>(i)] && left[static_cast<size_t>(j)])
          pred[static_cast<size_t>(j)].push_back(i);
    int start = -1;
    for (int i = 0; i < size && start < 0; ++i)
      if (left[static_cast<size_t>(i)]) start = i;
    if (start < 0) return;  // no cycle to show
    std::vector<int> back;
    std::vector<int> pos(n, -1);
    int u = start;
    while (pos[static_cast<size_t>(u)] < 0) {
      pos[static_cast<size_t>(u)] = static_cast<int>(back.size());
      back.push_back(u);
      u = *std::min_element(pred[static_cast<size_t>(u)].begin(),
                            pred[static_cast<size_t>(u)].end());
    }
    // back[pos[u]] <- ... <- back.back() <- u: the cycle, read forwards.
    walk.clear();
    walk.push_back(u);
    for (size_t k = back.size() - 1; k > static_cast<size_t>(pos[static_cast<size_t>(u)]); --k)
      walk.push_back(back[k]);
    walk.push_back(u);
  }
  for (size_t k = 0; k + 1 < walk.size(); ++k) print_step(g, walk[k], " -> ", out);
  print_step(g, walk.back(), "\n", out);
}

int topological_analysis(Graph& g) {
  const int size = g.Size;
  const auto n = static_cast<size_t>(std::max(size, 0));
  Adjacency full(n), data(n);
  int max_depth = 0;
  for (size_t i = 0; i < n && i < g.T.size(); ++i) {
    for (const LinkPtr& l : g.T[i].Neighbors) {
      if (l->Task_To < 0 || l->Task_To >= size) continue;
      full[i].push_back(l->Task_To);
      if (l->Link_Type == DATA) data[i].push_back(l->Task_To);
      else max_depth = std::max(max_depth, l->Depth);
    }
  }
  sort_unique(full);
  sort_unique(data);
  g.Max_Dependency = max_depth;
  g.Nb_Layers = find_layer_structure(g, data, size);
  int result = 1;
  if (g.Nb_Layers == 0) {
    std::printf("Cyclic task graph!!\n");
    find_cycle(data, size, g);
    result = 0;
  }
  find_prev_structure(g, full, size);
  return result;
}

int Laws_Are_Drawable(const Graph& g) {
  int ok = 1;
  for (const TASK& t : g.T) {
    if (t.Task_Law) {
      const std::string why = Law_Parameter_Error(*t.Task_Law);
      if (!why.empty()) {
        std::fprintf(stderr, "LawPackage: error: task %s: law %c: %s.\n", t.Task_Name.c_str(),
                     t.Task_Law->Name, why.c_str());
        ok = 0;
      }
    }
    for (const LinkPtr& l : t.Neighbors) {
      if (!l || !l->Link_Law) continue;
      const std::string why = Law_Parameter_Error(*l->Link_Law);
      if (why.empty()) continue;
      std::fprintf(stderr, "LawPackage: error: link %s: law %c: %s.\n", l->Link_Name.c_str(),
                   l->Link_Law->Name, why.c_str());
      ok = 0;
    }
  }
  return ok;
}

}  // namespace orv::tg
