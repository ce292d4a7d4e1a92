// Products, sums and norms against a naive reference on random matrices.
#include <gtest/gtest.h>

#include <algorithm>

#include <random>
#include <vector>

#include "io_helpers.h"
#include "maxplus/maxplus.h"

namespace {

using namespace orv::mp;
using Dense = std::vector<std::vector<double>>;
constexpr double eps = M_INFINITY;

// Random entries: about a third eps, the rest small integers and halves so
// sums are exact; a few far below zero so sums fall under eps, and a few so
// large that a sum with eps would not round back to eps.
Dense random_dense(std::mt19937& gen, int rows, int cols) {
  std::uniform_int_distribution<int> pick(0, 29);
  Dense d(rows, std::vector<double>(cols));
  for (auto& row : d)
    for (double& v : row) {
      const int p = pick(gen);
      v = p < 10 ? eps : p == 10 ? -6e37 : p == 11 ? 1e30 : p == 12 ? -1e30 : (p - 20) * 0.5;
    }
  return d;
}

// p, the columns of b, is given since b may have no rows.
Dense naive_product(const Dense& a, const Dense& b, std::size_t p) {
  const std::size_t n = a.size(), m = b.size();
  Dense r(n, std::vector<double>(p, eps));
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < p; ++j)
      for (std::size_t k = 0; k < m; ++k) r[i][j] = max(r[i][j], plus(a[i][k], b[k][j]));
  return r;
}

Dense to_dense(const FULL_MAXPLUS_MATRIX& A) {
  Dense d(A.Rows, std::vector<double>(A.Cols));
  for (int i = 0; i < A.Rows; ++i)
    for (int j = 0; j < A.Cols; ++j) d[i][j] = A.Vals[i][j];
  return d;
}

TEST(Scalars, EpsAbsorbsAndValuesBelowEpsAreNumbers) {
  struct Case {
    double a, b, max, min, plus;
  };
  const Case cases[] = {
      {eps, 3, 3, eps, eps},
      {3, eps, 3, eps, eps},
      {eps, eps, eps, eps, eps},
      {2, -1, 2, -1, 1},
      {-5e37, -6e37, -5e37, -6e37, -1.1e38},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(max(c.a, c.b), c.max);
    EXPECT_EQ(min(c.a, c.b), c.min);
    EXPECT_EQ(plus(c.a, c.b), c.plus);
  }
  EXPECT_LT(plus(-5e37, -6e37), eps);
}

TEST(FullMatrix, ProductMatchesNaiveOnRandomShapes) {
  std::mt19937 gen(7);
  // The larger shapes cross the blocking boundaries of the kernel.
  const int shapes[][3] = {{1, 1, 1}, {2, 3, 4}, {5, 1, 3}, {4, 4, 4}, {3, 0, 2},
                           {7, 9, 2}, {70, 130, 600}, {65, 64, 513}};
  for (const auto& s : shapes) {
    const Dense a = random_dense(gen, s[0], s[1]);
    const Dense b = random_dense(gen, s[1], s[2]);
    auto A = Make_Full_MaxPlus_Matrix(s[0], s[1], a);
    auto B = Make_Full_MaxPlus_Matrix(s[1], s[2], b);
    auto R = New_Full_MaxPlus_Matrix(s[0], s[2], 3);
    ASSERT_TRUE(A && B && R);
    Full_MM_Mult(*A, *B, *R);
    EXPECT_EQ(to_dense(*R), naive_product(a, b, s[2])) << s[0] << "x" << s[1] << "x" << s[2];
  }
}

TEST(FullMatrix, ProductIntoAnOperandIsStillTheProduct) {
  std::mt19937 gen(11);
  const Dense a = random_dense(gen, 6, 6), b = random_dense(gen, 6, 6);
  const Dense expect = naive_product(a, b, 6);
  auto A = Make_Full_MaxPlus_Matrix(6, 6, a);
  auto B = Make_Full_MaxPlus_Matrix(6, 6, b);
  Full_MM_Mult(*A, *B, *A);
  EXPECT_EQ(to_dense(*A), expect);
  A = Make_Full_MaxPlus_Matrix(6, 6, a);
  Full_MM_Mult(*A, *B, *B);
  EXPECT_EQ(to_dense(*B), expect);
  auto S = Make_Full_MaxPlus_Matrix(6, 6, a);
  Full_MM_Mult(*S, *S, *S);
  EXPECT_EQ(to_dense(*S), naive_product(a, a, 6));
}

