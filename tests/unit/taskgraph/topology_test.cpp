#include "taskgraph/topology.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tg_test_util.h"

namespace {

using tg_test::capture;
using tg_test::graph;

struct Edge {
  int from, to;
  bool data;
  int depth;
};

// Tasks t0..t(n-1) declared first, so numbers are the indexes.
std::string text_of(int n, const std::vector<Edge>& edges) {
  std::ostringstream s;
  for (int i = 0; i < n; ++i) s << "TASK t" << i << " DURATION CST(1.0) END\n";
  int k = 0;
  for (const Edge& e : edges) {
    s << "LINK l" << k++ << " TYPE " << (e.data ? "DATA" : "PROGRAM") << " IS NECESSARY FROM t"
      << e.from << " TO t" << e.to;
    if (e.data) s << " DURATION CST(1.0) END\n";
    else s << " DEPTH " << e.depth << " END\n";
  }
  return s.str();
}

// The layering exactly as the method states it: passes over n x n matrices,
// each deciding on the tasks remaining at its start.
std::vector<std::vector<int>> literal_layers(int n, const std::vector<Edge>& edges, bool& cyclic) {
  std::vector<std::vector<int>> adj(n, std::vector<int>(n, 0));
  for (const Edge& e : edges)
    if (e.data) adj[e.from][e.to] = 1;
  std::vector<int> remaining(n, 1);
  int left = n;
  std::vector<std::vector<int>> layers;
  cyclic = false;
  while (left > 0) {
    std::vector<int> layer;
    for (int j = 0; j < n; ++j) {
      if (!remaining[j]) continue;
      bool free = true;
      for (int i = 0; i < n; ++i)
        if (remaining[i] && adj[i][j]) free = false;
      if (free) layer.push_back(j);
    }
    if (layer.empty()) {
      cyclic = true;
      break;
    }
    for (int j : layer) remaining[j] = 0;
    left -= static_cast<int>(layer.size());
    layers.push_back(layer);
  }
  return layers;
}

// The printed walk "a(0) -> b(1) -> ... -> x(k)\n" as task numbers.
std::vector<int> walk_numbers(const std::string& line) {
  std::vector<int> nums;
  size_t pos = 0;
  while ((pos = line.find('(', pos)) != std::string::npos) {
    nums.push_back(std::stoi(line.substr(pos + 1)));
    ++pos;
  }
  return nums;
}

TEST(TgTopology, RandomGraphsAgainstTheLiteralMethod) {
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    const int n = 1 + static_cast<int>(rng() % 12);
    const int m = static_cast<int>(rng() % (2 * n + 1));
    const bool dag = round % 2 == 0;
    std::vector<Edge> edges;
    for (int k = 0; k < m; ++k) {
      int a = static_cast<int>(rng() % n), b = static_cast<int>(rng() % n);
      const bool data = rng() % 4 != 0;
      if (dag && data && a >= b) {
        if (a == b) continue;
        std::swap(a, b);
      }
      edges.push_back({a, b, data, static_cast<int>(rng() % 5)});
    }
    const std::string text = text_of(n, edges);
    auto g = graph(text);
    ASSERT_TRUE(g);
    int result = -1;
    auto run = capture([&] { result = orv::tg::topological_analysis(*g); });

    bool cyclic = false;
    auto layers = literal_layers(n, edges, cyclic);
    EXPECT_EQ(result, cyclic ? 0 : 1) << text;
    EXPECT_EQ(g->Nb_Layers, cyclic ? 0 : static_cast<int>(layers.size())) << text;
    if (!cyclic) {
      EXPECT_EQ(run.out, "") << text;
      for (size_t l = 0; l < layers.size(); ++l) {
        EXPECT_EQ(g->Level[l].Task_Id, layers[l]) << text;
        EXPECT_EQ(g->Level[l].Nb_Tasks, static_cast<int>(layers[l].size()));
      }
    }

    int max_depth = 0;
    std::vector<std::vector<int>> prev(n, std::vector<int>(n, 0));
    for (const Edge& e : edges) {
      prev[e.to][e.from] = 1;
      if (!e.data) max_depth = std::max(max_depth, e.depth);
    }
    EXPECT_EQ(g->Max_Dependency, max_depth) << text;
    for (int t = 0; t < n; ++t) {
      std::vector<int> want;
      for (int j = 0; j < n; ++j)
        if (prev[t][j]) want.push_back(j);
      ASSERT_TRUE(g->T[t].Prev);
      EXPECT_EQ(g->T[t].Prev->Task_Id, want) << text;
      EXPECT_EQ(g->T[t].Prev->Nb_Tasks, static_cast<int>(want.size()));
    }

    if (cyclic) {
      // Banner, n matrix rows, one walk line whose steps are DATA links and
      // whose last task appeared before.
      std::istringstream lines(run.out);
      std::string line;
      std::getline(lines, line);
      EXPECT_EQ(line, "Cyclic task graph!!");
      std::vector<std::vector<int>> adj(n, std::vector<int>(n, 0));
      for (const Edge& e : edges)
        if (e.data) adj[e.from][e.to] = 1;
      for (int i = 0; i < n; ++i) {
        std::getline(lines, line);
        std::string row;
        for (int j = 0; j < n; ++j) row += adj[i][j] ? '1' : '0';
        EXPECT_EQ(line, row) << text;
      }
      ASSERT_TRUE(std::getline(lines, line)) << text;
      std::vector<int> walk = walk_numbers(line);
      ASSERT_GE(walk.size(), 2u) << text;
      for (size_t k = 0; k + 1 < walk.size(); ++k)
        EXPECT_TRUE(adj[walk[k]][walk[k + 1]]) << text << line;
      const int last = walk.back();
      EXPECT_NE(std::find(walk.begin(), walk.end() - 1, last), walk.end() - 1) << line;
      EXPECT_FALSE(std::getline(lines, line));
    }
  }
}

