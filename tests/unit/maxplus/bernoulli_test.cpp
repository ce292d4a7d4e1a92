// Bernoulli products: the reader's checks and messages, the writer's formats
// and the round trip.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io_helpers.h"
#include "maxplus/bernoulli.h"

namespace {

using namespace orv::mp;
constexpr double eps = M_INFINITY;

struct Read {
  Bernoulli_Product p;
  mptest::Output msgs;
  std::string rest;
};

Read read_product(const std::string& text) {
  Read r;
  FILE* in = mptest::text_stream(text);
  r.msgs = mptest::capture([&] { r.p = Read_Bernoulli_Product(in); });
  r.rest = mptest::rest(in);
  std::fclose(in);
  return r;
}

std::string write(const BERNOULLI_PRODUCT& p, int format, const char* name) {
  return mptest::written([&](FILE* f) { Write_Bernoulli_Product(p, f, format, name); });
}

TEST(Bernoulli, ProbabilitiesFromWeights) {
  Read one = read_product("2 1 3  sp end");
  ASSERT_TRUE(one.p);
  EXPECT_EQ(one.p->Proba, std::vector<double>{1.0});
  EXPECT_EQ(one.p->Pr_Cum, std::vector<double>{1.0});

  Read three = read_product("1 3\n1 1 2\n0\n1\neps\n");
  ASSERT_TRUE(three.p);
  EXPECT_EQ(three.p->Proba, (std::vector<double>{0.25, 0.25, 0.5}));
  EXPECT_EQ(three.p->Pr_Cum, (std::vector<double>{0.25, 0.5, 1.0}));
  EXPECT_EQ(three.p->Permut, (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(Get_SP_Matrix_Entry(*three.p->A[1], 0, 0), 1.0);
  EXPECT_EQ(Get_SP_Matrix_Entry(*three.p->A[2], 0, 0), eps);
  EXPECT_EQ(three.rest, "\n");
}

TEST(Bernoulli, ReaderRefusals) {
  struct Case {
    const char* text;
    std::string out;
  };
  const std::string dim = "Bernoulli: error reading dimension ";
  const std::vector<Case> cases = {
      {"", dim + "(0) or nb of matrices (0).\n"},
      {"0 1 1 5", dim + "(0) or nb of matrices (0).\n"},  // the count is never read
      {"10000 1", dim + "(10000) or nb of matrices (0).\n"},
      {"2 10000", dim + "(2) or nb of matrices (10000).\n"},
      {"2 -1", dim + "(2) or nb of matrices (-1).\n"},
      {"2 x", dim + "(2) or nb of matrices (0).\n"},
      {"1 2 1", ""},    // a weight missing
      {"1 2 1 w", ""},  // a weight that is no number
      {"1 2 0 0 1 2", "Bernoulli: error: the weights sum to 0. No probabilities.\n"},
      {"1 2 -1 3 1 2", "Bernoulli: error: negative weight (-1.000000) for matrix 0.\n"},
      // The second matrix fails: its number is 1, after the matrix reader's own message.
      {"2 2 1 1  0 eps eps 0  0 x", "SpMat: illegal matrix entry (0,1): x.\n"
                                    "Bernoulli: error: reading matrix #1. Abort.\n"},
      {"1 1 1", "SpMat: illegal matrix entry (0,0): .\nBernoulli: error: reading matrix #0. Abort.\n"},
      // A triple outside the matrix is no longer a quiet success.
      {"1 1 1 sp 3 0 1 end", "Warning: setting value to (3,0) in a 1 x 1 matrix. Ignored.\n"
                             "Warning: failed to set entry (3,0) to 1.000000.\n"
                             "Bernoulli: error: reading matrix #0. Abort.\n"},
  };
  for (const Case& c : cases) {
    Read r = read_product(c.text);
    EXPECT_FALSE(r.p) << c.text;
    EXPECT_EQ(r.msgs.out, c.out) << c.text;
    EXPECT_EQ(r.msgs.err, "") << c.text;
  }
}

TEST(Bernoulli, WriterFormats) {
  Read r = read_product("2 2 2 2.5  sp 0 1 3 end  0 eps eps -1.5");
  ASSERT_TRUE(r.p);
  EXPECT_EQ(write(*r.p, 1, nullptr),
            "2\n2\n 2 2.500000\n"
            "sp\n  0  1   3.0000\nend\n\n"
            "sp\n  0  0   0.0000\n  1  1  -1.5000\nend\n\n");
  EXPECT_EQ(write(*r.p, 0, nullptr),
            "2\n2\n 2 2.500000\n"
            "   eps      3.0000\n   eps      eps   \n\n"
            "   0.0000   eps   \n   eps     -1.5000\n\n");
  EXPECT_EQ(write(*r.p, 2, "B"),
            "B_Size = 2\nB_Number = 2\nB_Weights = [ 2 2.500000]\n"
            "B_0=#([\n\t   %0       3.0000;\n\t   %0       %0    ])\n\n"
            "B_1=#([\n\t   0.0000   %0    ;\n\t   %0      -1.5000])\n\n");
  EXPECT_EQ(write(*r.p, 3, "B"),
            "2\n2\n 2 2.500000\n"
            "Matrix B_0\n[ 1] 1:  3.0000\n[ 0]\n\n"
            "Matrix B_1\n[ 1] 0:  0.0000\n[ 1] 1: -1.5000\n\n");
  // Without a name the titled form says so.
  EXPECT_NE(write(*r.p, 3, nullptr).find("\nMatrix <no name>\n[ 1] 1:"), std::string::npos);
}

TEST(Bernoulli, FormatsZeroAndOneReadBack) {
  Read r = read_product("3 3 1 0.5 4\n sp 0 2 1.25 2 0 -7 1 1 0 end\n"
                        " 1 2 3 4 5 6 7 8 9\n sp end\n");
  ASSERT_TRUE(r.p);
  for (int format : {0, 1}) {
    const std::string text = write(*r.p, format, nullptr);
    Read back = read_product(text);
    ASSERT_TRUE(back.p) << text;
    EXPECT_EQ(back.p->Weight, r.p->Weight);
    EXPECT_EQ(write(*back.p, format, nullptr), text);
    for (int m = 0; m < 3; ++m)
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
          EXPECT_EQ(Get_SP_Matrix_Entry(*back.p->A[m], i, j), Get_SP_Matrix_Entry(*r.p->A[m], i, j));
  }
}

TEST(Bernoulli, NewProduct) {
  auto P = New_Bernoulli_Product(3, 2);
  ASSERT_TRUE(P);
  EXPECT_EQ(P->A.size(), 3u);
  EXPECT_EQ(P->A[2]->Rows, 2);
  EXPECT_EQ(SP_Matrix_Norm(*P->A[0]), eps);
  mptest::Output o = mptest::capture([] { EXPECT_FALSE(New_Bernoulli_Product(-1, 2)); });
  EXPECT_EQ(o.err, "Bernoulli: memory error. Not enough space.\n");
}

}  // namespace