TEST(FullMatrix, SizeMismatchesReportAndLeaveTheResult) {
  auto A = New_Full_MaxPlus_Matrix(2, 3, 3);
  auto B = New_Full_MaxPlus_Matrix(3, 2, 3);
  auto R22 = New_Full_MaxPlus_Matrix(2, 2, 1);
  auto R23 = New_Full_MaxPlus_Matrix(2, 3, 1);
  auto R33 = New_Full_MaxPlus_Matrix(3, 3, 1);
  const std::string product = "FullMat: error: incompatible matrix sizes. No product.\n";
  const std::string sum = "FullMat: error: incompatible matrix sizes. No sum.\n";
  const std::string scalar = "FullMat: error: incompatible matrix sizes. No scalar product.\n";
  struct Case {
    std::function<void()> call;
    std::string err;
    FULL_MAXPLUS_MATRIX* untouched;
  };
  const Case cases[] = {
      {[&] { Full_MM_Mult(*A, *A, *R22); }, product, R22.get()},
      {[&] { Full_MM_Mult(*A, *B, *R33); }, product, R33.get()},
      {[&] { Full_MM_Mult(*B, *A, *R22); }, product, R22.get()},
      {[&] { Full_MM_Sum(*A, *B, *R23); }, sum, R23.get()},
      {[&] { Full_MM_Sum(*A, *A, *R22); }, sum, R22.get()},
      {[&] { Full_MM_Standard_Sum(*A, *A, *R33); }, sum, R33.get()},
      {[&] { Full_Standard_Scalar_Product(*A, *R33, 2.0); }, scalar, R33.get()},
  };
  for (const Case& c : cases) {
    const Dense before = to_dense(*c.untouched);
    const auto o = mptest::capture(c.call);
    EXPECT_EQ(o.err, c.err);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(to_dense(*c.untouched), before);
  }
  // The right shapes: no message.
  EXPECT_EQ(mptest::capture([&] { Full_MM_Mult(*A, *B, *R22); }).err, "");
  EXPECT_EQ(to_dense(*R22), Dense(2, std::vector<double>(2, 0.0)));
}

TEST(FullMatrix, EntrywiseOperationsAndNorms) {
  const Dense a = {{1, eps, -2}, {eps, 4, 0.5}};
  const Dense b = {{3, eps, eps}, {-1, 2, 0.5}};
  auto A = Make_Full_MaxPlus_Matrix(2, 3, a);
  auto B = Make_Full_MaxPlus_Matrix(2, 3, b);
  auto R = New_Full_MaxPlus_Matrix(2, 3, 0);
  Full_MM_Sum(*A, *B, *R);
  EXPECT_EQ(to_dense(*R), (Dense{{3, eps, -2}, {-1, 4, 0.5}}));
  Full_MM_Standard_Sum(*A, *B, *R);
  EXPECT_EQ(to_dense(*R), (Dense{{4, eps, eps}, {eps, 6, 1}}));
  Full_Standard_Scalar_Product(*A, *R, -2.0);
  EXPECT_EQ(to_dense(*R), (Dense{{-2, eps, 4}, {eps, -8, -1}}));
  EXPECT_EQ(Full_Matrix_Norm(*A), 4);
  EXPECT_EQ(Full_Matrix_Min(*A), eps);
  EXPECT_EQ(Full_Matrix_Min(*Make_Full_MaxPlus_Matrix(1, 2, {{3, 1}})), 1);

  auto empty = New_Full_MaxPlus_Matrix(0, 5, 0);
  ASSERT_TRUE(empty);
  EXPECT_EQ(Full_Matrix_Norm(*empty), eps);
  EXPECT_EQ(Full_Matrix_Min(*empty), eps);
}

