// Boolean matrices, interaction graphs and their Bernoulli product.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "io_helpers.h"
#include "maxplus/interaction_graph.h"

namespace {

using namespace orv::mp;
constexpr double eps = M_INFINITY;

struct Read {
  Interaction_Graph g;
  mptest::Output msgs;
};

Read read_graph(const std::string& text) {
  Read r;
  FILE* in = mptest::text_stream(text);
  r.msgs = mptest::capture([&] { r.g = Read_Interaction_Graph(in); });
  std::fclose(in);
  return r;
}

std::string arcs(const INTERACTION_GRAPH& g) {
  return mptest::written([&](FILE* f) { Write_Boolean_Matrix(g.A, f); });
}

TEST(BooleanMatrix, SetAdjAddsOnceAndRemovesInPlace) {
  Bool_Mat A = New_Boolean_Matrix(3);
  ASSERT_TRUE(A);
  Set_Adj(*A, 0, 2, 1);
  Set_Adj(*A, 0, 1, 1);
  Set_Adj(*A, 0, 2, 1);  // present: nothing
  Set_Adj(*A, 0, 0, 1);
  EXPECT_EQ(A->Elts[0], (std::vector<int>{2, 1, 0}));
  Set_Adj(*A, 0, 2, 0);  // later entries move down
  EXPECT_EQ(A->Elts[0], (std::vector<int>{1, 0}));
  EXPECT_EQ(A->Nb_Elts[0], 2);
  Set_Adj(*A, 1, 2, 0);  // absent: nothing
  Set_Adj(*A, 7, 0, 1);  // no such row: nothing
  EXPECT_EQ(A->Nb_Elts[1], 0);
  Set_Adj(*A, 2, 1, 1);
  EXPECT_EQ(mptest::written([&](FILE* f) { Write_Boolean_Matrix(*A, f); }), "110\n000\n010\n");
  EXPECT_EQ(Max_Degree(*A), 2);
  EXPECT_DOUBLE_EQ(Avg_Degree(*A), 1.0);
  EXPECT_FALSE(New_Boolean_Matrix(-1));
  EXPECT_EQ(Avg_Degree(*New_Boolean_Matrix(0)), 0.0);
}

TEST(InteractionGraph, SparseTextWeightsAndArcs) {
  Read r = read_graph("sp 2\n1 3\n0 1\n");
  ASSERT_TRUE(r.g);
  EXPECT_EQ(r.g->Size, 2);
  EXPECT_EQ(r.g->Proba, (std::vector<double>{0.25, 0.75}));
  EXPECT_EQ(r.g->Pr_Cum, (std::vector<double>{0.25, 1.0}));
  EXPECT_EQ(r.g->Permut, (std::vector<int>{0, 0}));
  EXPECT_EQ(arcs(*r.g), "01\n00\n");
  EXPECT_EQ(Is_Uniform(*r.g), 0);
  EXPECT_EQ(r.msgs.out + r.msgs.err, "");
}

TEST(InteractionGraph, LastCumulativeIsSetNotSummed) {
  // 0.1 + 0.2 + 0.7 summed in doubles is not exactly 1.
  Read r = read_graph("sp 3 1 2 7");
  ASSERT_TRUE(r.g);
  EXPECT_EQ(r.g->Pr_Cum[2], 1.0);
  EXPECT_DOUBLE_EQ(r.g->Pr_Cum[1], 0.3);
  EXPECT_EQ(Avg_Degree(r.g->A), 0.0);
}

TEST(InteractionGraph, DuplicateArcStoredOnceAndTraced) {
  Debug = 1;
  Read r = read_graph("sp 2 1 1 1 0 1 0 0 1");
  Debug = 0;
  ASSERT_TRUE(r.g);
  EXPECT_EQ(r.g->A.Elts[1], (std::vector<int>{0}));
  EXPECT_EQ(r.msgs.out, "recording arc 1->0\nrecording arc 1->0\nrecording arc 0->1\n");
  EXPECT_EQ(Is_Uniform(*r.g), 1);
}

// Every arc of a node with many successors is kept once, in the order
// read, without searching the row for each new one.
TEST(InteractionGraph, ManyArcsFromOneNode) {
  const int n = 40000;
  std::string text = "sp " + std::to_string(n) + "\n";
  for (int i = 0; i < n; ++i) text += " 1";
  text += "\n";
  for (int j = n - 1; j >= 0; --j) text += "0 " + std::to_string(j) + "\n";
  text += "0 7\n0 " + std::to_string(n - 1) + "\n";
  const auto start = std::chrono::steady_clock::now();
  Read r = read_graph(text);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_TRUE(r.g);
  ASSERT_EQ(r.g->A.Nb_Elts[0], n);
  ASSERT_EQ(r.g->A.Elts[0].size(), static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k) ASSERT_EQ(r.g->A.Elts[0][k], n - 1 - k);
  EXPECT_LT(seconds, 3.0);
}

TEST(InteractionGraph, FullForm) {
  // Only an entry of exactly 1 is an arc.
  Read r = read_graph("3\n1 1 1\n1 0 1\n2 1 0\n0 0 1\n");
  ASSERT_TRUE(r.g);
  EXPECT_EQ(arcs(*r.g), "101\n010\n001\n");
  Read four = read_graph("4 1 1 1 1  0 1 0 0  0 0 1 0  0 0 0 1  0 0 0 0");
  ASSERT_TRUE(four.g);
  EXPECT_DOUBLE_EQ(Avg_Degree(four.g->A), 0.75);
  EXPECT_EQ(Max_Degree(four.g->A), 1);
}

TEST(InteractionGraph, BadTexts) {
  struct Case {
    const char* text;
    std::string out;
  };
  const std::vector<Case> cases = {
      {"", ""},
      {"sp", ""},
      {"x 1", ""},
      {"sp 2 1", ""},           // a weight missing
      {"sp 2 1 z 0 1", ""},     // a weight that is no number
      {"sp 2 1 nan", ""},
      {"0", "I_Graph: error: illegal number of nodes (0).\n"},
      {"sp -3 1 1 1", "I_Graph: error: illegal number of nodes (-3).\n"},
      {"sp 2 1 1 0 1 2 0", "Error: out of range i value found (2). Abort.\n"},
      {"sp 2 1 1 0 -1", "Error: out of range j value found (-1). Abort.\n"},
      {"sp 2 1 1 5 9", "Error: out of range i value found (5). Abort.\n"},
      {"2 1 1 1 0 1", "I_Graph: error: missing or bad entry (1,1).\n"},
      {"2 1 1 1 0.5 1 1", "I_Graph: error: missing or bad entry (0,1).\n"},
      {"sp 2 0 0", "I_Graph: error: the weights sum to 0. No probabilities.\n"},
      {"sp 2 2 -1", "I_Graph: error: negative weight (-1.000000) for node 1.\n"},
  };
  for (const Case& c : cases) {
    Read r = read_graph(c.text);
    EXPECT_FALSE(r.g) << c.text;
    EXPECT_EQ(r.msgs.out, c.out) << c.text;
    EXPECT_EQ(r.msgs.err, "") << c.text;
  }
}

TEST(InteractionGraph, SparseListEndsAtTheFirstIncompletePair) {
  Read r = read_graph("sp 2 1 1 0 1 1 end 1 0");
  ASSERT_TRUE(r.g);
  EXPECT_EQ(arcs(*r.g), "01\n00\n");
}

TEST(IGToBP, MatricesOfTheSmallGraph) {
  Read r = read_graph("sp 2 1 3 0 1");
  ASSERT_TRUE(r.g);
  Bernoulli_Product P = IG_To_BP(*r.g);
  ASSERT_TRUE(P);
  EXPECT_EQ(P->Nb_Matrices, 2);
  EXPECT_EQ(P->Size, 2);
  EXPECT_EQ(P->Proba, r.g->Proba);
  EXPECT_EQ(P->Pr_Cum, r.g->Pr_Cum);
  // Row 1 of matrix 0 stores its diagonal 0 before the arc's 1.
  EXPECT_EQ(mptest::written([&](FILE* f) { SP_Write_Matrix(BP_Matrix(*P, 0).get(), f, 1, nullptr); }),
            "sp\n  0  0   1.0000\n  1  1   0.0000\n  1  0   1.0000\nend\n");
  EXPECT_EQ(mptest::written([&](FILE* f) { SP_Write_Matrix(BP_Matrix(*P, 1).get(), f, 1, nullptr); }),
            "sp\n  0  0   0.0000\n  1  1   1.0000\nend\n");
}

TEST(IGToBP, SelfLoopChangesNothing) {
  Read with = read_graph("sp 3 1 1 1 0 1 0 0 2 2");
  Read without = read_graph("sp 3 1 1 1 0 1 2 2");
  ASSERT_TRUE(with.g && without.g);
  auto a = IG_To_BP(*with.g);
  auto b = IG_To_BP(*without.g);
  for (int i = 0; i < 3; ++i) {
    auto text = [](const SP_MAXPLUS_MATRIX* m) {
      return mptest::written([&](FILE* f) { SP_Write_Matrix(m, f, 1, nullptr); });
    };
    EXPECT_EQ(text(BP_Matrix(*a, i).get()), text(BP_Matrix(*b, i).get())) << i;
  }
}

// Multiplying by matrix i is the firing of node i: it grows by one and every
// successor takes the larger of its height and the new one.
TEST(IGToBP, ProductIsTheFiringRule) {
  std::mt19937 rng(7);
  for (int round = 0; round < 30; ++round) {
    const int n = 1 + static_cast<int>(rng() % 7);
    std::string text = "sp " + std::to_string(n);
    for (int i = 0; i < n; ++i) text += " 1";
    std::vector<std::vector<int>> adj(n, std::vector<int>(n, 0));
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j)
        if (rng() % 3 == 0) {
          adj[i][j] = 1;
          text += " " + std::to_string(i) + " " + std::to_string(j);
        }
    Read r = read_graph(text);
    ASSERT_TRUE(r.g);
    auto P = IG_To_BP(*r.g);
    ASSERT_TRUE(P);
    for (int i = 0; i < n; ++i) {
      auto X = New_SP_MaxPlus_Vector(n, 0);
      auto Y = New_SP_MaxPlus_Vector(n, 0);
      std::vector<double> want(n);
      for (int k = 0; k < n; ++k) X->Vals[k] = static_cast<double>(rng() % 5);
      for (int k = 0; k < n; ++k) want[k] = X->Vals[k];
      want[i] = X->Vals[i] + 1;
      for (int k = 0; k < n; ++k)
        if (adj[i][k] && k != i) want[k] = std::max(X->Vals[k], X->Vals[i] + 1);
      SP_MV_Mult(*BP_Matrix(*P, i), *X, *Y);
      EXPECT_EQ(Y->Vals, want) << text << " node " << i;
    }
  }
}

}  // namespace