// The cycle report in the cases the walk from task 0 settles, and in those
// where it runs into a dead end.
TEST(TgTopology, CycleReports) {
  struct Case {
    int n;
    std::vector<Edge> edges;
    std::string out;
  } cases[] = {
      // Opposite DATA links: from t0 to t1 and back.
      {2, {{0, 1, true, 0}, {1, 0, true, 0}},
       "Cyclic task graph!!\n01\n10\nt0(0) -> t1(1) -> t0(0)\n"},
      // The walk goes in from t0 and stops at the first task met twice.
      {4, {{0, 1, true, 0}, {1, 2, true, 0}, {2, 3, true, 0}, {3, 1, true, 0}},
       "Cyclic task graph!!\n0100\n0010\n0001\n0100\nt0(0) -> t1(1) -> t2(2) -> t3(3) -> t1(1)\n"},
      // The lowest-numbered successor is followed.
      {3, {{0, 2, true, 0}, {0, 1, true, 0}, {1, 0, true, 0}, {2, 0, true, 0}},
       "Cyclic task graph!!\n011\n100\n100\nt0(0) -> t1(1) -> t0(0)\n"},
      // A self-loop.
      {2, {{1, 1, true, 0}, {0, 1, true, 0}},
       "Cyclic task graph!!\n01\n01\nt1(1) -> t1(1)\n"},
      // t0 lies off the cycle, on a branch that ends.
      {4, {{0, 1, true, 0}, {2, 3, true, 0}, {3, 2, true, 0}},
       "Cyclic task graph!!\n0100\n0000\n0001\n0010\nt2(2) -> t3(3) -> t2(2)\n"},
      // t0 has a self-loop and an exit to a sink: the self-loop is the cycle.
      {2, {{0, 0, true, 0}, {0, 1, true, 0}},
       "Cyclic task graph!!\n11\n00\nt0(0) -> t0(0)\n"},
      // Program links do not count.
      {2, {{0, 1, true, 0}, {1, 0, false, 1}, {1, 1, true, 0}},
       "Cyclic task graph!!\n01\n01\nt1(1) -> t1(1)\n"},
  };
  for (const Case& c : cases) {
    auto g = graph(text_of(c.n, c.edges));
    ASSERT_TRUE(g);
    int result = -1;
    auto run = capture([&] { result = orv::tg::topological_analysis(*g); });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(run.out, c.out) << text_of(c.n, c.edges);
    EXPECT_EQ(g->Nb_Layers, 0);
  }
}

// Program links only: one layer of all tasks, and their sources as
// predecessors (one entry per pair even with both kinds of link).
TEST(TgTopology, ProgramLinksDoNotMakeLayers) {
  auto g = graph(text_of(3, {{2, 0, false, 4}, {1, 0, false, 7}, {2, 0, true, 0}}));
  ASSERT_TRUE(g);
  EXPECT_EQ(orv::tg::topological_analysis(*g), 1);
  EXPECT_EQ(g->Max_Dependency, 7);
  ASSERT_EQ(g->Nb_Layers, 2);
  EXPECT_EQ(g->Level[0].Task_Id, (std::vector<int>{1, 2}));
  EXPECT_EQ(g->Level[1].Task_Id, (std::vector<int>{0}));
  EXPECT_EQ(g->T[0].Prev->Task_Id, (std::vector<int>{1, 2}));
  EXPECT_EQ(g->T[1].Prev->Nb_Tasks, 0);
}

