#include "taskgraph/topology.h"

#include <gtest/gtest.h>

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

}  // namespace