// The in-place firing that morvane runs, against the product by the
// graph's matrices, over long random runs of random graphs (values grow
// well past the small ones where a fault could hide).
TEST(IGToBP, FiringInPlaceIsTheMatrixProduct) {
  std::mt19937 rng(11);
  for (int round = 0; round < 40; ++round) {
    const int n = 1 + static_cast<int>(rng() % 12);
    std::string text = "sp " + std::to_string(n);
    for (int i = 0; i < n; ++i) text += " " + std::to_string(1 + rng() % 4);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j)
        if (rng() % 4 == 0) text += " " + std::to_string(i) + " " + std::to_string(j);
    Read r = read_graph(text);
    ASSERT_TRUE(r.g);
    auto P = IG_To_BP(*r.g);
    ASSERT_TRUE(P);
    ASSERT_TRUE(P->A.empty());
    std::vector<SP_MaxPlus_Matrix> M;
    for (int k = 0; k < n; ++k) M.push_back(BP_Matrix(*P, k));
    auto X = New_SP_MaxPlus_Vector(n, 0);
    auto Y = New_SP_MaxPlus_Vector(n, 0);
    std::vector<double> x(static_cast<std::size_t>(n), 0.0);
    for (int step = 0; step < 2000; ++step) {
      const int k = static_cast<int>(rng() % static_cast<unsigned>(n));
      SP_MV_Mult(*M[static_cast<std::size_t>(k)], *X, *Y);
      std::swap(X, Y);
      BP_Fire(P->Firing, k, x.data());
    }
    EXPECT_EQ(x, X->Vals) << text;
  }
}

// Linear in nodes and arcs: a 200,000-node line is a few megabytes, where
// one stored matrix per node would hold 4e10 diagonal entries.
TEST(IGToBP, ProductOfALargeGraphIsItsArcs) {
  const int n = 200000;
  std::string text = "sp " + std::to_string(n);
  for (int i = 0; i < n; ++i) text += " 1";
  for (int i = 0; i + 1 < n; ++i) text += " " + std::to_string(i) + " " + std::to_string(i + 1);
  Read r = read_graph(text);
  ASSERT_TRUE(r.g);
  auto P = IG_To_BP(*r.g);
  ASSERT_TRUE(P);
  EXPECT_EQ(P->Firing.Start.size(), static_cast<std::size_t>(n) + 1);
  EXPECT_EQ(P->Firing.Succ.size(), static_cast<std::size_t>(n) - 1);
  EXPECT_EQ(P->Nb_Matrices, n);
}
