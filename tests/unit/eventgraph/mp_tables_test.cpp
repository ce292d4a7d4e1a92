#include "eventgraph/mp_tables.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "common/random_variates.h"
#include "eventgraph/egl_reader.h"

namespace {

using orv::eg::EG_EPSILON;
using orv::eg::MP_Tables;

constexpr double eps = EG_EPSILON;

int load(MP_Tables& m, const std::string& text) {
  return m.Set_Event_Graph(orv::eg::Read_Network_Text(text));
}

std::vector<double> product(const std::vector<double>& X, const std::vector<double>& Y, int n) {
  std::vector<double> Z(static_cast<size_t>(n * n), eps);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      for (int k = 0; k < n; ++k) {
        const double a = X[static_cast<size_t>(i * n + k)], b = Y[static_cast<size_t>(k * n + j)];
        if (a > eps && b > eps) Z[static_cast<size_t>(i * n + j)] = std::max(Z[static_cast<size_t>(i * n + j)], a + b);
      }
  return Z;
}

std::vector<double> apply(const std::vector<double>& A, const std::vector<double>& v, int n) {
  std::vector<double> out(static_cast<size_t>(n), eps);
  for (int i = 0; i < n; ++i)
    for (int k = 0; k < n; ++k) {
      const double a = A[static_cast<size_t>(i * n + k)], b = v[static_cast<size_t>(k)];
      if (a > eps && b > eps) out[static_cast<size_t>(i)] = std::max(out[static_cast<size_t>(i)], a + b);
    }
  return out;
}

// Sums along paths come out in another order here, so compare with a
// tolerance, but epsilon exactly.
void expect_close(const std::vector<double>& got, const std::vector<double>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) {
    ASSERT_EQ(got[i] > eps, want[i] > eps) << i;
    ASSERT_NEAR(got[i], want[i], 1e-9) << i;
  }
}

// One firing round of a constant graph computed without layers: relax the
// token-free places until nothing moves (they form no cycle in a live graph).
std::vector<double> reference_step(const orv::EventGraph& g, const std::vector<double>& prev) {
  const size_t n = static_cast<size_t>(g.Size);
  std::vector<double> x(n, eps);
  for (size_t pass = 0; pass <= n; ++pass) {
    bool moved = false;
    for (size_t t = 0; t < n; ++t) {
      double b = eps;
      for (const orv::PLACE_DESC* q : g.T[t]->Inputs) {
        const double v = q->Init_Pop > 0 ? prev[static_cast<size_t>(q->Input_Id - 1)]
                                         : x[static_cast<size_t>(q->Input_Id - 1)];
        if (v > eps) b = std::max(b, v + q->Place_Law->Parameters[0]);
      }
      const double nx = b > eps ? b + g.T[t]->Trans_Law->Parameters[0] : eps;
      if (nx != x[t]) {
        x[t] = nx;
        moved = true;
      }
    }
    if (!moved) break;
  }
  return x;
}

// A live, flat, constant graph: token-free places go forward only, marked
// places anywhere, some pairs joined twice.
std::string random_graph(int n, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_int_distribution<int> pick(1, n), tenth(0, 40), coin(0, 2);
  std::ostringstream s;
  s << "Size <- " << n << "\n";
  for (int t = 1; t <= n; ++t) {
    s << t << " C " << tenth(gen) % 5 << "." << tenth(gen) % 10;
    for (int k = 0; k < 3; ++k) {
      const int d = pick(gen);
      const bool marked = d <= t || coin(gen) == 0;
      s << ", " << d << " C " << tenth(gen) << ".5 " << (marked ? "1 0.0" : "0");
    }
    s << ";\n";
  }
  return s.str();
}

const char* TWO =
    "Size <- 2\n"
    "1 C 1.0, 2 C 2.0 1 0.5;\n"
    "2 C 1.0, 1 C 3.0 0;\n";

TEST(MpTables, OneStepMatrixSliceAndIdentity) {
  MP_Tables m;
  ASSERT_EQ(load(m, TWO), 2);
  ASSERT_EQ(m.Le_Reseau()->Nb_Layers, 2);
  EXPECT_EQ(m.Le_Reseau()->Level[0].Node_Id, std::vector<int>{1});

  std::vector<double> A;
  m.Fill_Matrix(A);
  EXPECT_EQ(A, (std::vector<double>{7.0, eps, 3.0, eps}));

  ASSERT_EQ(m.Init_Times(1), 1);
  std::vector<double> S;
  ASSERT_EQ(m.Fill_Slice(S, 1), 1);
  EXPECT_EQ(S, A);
  ASSERT_EQ(m.Fill_Slice(S, 0), 1);
  EXPECT_EQ(S, (std::vector<double>{0.0, eps, eps, 0.0}));
}