TEST(FullMatrix, BuildersAndInitModes) {
  auto I = New_Full_MaxPlus_Matrix(2, 3, 2);
  EXPECT_EQ(to_dense(*I), (Dense{{0, eps, eps}, {eps, 0, eps}}));
  EXPECT_EQ(to_dense(*New_Full_MaxPlus_Matrix(1, 2, 0)), (Dense{{0, 0}}));
  EXPECT_EQ(to_dense(*New_Full_MaxPlus_Matrix(1, 2, 1)), (Dense{{eps, eps}}));
  EXPECT_EQ(to_dense(*New_Full_MaxPlus_Matrix(1, 2, 3)), (Dense{{0, 0}}));

  Full_MaxPlus_Matrix bad;
  auto o = mptest::capture([&] { bad = New_Full_MaxPlus_Matrix(2, 2, 4); });
  EXPECT_FALSE(bad);
  EXPECT_EQ(o.out, "FullMat: error: illegal init mode (4) for matrices.\n");
  o = mptest::capture([&] { EXPECT_EQ(Init_Full_MaxPlus_Matrix(*I, -1), 0); });
  EXPECT_EQ(o.out, "FullMat: error: illegal init mode (-1) for matrices.\n");
  EXPECT_EQ(Init_Full_MaxPlus_Matrix(*I, 3), 1);

  EXPECT_FALSE(New_Full_MaxPlus_Matrix(-1, 2, 0));
  EXPECT_FALSE(Make_Full_MaxPlus_Matrix(2, 2, {{1, 2}}));       // too few rows
  EXPECT_FALSE(Make_Full_MaxPlus_Matrix(2, 2, {{1, 2}, {3}}));  // a short row

  const Dense a = {{1, eps}, {2, 3}};
  auto A = Make_Full_MaxPlus_Matrix(2, 2, a);
  auto C = Copy_Full_MaxPlus_Matrix(*A);
  A->Vals[0][0] = 9;
  EXPECT_EQ(to_dense(*C), a);
  Free_Full_MaxPlus_Matrix(C);
  EXPECT_FALSE(C);
  Free_Full_MaxPlus_Matrix(C);  // a missing matrix is fine
}

TEST(FullMatrix, EntryAccessOutsideTheMatrix) {
  auto A = New_Full_MaxPlus_Matrix(2, 3, 1);
  const int outside[][2] = {{2, 0}, {-1, 0}, {0, 3}, {0, -1}};
  for (const auto& p : outside) {
    char want[128];
    std::snprintf(want, sizeof want,
                  "FullMat: warning: illegal entry (%d,%d) for a 2 x 3 matrix. eps assumed.\n", p[0],
                  p[1]);
    auto o = mptest::capture([&] { EXPECT_EQ(Get_Full_Matrix_Entry(*A, p[0], p[1]), eps); });
    EXPECT_EQ(o.out, want);
    std::snprintf(want, sizeof want, "Warning: setting value to (%d,%d) in a 2 x 3 matrix. Ignored.\n",
                  p[0], p[1]);
    o = mptest::capture([&] { EXPECT_EQ(Set_Full_Matrix_Entry(*A, p[0], p[1], 1.0), 0); });
    EXPECT_EQ(o.out, want);
    EXPECT_EQ(o.err, "");
  }
  EXPECT_EQ(Set_Full_Matrix_Entry(*A, 1, 2, 7.5), 1);
  EXPECT_EQ(Get_Full_Matrix_Entry(*A, 1, 2), 7.5);
}

// --- Sparse ---------------------------------------------------------------------