TEST(TgTopology, DumpOfTheAdjacency) {
  orv::tg::Adjacency m = {{1, 2}, {}, {0}};
  auto run = capture([&] { orv::tg::dumpe_adj(m, 3); });
  EXPECT_EQ(run.out, "011\n000\n100\n");
}


// The table cell by cell as the dump defines it (the first link of each
// kind from i to j in i's list), the levels and the predecessor lists, on
// a graph with one task linked to every other, every task linked to one,
// parallel links of both kinds with different laws, and depths of one and
// of several digits in rows next to rows without any.
TEST(TgTopology, DumpOfAWideGraphAgainstTheLiteralTable) {
  const int n = 180;
  const char* laws[] = {"CST(1.0)", "EXP(1.0)", "UNIF(1, 2.0)", "BER(0.5)", "GEOM(0.5)"};
  std::mt19937 rng(3);
  std::ostringstream text;
  for (int i = 0; i < n; ++i) text << "TASK t" << i << " DURATION CST(1.0) END\n";
  int k = 0;
  auto link = [&](int from, int to, bool data) {
    text << "LINK l" << k++ << " TYPE " << (data ? "DATA" : "PROGRAM")
         << " IS NECESSARY FROM t" << from << " TO t" << to;
    if (data) text << " DURATION " << laws[rng() % 5] << " END\n";
    else text << " DEPTH " << (rng() % 3 == 0 ? 10 + rng() % 20 : rng() % 10) << " END\n";
  };
  for (int j = 1; j < n; ++j) {
    link(0, j, true);
    if (j % 3 == 0) link(0, j, true);
    if (j % 4 == 0) link(0, j, false);
    if (j != 7) link(j, 7, j < 7);
    if (j % 5 == 0) link(j, 7, false);
  }
  for (int e = 0; e < 3 * n; ++e) {
    const int a = static_cast<int>(rng() % n), b = static_cast<int>(rng() % n);
    if (a < 40 || e % 2 == 0) link(a, b, a < b);
  }
  auto g = graph(text.str());
  ASSERT_TRUE(g);
  capture([&] { orv::tg::topological_analysis(*g); });
  auto run = capture([&] { orv::tg::dumpe_network(*g); });

  std::string want = "Reseau de taille " + std::to_string(n) + "\n";
  const std::string frame = "   " + std::string(2 * n + 3, '.') + "\n";
  want += frame;
  for (int i = 0; i < n; ++i) {
    char head[16];
    std::snprintf(head, sizeof head, "%3d.", i + 1);
    want += head;
    for (int kind : {orv::tg::DATA, orv::tg::PROGRAM}) {
      for (int j = 0; j < n; ++j) {
        const orv::tg::LINK_DESC* first = nullptr;
        for (const auto& l : g->T[i].Neighbors)
          if (first == nullptr && l->Task_To == j && l->Link_Type == kind) first = l.get();
        if (first == nullptr) want += ' ';
        else if (kind == orv::tg::DATA) want += first->Link_Law->Name;
        else want += std::to_string(first->Depth);
      }
      want += '.';
    }
    want += '\n';
  }
  want += frame + "\n\nDependence maximale: " + std::to_string(g->Max_Dependency) + "\n\n";
  for (int l = 0; l < g->Nb_Layers; ++l) {
    want += "Level " + std::to_string(l + 1) + " : ";
    for (int t : g->Level[l].Task_Id) want += " t" + std::to_string(t) + "(" + std::to_string(t + 1) + ")";
    want += "\n";
  }
  want += "\n";
  for (int t = 0; t < n; ++t) {
    want += "Tasks amont de " + std::to_string(t + 1) + ": ";
    std::vector<int> from;
    for (int i = 0; i < n; ++i)
      for (const auto& l : g->T[i].Neighbors)
        if (l->Task_To == t && (from.empty() || from.back() != i)) from.push_back(i);
    for (int i : from) want += " t" + std::to_string(i) + "(" + std::to_string(i + 1) + ")";
    want += "\n";
  }
  EXPECT_EQ(run.out, want);
  // Task 8 (t7) has every other task before it, in ascending order.
  EXPECT_NE(run.out.find("Tasks amont de 8:  t0(1) t1(2) t2(3)"), std::string::npos);
  EXPECT_NE(run.out.find("t178(179) t179(180)\nTasks amont de 9:"), std::string::npos);
}

}  // namespace
