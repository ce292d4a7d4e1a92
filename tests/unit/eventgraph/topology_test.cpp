#include "eventgraph/topology.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "egl_test_util.h"
#include "eventgraph/egl_reader.h"

namespace {

using egl_test::capture;
using egl_test::graph;
using orv::SP_BOOL_MAT;
using Layers = std::vector<std::vector<int>>;

Layers layers_of(const orv::EventGraph& g) {
  Layers out;
  EXPECT_EQ(g.Nb_Layers, static_cast<int>(g.Level.size()));
  for (const auto& l : g.Level) {
    EXPECT_EQ(l.Nb_Nodes, static_cast<int>(l.Node_Id.size()));
    out.push_back(l.Node_Id);
  }
  return out;
}

SP_BOOL_MAT matrix(int n, const std::vector<std::pair<int, int>>& arcs) {
  SP_BOOL_MAT a(n);
  for (auto [from, to] : arcs) a.Add_Entry(from, to);
  return a;
}

struct Analysis {
  int live;
  std::string out;
};

Analysis analyse(orv::EventGraph& g) {
  Analysis a{};
  a.out = capture([&] { a.live = orv::eg::topological_analysis(g); }).out;
  return a;
}

TEST(Topology, TwoWayTokenFreeCycleIsNotLive) {
  auto g = graph("Size <- 2\n1 C 1.0 , 2 C 1.0 0 ;\n2 C 1.0 , 1 C 1.0 0 ;\n");
  ASSERT_TRUE(g);
  Analysis a = analyse(*g);
  EXPECT_EQ(a.live, 0);
  EXPECT_EQ(a.out, "Network not live!!\n1 -> 2 -> 1\n");
  EXPECT_EQ(g->Nb_Layers, 0);
  EXPECT_TRUE(g->Level.empty());
  // The input lists are there all the same.
  EXPECT_EQ(g->T[0]->Indegree, 1);
  ASSERT_EQ(g->T[0]->Inputs.size(), 1u);
  EXPECT_EQ(g->T[0]->Inputs[0]->Input_Id, 2);
}

TEST(Topology, TokenFreeSelfLoop) {
  auto g = graph("Size <- 3\n1 C 1.0 ;\n2 C 1.0 , 3 C 1.0 1 0.0 ;\n3 C 1.0 , 3 C 1.0 0 ;\n");
  ASSERT_TRUE(g);
  Analysis a = analyse(*g);
  EXPECT_EQ(a.live, 0);
  EXPECT_EQ(a.out, "Network not live!!\n3 -> 3\n");
}

TEST(Topology, LiveGraphs) {
  struct Case { const char* text; Layers layers; };
  const Case cases[] = {
      // every place marked: one layer in index order
      {"Size <- 3\n1 C 1.0 , 2 C 1.0 1 0.0 ;\n2 C 1.0 , 3 C 1.0 1 0.0 ;\n"
       "3 C 1.0 , 1 C 1.0 1 0.0 , 3 C 1.0 2 0.0 0.0 ;\n",
       {{0, 1, 2}}},
      // a token-free chain closed by a marked place
      {"Size <- 3\n1 C 1.0 , 2 C 1.0 0 ;\n2 C 1.0 , 3 C 1.0 0 ;\n3 C 1.0 , 1 C 1.0 1 0.0 ;\n",
       {{0}, {1}, {2}}},
      // a diamond beside an isolated transition, declared out of order
      {"Size <- 5\n5 C 1.0 ;\n4 C 1.0 , 1 C 1.0 1 0.0 ;\n3 C 1.0 , 4 C 1.0 0 ;\n"
       "2 C 1.0 , 4 C 1.0 0 ;\n1 C 1.0 , 3 C 1.0 0 , 2 C 1.0 0 ;\n",
       {{0, 4}, {1, 2}, {3}}},
      // a longer path to the same node sets its layer
      {"Size <- 3\n1 C 1.0 , 3 C 1.0 0 , 2 C 1.0 0 ;\n2 C 1.0 , 3 C 1.0 0 ;\n3 C 1.0 ;\n",
       {{0}, {1}, {2}}},
  };
  for (const Case& c : cases) {
    auto g = graph(c.text);
    ASSERT_TRUE(g);
    Analysis a = analyse(*g);
    EXPECT_EQ(a.live, 1) << c.text;
    EXPECT_EQ(a.out, "") << c.text;
    EXPECT_EQ(layers_of(*g), c.layers) << c.text;
  }
}

TEST(Topology, ParallelPlaces) {
  auto g = graph("Size <- 2\n1 C 1.0 , 2 C 1.0 0 , 2 E 1.0 0 ;\n2 C 1.0 , 1 C 1.0 1 0.0 ;\n");
  ASSERT_TRUE(g);
  SP_BOOL_MAT a = orv::eg::Make_Adjacency_Matrix(*g, 1);
  EXPECT_EQ(a.Elts[0], (std::vector<int>{1, 1}));
  EXPECT_EQ(a.Nb_Elts[0], 2);
  EXPECT_TRUE(a.Elts[1].empty());
  EXPECT_EQ(orv::Is_Adj(a, 0, 1), 1);
  SP_BOOL_MAT full = orv::eg::Make_Adjacency_Matrix(*g, 0);
  EXPECT_EQ(full.Elts[1], std::vector<int>{0});
  EXPECT_EQ(analyse(*g).live, 1);
  EXPECT_EQ(layers_of(*g), (Layers{{0}, {1}}));
  EXPECT_EQ(g->T[1]->Indegree, 2);
}

// Each Inputs list is built by prepending while transitions are walked in
// index order and Outputs in list order.
TEST(Topology, InputListOrder) {
  auto g = graph(
      "Size <- 3\n1 C 1.0 , 3 \"a\" C 1.0 1 0.0 , 3 \"b\" C 1.0 0 ;\n"
      "2 C 1.0 , 3 \"c\" C 1.0 0 ;\n3 C 1.0 ;\n");
  ASSERT_TRUE(g);
  orv::eg::Make_Inputs_List(*g);
  orv::eg::Make_Inputs_List(*g);  // a second run rebuilds, it does not add
  std::vector<std::string> names;
  for (const orv::PLACE_DESC* p : g->T[2]->Inputs) names.push_back(p->Name);
  EXPECT_EQ(names, (std::vector<std::string>{"c", "a", "b"}));
  EXPECT_EQ(g->T[2]->Indegree, 3);
  EXPECT_EQ(g->T[0]->Indegree, 0);
}

// One transition fed by thousands of places: lines written in shuffled
// order, some with several places into it, one line with parallel places.
// Its Inputs run over the upstream transitions from the highest number
// down, each line's places as written, and the dump prints them so.
TEST(Topology, InputListOrderOnALargeFanIn) {
  const int n = 3000;
  std::vector<int> order;
  for (int t = 2; t <= n; ++t) order.push_back(t);
  std::shuffle(order.begin(), order.end(), std::mt19937(5));
  std::string text = "Size <- " + std::to_string(n) + "\n1 C 1.0 , 2 C 1.0 1 0.0 ;\n";
  std::vector<std::vector<std::string>> placed(n + 1);
  for (int t : order) {
    text += std::to_string(t) + " C 1.0";
    for (int k = 0; k < 1 + t % 3 + (t == 1234 ? 500 : 0); ++k) {
      std::string name = "p";
      name.append(std::to_string(t)).append(".").append(std::to_string(k));
      text += " , 1 \"" + name + "\" C 0.5 1 0.0";
      placed[t].push_back(name);
    }
    if (t % 7 == 0) text.append(" , ").append(std::to_string(t % n + 1)).append(" C 0.0 1 0.0");
    text += " ;\n";
  }
  auto g = graph(text);
  ASSERT_TRUE(g);
  ASSERT_EQ(analyse(*g).live, 1);
  std::vector<std::string> want, got;
  std::string line = "Transitions input of 1: ";
  for (int t = n; t >= 2; --t) {
    for (const std::string& name : placed[t]) {
      want.push_back(name);
      line.append(" ").append(std::to_string(t));
    }
  }
  for (const orv::PLACE_DESC* p : g->T[0]->Inputs) got.push_back(p->Name);
  EXPECT_EQ(got, want);
  EXPECT_EQ(g->T[0]->Indegree, static_cast<int>(want.size()));
  const std::string dump = capture([&] { orv::eg::dumpe_network(*g); }).out;
  EXPECT_NE(dump.find(line + "\nTransitions input of 2: "), std::string::npos);
}

TEST(Topology, DebugShowsTheTokenFreeAdjacency) {
  auto g = graph("Size <- 2\n1 C 1.0 , 2 C 1.0 0 ;\n2 C 1.0 , 1 C 1.0 1 0.0 ;\n");
  ASSERT_TRUE(g);
  orv::eg::Debug = 1;
  Analysis a = analyse(*g);
  orv::eg::Debug = 0;
  EXPECT_EQ(a.out, "Adj0 ====\n01\n00\n");
}

TEST(FindCycle, Walks) {
  struct Case {
    const char* what;
    int n;
    std::vector<std::pair<int, int>> arcs;
    int skip;
    std::vector<int> cycle;
  };
  const Case cases[] = {
      {"the cycle starts where the walk closes", 3, {{0, 1}, {1, 2}, {2, 1}}, 0, {2, 1, 2}},
      {"dead ends are left", 4, {{0, 1}, {0, 3}, {1, 2}, {3, 0}}, 0, {2, 0, 3}},
      {"lowest successor first", 4, {{0, 3}, {0, 1}, {1, 0}, {3, 0}}, 0, {2, 0, 1}},
      {"a self-loop is a cycle", 2, {{0, 0}, {0, 1}, {1, 0}}, 0, {1, 0}},
      {"unless recycles are skipped", 2, {{0, 0}, {0, 1}, {1, 0}}, 1, {2, 0, 1}},
      {"only recycles", 3, {{0, 0}, {1, 1}, {2, 2}}, 1, {}},
      {"acyclic", 3, {{0, 1}, {1, 2}, {0, 2}}, 0, {}},
      {"later start", 4, {{0, 1}, {2, 3}, {3, 2}}, 0, {2, 2, 3}},
  };
  for (const Case& c : cases) {
    SP_BOOL_MAT a = matrix(c.n, c.arcs);
    std::vector<int> got;
    std::string out = capture([&] { got = orv::eg::Find_Cycle(a, c.n, c.skip); }).out;
    EXPECT_EQ(got, c.cycle) << c.what;
    EXPECT_EQ(out, c.cycle.empty() ? "Error: no cycle ?!?\n" : "") << c.what;
  }
}

TEST(FindCycle, Print) {
  EXPECT_EQ(capture([] { orv::eg::print_cycle({3, 2, 4, 0}); }).out, "3 -> 5 -> 1 -> 3\n");
  EXPECT_EQ(capture([] { orv::eg::print_cycle({1, 11}); }).out, "12 -> 12\n");
  EXPECT_EQ(capture([] { orv::eg::print_cycle({}); }).out, "");
}

// The layers and the cycle walk as first described, scanning every node
// each time; the library must agree with them on any graph.
std::vector<std::vector<int>> literal_layers(const SP_BOOL_MAT& a, int n) {
  std::vector<char> remaining(n, 1);
  int r = n;
  std::vector<std::vector<int>> layers;
  while (r > 0) {
    std::vector<int> layer;
    for (int j = 0; j < n; ++j) {
      if (!remaining[j]) continue;
      bool free = true;
      for (int l = 0; l < n && free; ++l)
        if (remaining[l] && orv::Is_Adj(a, l, j)) free = false;
      if (free) layer.push_back(j);
    }
    if (layer.empty()) return {};
    for (int j : layer) remaining[j] = 0;
    r -= static_cast<int>(layer.size());
    layers.push_back(layer);
  }
  return layers;
}

std::vector<int> literal_cycle(const SP_BOOL_MAT& a, int n, int skip) {
  std::vector<int> count(n, 0);
  for (int i = 0; i < n; ++i)
    for (int j : a.Elts[i]) {
      if (skip && j == i) continue;
      if (j < i && count[j] == 0) continue;
      ++count[i];
    }
  std::vector<char> alive(n), visited(n, 0);
  for (int i = 0; i < n; ++i) alive[i] = count[i] > 0;
  auto next_of = [&](int cur) {
    for (int k = 0; k < n; ++k)
      if (alive[k] && count[k] != 0 && orv::Is_Adj(a, cur, k) && !(skip && k == cur)) return k;
    return -1;
  };
  for (int s = 0; s < n; ++s) {
    std::vector<int> path{s};
    visited[s] = 1;
    int cur = s;
    while (true) {
      int next = next_of(cur);
      while (next < 0) {
        alive[cur] = 0;
        path.pop_back();
        if (path.empty()) break;
        cur = path.back();
        next = next_of(cur);
      }
      if (path.empty()) break;
      if (visited[next]) {
        auto at = std::find(path.begin(), path.end(), next);
        EXPECT_NE(at, path.end());
        std::vector<int> cycle(at, path.end());
        cycle.insert(cycle.begin(), static_cast<int>(cycle.size()));
        return cycle;
      }
      visited[next] = 1;
      path.push_back(next);
      cur = next;
    }
  }
  return {};
}

TEST(Topology, AgreesWithTheLiteralMethodsOnRandomGraphs) {
  std::mt19937 rng(12345);
  // Acyclic rounds print their "no cycle" line; one capture takes them all.
  testing::internal::CaptureStdout();
  for (int round = 0; round < 3000; ++round) {
    const int n = 1 + static_cast<int>(rng() % 9);
    const int arcs = static_cast<int>(rng() % (2 * n + 1));
    SP_BOOL_MAT a(n);
    for (int e = 0; e < arcs; ++e) a.Add_Entry(static_cast<int>(rng() % n), static_cast<int>(rng() % n));
    orv::EventGraph g;
    g.Size = n;
    orv::eg::Find_Layer_Structure(g, a, n);
    const auto want = literal_layers(a, n);
    EXPECT_EQ(layers_of(g), want) << "round " << round;
    for (int skip = 0; skip < 2; ++skip) {
      std::vector<int> got = orv::eg::Find_Cycle(a, n, skip);
      EXPECT_EQ(got, literal_cycle(a, n, skip)) << "round " << round << " skip " << skip;
      // A graph has a cycle exactly when it cannot be layered.
      if (!skip) {
        EXPECT_EQ(got.empty(), !want.empty()) << "round " << round;
      }
    }
  }
  std::fflush(stdout);
  testing::internal::GetCapturedStdout();
}

}  // namespace