TEST(MpTables, CheckCodesInOrder) {
  struct Case {
    const char* text;
    int code;
  } cases[] = {
      {TWO, 2},
      {"Size <- 2\n1 C 1.0, 2 C 0.0 0;\n2 C 1.0, 1 C 0.0 0;\n", orv::eg::EG_NOT_LIVE},
      // Not live and not FIFO: liveness decides.
      {"Size <- 2\n1 E 1.0, 2 C 0.0 0;\n2 C 1.0, 1 C 0.0 0;\n", orv::eg::EG_NOT_LIVE},
      {"Size <- 2\n1 E 1.0, 2 C 0.0 1 0.0;\n2 C 1.0, 1 C 0.0 1 0.0;\n", orv::eg::EG_NOT_FIFO},
      {"Size <- 1\n1 C 1.0, 1 E 1.0 2 0.0 0.0;\n", orv::eg::EG_NOT_FIFO},
      {"Size <- 1\n1 C 1.0, 1 C 1.0 2 0.0 0.0;\n", orv::eg::EG_NOT_FLAT},
      // A random transition is fine when it is recycled.
      {"Size <- 1\n1 E 1.0, 1 C 0.0 1 0.0;\n", 1},
  };
  for (const Case& c : cases) {
    MP_Tables m;
    EXPECT_EQ(load(m, c.text), c.code) << c.text;
    EXPECT_NE(m.Le_Reseau(), nullptr);
  }
  MP_Tables m;
  EXPECT_EQ(m.Get_Event_Graph("/nonexistent/graph.egl"), orv::eg::EG_UNREADABLE);
  EXPECT_EQ(m.Le_Reseau(), nullptr);
}

TEST(MpTables, RecycledAndFifo) {
  MP_Tables m;
  load(m, "Size <- 2\n1 E 1.0, 1 C 0.0 1 0.0, 2 C 0.0 0;\n2 C 1.0, 1 C 0.0 1 0.0;\n");
  const orv::EventGraph& g = *m.Le_Reseau();
  EXPECT_EQ(orv::eg::is_recycled(0, g), 1);
  EXPECT_EQ(orv::eg::is_recycled(1, g), 0);
  EXPECT_EQ(orv::eg::is_fifo(g), 1);
}

// Slices, vectors and one-step matrices agree with an independent
// computation, across more columns than one work block holds.
TEST(MpTables, SlicesAreProductsOfSteps) {
  for (unsigned seed : {1u, 2u, 3u}) {
    MP_Tables m;
    const int n = 70;
    ASSERT_EQ(load(m, random_graph(n, seed)), n) << seed;
    const orv::EventGraph& g = *m.Le_Reseau();

    std::vector<double> A;
    m.Fill_Matrix(A);
    for (int col = 0; col < n; ++col) {
      std::vector<double> unit(static_cast<size_t>(n), eps);
      unit[static_cast<size_t>(col)] = 0.0;
      const std::vector<double> x = reference_step(g, unit);
      std::vector<double> column;
      for (int i = 0; i < n; ++i) column.push_back(A[static_cast<size_t>(i * n + col)]);
      expect_close(column, x);
    }

    std::vector<double> S;
    ASSERT_EQ(m.Fill_Slice(S, 3), 1);
    expect_close(S, product(A, product(A, A, n), n));

    std::vector<double> V(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) V[static_cast<size_t>(i)] = i % 3 == 0 ? eps : i * 0.25;
    const std::vector<double> expected = apply(S, V, n);
    ASSERT_EQ(m.Fill_Vector(V, 3), 1);
    expect_close(V, expected);
  }
}

// Parallel places between one pair each keep their own holding time.
TEST(MpTables, ParallelPlacesKeepTheirLaws) {
  MP_Tables m;
  ASSERT_EQ(load(m,
                 "Size <- 2\n"
                 "1 C 1.0, 2 C 1.0 0, 2 C 5.0 0, 2 C 9.0 1 0.0;\n"
                 "2 C 1.0, 1 C 0.0 1 0.0;\n"),
            2);
  std::vector<double> S, A;
  ASSERT_EQ(m.Fill_Slice(S, 1), 1);
  m.Fill_Matrix(A);
  // x2(k) = max(x1(k) + 5, x1(k-1) + 9) + 1, x1(k) = x2(k-1) + 1.
  const std::vector<double> want{eps, 1.0, 10.0, 7.0};
  EXPECT_EQ(S, want);
  EXPECT_EQ(A, want);
}