TEST(SparseMatrix, SetRemovesShiftsAndAppends) {
  auto M = New_SP_MaxPlus_Matrix(2, 5, 1);
  ASSERT_TRUE(M);
  for (int j : {3, 0, 4, 1}) EXPECT_EQ(Set_SP_Matrix_Entry(*M, 0, j, j + 0.5), 1);
  EXPECT_EQ(M->Elts[0], (std::vector<int>{3, 0, 4, 1}));  // order first set
  EXPECT_EQ(Set_SP_Matrix_Entry(*M, 0, 0, 7), 1);          // replaced in place
  EXPECT_EQ(M->Elts[0], (std::vector<int>{3, 0, 4, 1}));
  EXPECT_EQ(Set_SP_Matrix_Entry(*M, 0, 0, eps), 1);  // removed, the rest moves down
  EXPECT_EQ(M->Nb_Elts[0], 3);
  EXPECT_EQ(M->Elts[0], (std::vector<int>{3, 4, 1}));
  EXPECT_EQ(M->Vals[0], (std::vector<double>{3.5, 4.5, 1.5}));
  EXPECT_EQ(Set_SP_Matrix_Entry(*M, 0, 2, eps), 1);  // absent and eps: nothing
  EXPECT_EQ(M->Nb_Elts[0], 3);
  EXPECT_EQ(Set_SP_Matrix_Entry(*M, 1, 2, -2e38), 1);  // below eps is a value
  EXPECT_EQ(Get_SP_Matrix_Entry(*M, 1, 2), -2e38);
  for (int j : {3, 4, 1}) Set_SP_Matrix_Entry(*M, 0, j, eps);
  EXPECT_EQ(M->Nb_Elts[0], 0);
  EXPECT_TRUE(M->Elts[0].empty() && M->Vals[0].empty());

  auto o = mptest::capture([&] { EXPECT_EQ(Set_SP_Matrix_Entry(*M, 2, 0, 1.0), 0); });
  EXPECT_EQ(o.out, "Warning: setting value to (2,0) in a 2 x 5 matrix. Ignored.\n");
  o = mptest::capture([&] { EXPECT_EQ(Set_SP_Matrix_Entry(*M, 0, 5, 1.0), 0); });
  EXPECT_EQ(o.out, "Warning: setting value to (0,5) in a 2 x 5 matrix. Ignored.\n");
}

TEST(SparseMatrix, GetOutsideTheMatrixIsEps) {
  auto M = New_SP_MaxPlus_Matrix(2, 2, 3);
  const auto o = mptest::capture([&] {
    EXPECT_EQ(Get_SP_Matrix_Entry(*M, 2, 0), eps);
    EXPECT_EQ(Get_SP_Matrix_Entry(*M, -1, 0), eps);
    EXPECT_EQ(Get_SP_Matrix_Entry(*M, 1000000, 1), eps);
    EXPECT_EQ(Get_SP_Matrix_Entry(*M, 0, 2), eps);
    EXPECT_EQ(Get_SP_Matrix_Entry(*M, 1, 1), 0);
  });
  EXPECT_EQ(o.out + o.err, "");
}

Dense sp_dense(const SP_MAXPLUS_MATRIX& M) { return to_dense(*Convert_SP_Matrix_To_Full(M)); }

TEST(SparseMatrix, InitModesOnSquareAndOtherShapes) {
  struct Case {
    int rows, cols, mode;
    Dense want;
  };
  const Case cases[] = {
      {2, 2, 2, {{0, eps}, {eps, 0}}},
      {2, 2, 3, {{0, 0}, {0, 0}}},
      {3, 2, 2, {{0, eps}, {eps, 0}, {eps, eps}}},  // tall: no entry past the last column
      {3, 2, 3, {{0, 0}, {0, 0}, {0, 0}}},
      {2, 3, 2, {{0, eps, eps}, {eps, 0, eps}}},
      {2, 3, 3, {{0, 0, 0}, {0, 0, 0}}},
      {2, 2, 1, {{eps, eps}, {eps, eps}}},
      {2, 2, 0, {{eps, eps}, {eps, eps}}},
  };
  for (const Case& c : cases) {
    auto M = New_SP_MaxPlus_Matrix(c.rows, c.cols, c.mode);
    ASSERT_TRUE(M);
    EXPECT_EQ(sp_dense(*M), c.want) << c.rows << "x" << c.cols << " mode " << c.mode;
    for (int i = 0; i < c.rows; ++i) {
      EXPECT_EQ(M->Nb_Elts[i], static_cast<int>(M->Elts[i].size()));
      EXPECT_EQ(M->Elts[i].size(), M->Vals[i].size());
    }
  }
  // Mode 1 empties a filled matrix; mode 2 replaces rows.
  auto M = New_SP_MaxPlus_Matrix(2, 2, 3);
  EXPECT_EQ(Init_SP_MaxPlus_Matrix(*M, 2), 1);
  EXPECT_EQ(sp_dense(*M), (Dense{{0, eps}, {eps, 0}}));
  EXPECT_EQ(Init_SP_MaxPlus_Matrix(*M, 1), 1);
  EXPECT_EQ(M->Nb_Elts, (std::vector<int>{0, 0}));

  // An illegal mode still gives the empty matrix.
  SP_MaxPlus_Matrix odd;
  auto o = mptest::capture([&] { odd = New_SP_MaxPlus_Matrix(2, 2, 7); });
  EXPECT_EQ(o.out, "SpMat: error: illegal init mode (7) for matrices.\n");
  ASSERT_TRUE(odd);
  EXPECT_EQ(odd->Nb_Elts, (std::vector<int>{0, 0}));
  EXPECT_FALSE(New_SP_MaxPlus_Matrix(-2, 2, 1));
}