TEST(MpTables, TablesDrawInOrderAndRedrawOnlyRandomLaws) {
  MP_Tables m;
  ASSERT_EQ(load(m,
                 "Size <- 2\n"
                 "1 E 1.0, 1 C 0.0 1 0.0, 2 C 0.5 0;\n"
                 "2 E 2.0, 2 C 0.0 1 0.0;\n"),
            2);
  const int H = 4;
  ASSERT_EQ(m.Init_Times(H), 1);
  srandom(11);
  std::vector<double> S;
  ASSERT_EQ(m.Fill_Slice(S, H), 1);
  srandom(11);
  std::vector<double> want;
  for (int h = 0; h < H; ++h) want.push_back(orv::Exponential(1.0));
  for (int h = 0; h < H; ++h) want.push_back(orv::Exponential(2.0));
  const orv::eg::Draw_Tables& t = m.Tables();
  std::vector<double> got(t.Fire_Times[0]);
  got.insert(got.end(), t.Fire_Times[1].begin(), t.Fire_Times[1].end());
  EXPECT_EQ(got, want);
  for (const auto& hold : t.Hold_Times) EXPECT_EQ(hold.size(), 1u);

  const std::vector<double> first = S;
  ASSERT_EQ(m.Fill_Slice(S, H), 1);
  EXPECT_NE(S, first);
}

// A slice longer than the tables grows them rather than reading past them.
TEST(MpTables, LongSliceGrowsTables) {
  MP_Tables m;
  ASSERT_EQ(load(m, "Size <- 1\n1 E 1.0, 1 C 0.0 1 0.0;\n"), 1);
  ASSERT_EQ(m.Init_Times(2), 1);
  std::vector<double> S;
  ASSERT_EQ(m.Fill_Slice(S, 50), 1);
  EXPECT_EQ(m.Tables().Fire_Times[0].size(), 50u);
  double sum = 0;
  for (double x : m.Tables().Fire_Times[0]) sum += x;
  EXPECT_NEAR(S[0], sum, 1e-9);
}

TEST(MpTables, InitialVectors) {
  MP_Tables m;
  // Chain 1 -> 2 of token-free places, closed by a marked place 2 -> 1.
  ASSERT_EQ(load(m, "Size <- 2\n1 C 1.0, 2 C 0.0 0;\n2 C 2.0, 1 C 0.0 1 4.0;\n"), 2);
  std::vector<double> Y;
  m.Fill_Initial_Vector_Flat(Y, 0);
  EXPECT_EQ(Y, (std::vector<double>{1.0, 3.0}));
  m.Fill_Initial_Vector_Flat(Y, 1);
  EXPECT_EQ(Y, (std::vector<double>{eps, 2.0}));
  // Without an impulse, from the lag of the token.
  m.Fill_Initial_Vector_Flat(Y, -1);
  EXPECT_EQ(Y, (std::vector<double>{5.0, 7.0}));
  // The default vector reaches past the first layer, through the
  // token-free place: the same first firings.
  m.Fill_Initial_Vector(Y);
  EXPECT_EQ(Y, (std::vector<double>{5.0, 7.0}));

  // A holding time on the token-free place delays the impulse.
  ASSERT_EQ(load(m, "Size <- 2\n1 C 1.0, 2 C 0.5 0;\n2 C 2.0, 1 C 0.0 1 4.0;\n"), 2);
  m.Fill_Initial_Vector_Flat(Y, 0);
  EXPECT_EQ(Y, (std::vector<double>{1.0, 3.5}));
}

// The first firings the simulator computes for the same graph: a token
// from its lag 4.0 held 3.0, then 1.0 of firing; 5.0 held and 2.0 fired
// downstream. Every vector counts the holding times the matrices count.
TEST(MpTables, InitialVectorsHoldTheLaggedTokens) {
  MP_Tables m;
  ASSERT_EQ(load(m, "Size <- 2\n1 C 1.0, 2 C 5.0 0;\n2 C 2.0, 1 C 3.0 1 4.0;\n"), 2);
  std::vector<double> Y;
  m.Fill_Initial_Vector(Y);
  EXPECT_EQ(Y, (std::vector<double>{8.0, 15.0}));
  m.Fill_Initial_Vector_Flat(Y, -1);
  EXPECT_EQ(Y, (std::vector<double>{8.0, 15.0}));
  // An impulse on transition 1 ignores the lag.
  m.Fill_Initial_Vector_Flat(Y, 0);
  EXPECT_EQ(Y, (std::vector<double>{1.0, 8.0}));
}

TEST(MpTables, GeometricFromOneInSingleDraws) {
  orv::LawPtr law = orv::Parse_Law('G', orv::REAL_LIST{0.5}, {}, {});
  for (int i = 0; i < 200; ++i) {
    const double x = orv::eg::Draw_One(law.get());
    ASSERT_GE(x, 1.0);
    ASSERT_EQ(x, static_cast<double>(static_cast<long>(x)));
  }
}

}  // namespace