TEST(SparseMatrix, MakeStoresNonEpsInColumnOrderAndConvertsBack) {
  const Dense d = {{eps, 2, eps, -1}, {eps, eps, eps, eps}, {0, eps, -3e38, 5}};
  auto M = Make_SP_MaxPlus_Matrix(3, 4, d);
  ASSERT_TRUE(M);
  EXPECT_EQ(M->Nb_Elts, (std::vector<int>{2, 0, 3}));
  EXPECT_EQ(M->Elts[0], (std::vector<int>{1, 3}));
  EXPECT_EQ(M->Elts[2], (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(M->Vals[2], (std::vector<double>{0, -3e38, 5}));
  EXPECT_EQ(sp_dense(*M), d);
  EXPECT_EQ(SP_Matrix_Norm(*M), 5);
  EXPECT_EQ(SP_Matrix_Norm(*New_SP_MaxPlus_Matrix(2, 2, 1)), eps);
  EXPECT_FALSE(Make_SP_MaxPlus_Matrix(3, 4, {{1, 2, 3, 4}}));
  SP_MaxPlus_Matrix none;
  Free_SP_MaxPlus_Matrix(none);
  Free_SP_MaxPlus_Matrix(M);
  EXPECT_FALSE(M);
}

std::vector<double> random_vector(std::mt19937& gen, int n) {
  return random_dense(gen, 1, n)[0];
}

SP_MaxPlus_Vector make_vector(const std::vector<double>& v) {
  auto V = New_SP_MaxPlus_Vector(static_cast<int>(v.size()), 0);
  V->Vals = v;
  return V;
}

TEST(SparseMatrix, VectorProductsMatchNaiveOnAllShapes) {
  std::mt19937 gen(3);
  const int shapes[][2] = {{1, 1}, {4, 4}, {3, 7}, {7, 3}, {1, 5}, {5, 1}, {30, 30}};
  for (const auto& s : shapes) {
    const int rows = s[0], cols = s[1];
    const Dense d = random_dense(gen, rows, cols);
    auto M = Make_SP_MaxPlus_Matrix(rows, cols, d);
    // M (x) x as a product with a one-column matrix.
    const std::vector<double> x = random_vector(gen, cols);
    Dense xcol(cols);
    for (int j = 0; j < cols; ++j) xcol[j] = {x[j]};
    const Dense mv = naive_product(d, xcol, 1);
    auto X = make_vector(x);
    auto Res = New_SP_MaxPlus_Vector(rows, 3);
    SP_MV_Mult(*M, *X, *Res);
    for (int i = 0; i < rows; ++i) EXPECT_EQ(Res->Vals[i], mv[i][0]) << rows << "x" << cols;

    // y (x) M as a product with a one-row matrix.
    const std::vector<double> y = random_vector(gen, rows);
    const Dense vm = naive_product(Dense{y}, d, cols);
    auto Y = make_vector(y);
    auto Out = New_SP_MaxPlus_Vector(cols, 3);
    SP_VM_Mult(*Y, *M, *Out);
    EXPECT_EQ(Out->Vals, vm[0]) << rows << "x" << cols;
  }
}

// Entries set and removed in random order make rows outgrow their room in
// turn (moving, and packing the rows again): every row must keep exactly its
// own entries, and the products must match the naive ones throughout.
TEST(SparseMatrix, RowsSetInAnyOrderKeepTheirEntries) {
  std::mt19937 gen(11);
  const int rows = 40, cols = 25;
  std::uniform_int_distribution<int> row(0, rows - 1), col(0, cols - 1), pick(0, 29);
  auto M = New_SP_MaxPlus_Matrix(rows, cols, 1);
  Dense d(rows, std::vector<double>(cols, eps));
  std::vector<std::vector<int>> order(rows);  // columns in the order first set
  for (int step = 0; step < 6000; ++step) {
    const int i = row(gen), j = col(gen), p = pick(gen);
    // Mostly values (a few huge), a fifth removals.
    const double v = p < 6 ? eps : p == 6 ? 1e30 : (p - 15) * 0.5;
    ASSERT_EQ(Set_SP_Matrix_Entry(*M, i, j, v), 1);
    auto& o = order[i];
    const auto at = std::find(o.begin(), o.end(), j);
    if (v == eps && at != o.end()) o.erase(at);
    if (v != eps && at == o.end()) o.push_back(j);
    d[i][j] = v;
    if (step % 500 != 499) continue;
    for (int r = 0; r < rows; ++r) {
      ASSERT_EQ(M->Elts[r], order[r]) << "row " << r << " step " << step;
      ASSERT_EQ(M->Nb_Elts[r], static_cast<int>(order[r].size()));
      for (std::size_t k = 0; k < order[r].size(); ++k)
        ASSERT_EQ(M->Vals[r][k], d[r][order[r][k]]);
    }
    const std::vector<double> x = random_vector(gen, cols);
    Dense xcol(cols);
    for (int c = 0; c < cols; ++c) xcol[c] = {x[c]};
    const Dense mv = naive_product(d, xcol, 1);
    auto X = make_vector(x);
    auto Res = New_SP_MaxPlus_Vector(rows, 3);
    SP_MV_Mult(*M, *X, *Res);
    for (int r = 0; r < rows; ++r) ASSERT_EQ(Res->Vals[r], mv[r][0]) << "step " << step;
  }
}

TEST(SparseMatrix, VectorProductsIntoTheirOperand) {
  auto M = Make_SP_MaxPlus_Matrix(3, 3, {{eps, 1, eps}, {eps, eps, 2}, {0, eps, eps}});
  auto X = make_vector({10, 20, 30});
  SP_MV_Mult(*M, *X, *X);  // a cyclic shift: each row reads another entry
  EXPECT_EQ(X->Vals, (std::vector<double>{21, 32, 10}));
  SP_VM_Mult(*X, *M, *X);
  EXPECT_EQ(X->Vals, (std::vector<double>{10, 22, 34}));
}

// eps + 1e30 does not round back to eps: the products must see eps itself.
TEST(SparseMatrix, HugeValuesMeetingEpsGiveEps) {
  auto M = Make_SP_MaxPlus_Matrix(2, 2, {{1e30, eps}, {eps, -1e30}});
  auto X = make_vector({eps, 1});
  auto Res = New_SP_MaxPlus_Vector(2, 3);
  SP_MV_Mult(*M, *X, *Res);
  EXPECT_EQ(Res->Vals, (std::vector<double>{eps, 1 - 1e30}));
  auto Y = make_vector({eps, eps});
  SP_VM_Mult(*Y, *M, *Res);
  EXPECT_EQ(Res->Vals, (std::vector<double>{eps, eps}));
  auto A = Make_Full_MaxPlus_Matrix(1, 2, {{1e30, 2}});
  auto B = Make_Full_MaxPlus_Matrix(2, 1, {{eps}, {eps}});
  auto R = New_Full_MaxPlus_Matrix(1, 1, 3);
  Full_MM_Mult(*A, *B, *R);
  EXPECT_EQ(R->Vals[0][0], eps);
}

TEST(SparseMatrix, VectorProductSizeChecks) {
  auto M = New_SP_MaxPlus_Matrix(2, 3, 3);  // 2 rows, 3 columns
  const std::string msg = "Error: incompatible matrix/vector sizes in VM_Mult.\n";
  struct Case {
    int x, res;
    bool mv;  // else VM
    bool ok;
  };
  const Case cases[] = {
      {3, 2, true, true},   {3, 3, true, false},  {2, 2, true, false}, {2, 3, true, false},
      {2, 3, false, true},  {2, 2, false, false}, {3, 3, false, false}, {3, 2, false, false},
  };
  for (const Case& c : cases) {
    auto X = New_SP_MaxPlus_Vector(c.x, 3);
    auto R = New_SP_MaxPlus_Vector(c.res, 1);
    const auto o = mptest::capture([&] {
      if (c.mv)
        SP_MV_Mult(*M, *X, *R);
      else
        SP_VM_Mult(*X, *M, *R);
    });
    EXPECT_EQ(o.err, c.ok ? "" : msg) << c.x << " " << c.res << " " << c.mv;
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(R->Vals, std::vector<double>(c.res, c.ok ? 0.0 : eps));
  }
}

TEST(Vector, BuildersNormsAndWriting) {
  EXPECT_EQ(New_SP_MaxPlus_Vector(3, 0)->Vals, std::vector<double>(3, 0.0));
  EXPECT_EQ(New_SP_MaxPlus_Vector(3, 1)->Vals, std::vector<double>(3, eps));
  EXPECT_EQ(New_SP_MaxPlus_Vector(3, 3)->Vals, std::vector<double>(3, 0.0));
  for (int mode : {2, 4, -1}) {
    SP_MaxPlus_Vector V;
    const auto o = mptest::capture([&] { V = New_SP_MaxPlus_Vector(3, mode); });
    EXPECT_FALSE(V);
    EXPECT_EQ(o.out, "SpMat: error: illegal init mode (" + std::to_string(mode) + ") for vectors.\n");
  }
  auto V = make_vector({2.5, eps, -1, 12345.678901});
  EXPECT_EQ(SP_Vector_Norm(*V), 12345.678901);
  EXPECT_EQ(SP_Vector_Min(*V), eps);
  EXPECT_EQ(SP_Vector_Min(*make_vector({3, -2, 1})), -2);
  auto empty = New_SP_MaxPlus_Vector(0, 1);
  EXPECT_EQ(SP_Vector_Norm(*empty), eps);
  EXPECT_EQ(SP_Vector_Min(*empty), eps);
  EXPECT_EQ(mptest::written([&](FILE* f) { SP_Write_Vector(*V, f); }),
            "   2.5000   eps     -1.0000 12345.6789\n");
  EXPECT_EQ(mptest::written([&](FILE* f) { SP_Write_Vector(*empty, f); }), "\n");
  Free_SP_MaxPlus_Vector(V);
  EXPECT_FALSE(V);
}

}  // namespace

// Ten thousand empty 10^5 x 10^5 matrices would take 50 GB with tables per
// row; a matrix makes them with its first entry.
TEST(SparseMatrix, EmptyMatricesCostNothingPerRow) {
  std::vector<orv::mp::SP_MaxPlus_Matrix> many;
  for (int i = 0; i < 10000; ++i) {
    many.push_back(orv::mp::New_SP_MaxPlus_Matrix(100000, 100000, 1));
    ASSERT_TRUE(many.back());
  }
  orv::mp::SP_MAXPLUS_MATRIX& M = *many[17];
  EXPECT_EQ(M.Nb_Elts[99999], 0);
  EXPECT_TRUE(M.Elts[99999].empty());
  ASSERT_EQ(orv::mp::Set_SP_Matrix_Entry(M, 99999, 5, 2.5), 1);
  EXPECT_EQ(M.Nb_Elts[99999], 1);
  EXPECT_EQ(orv::mp::Get_SP_Matrix_Entry(M, 99999, 5), 2.5);
  EXPECT_EQ(orv::mp::Get_SP_Matrix_Entry(*many[18], 99999, 5), orv::mp::M_INFINITY);
  orv::mp::Init_SP_MaxPlus_Matrix(M, 1);
  EXPECT_EQ(M.Nb_Elts[99999], 0);
  EXPECT_EQ(orv::mp::Get_SP_Matrix_Entry(M, 99999, 5), orv::mp::M_INFINITY);
}
