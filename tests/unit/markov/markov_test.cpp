#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "markov/markov.h"

namespace mc = orv::mc;

namespace {

// Text written to a stream, read back as a string.
template <class F>
std::string capture(F write) {
  FILE* f = std::tmpfile();
  write(f);
  std::rewind(f);
  std::string s;
  for (int c; (c = std::getc(f)) != EOF;) s.push_back(static_cast<char>(c));
  std::fclose(f);
  return s;
}

bool read_text(const std::string& text, mc::MARKOV_CHAIN& c) {
  FILE* f = std::tmpfile();
  std::fputs(text.c_str(), f);
  std::rewind(f);
  testing::internal::CaptureStdout();
  bool ok = mc::Read_Chain(f, c);
  testing::internal::GetCapturedStdout();
  std::fclose(f);
  return ok;
}

TEST(SparseRealMatrix, RepeatedColumnKeepsBothGetTakesLast) {
  mc::SP_REAL_MATRIX m;
  ASSERT_TRUE(mc::New_SP_Real_Matrix(m, 3));
  EXPECT_EQ(mc::Set_Sparse_Matrix_Entry(m, 1, 2, 0.25), 1);
  EXPECT_EQ(mc::Set_Sparse_Matrix_Entry(m, 1, 2, 0.5), 1);
  EXPECT_EQ(m.Nb_Elts(1), 2);
  EXPECT_DOUBLE_EQ(mc::Get_Sparse_Matrix_Entry(m, 1, 2), 0.5);
  EXPECT_DOUBLE_EQ(mc::Get_Sparse_Matrix_Entry(m, 1, 0), 0.0);
  EXPECT_DOUBLE_EQ(mc::Row_Sum(m, 1), 0.75);
  // Add_To goes to the first match.
  EXPECT_EQ(mc::Add_To_Sparse_Matrix_Entry(m, 1, 2, 1.0), 1);
  EXPECT_DOUBLE_EQ(m.Vals[1][0], 1.25);
  EXPECT_EQ(mc::Add_To_Sparse_Matrix_Entry(m, 1, 0, 2.0), 1);
  EXPECT_EQ(m.Nb_Elts(1), 3);
}

TEST(SparseRealMatrix, RowsAndColumnsOutsideAreRefused) {
  mc::SP_REAL_MATRIX m;
  ASSERT_TRUE(mc::New_SP_Real_Matrix(m, 2));
  testing::internal::CaptureStdout();
  EXPECT_EQ(mc::Set_Sparse_Matrix_Entry(m, 2, 0, 1.0), 0);
  EXPECT_EQ(mc::Set_Sparse_Matrix_Entry(m, 0, 2, 1.0), 0);
  EXPECT_EQ(mc::Add_To_Sparse_Matrix_Entry(m, -1, 0, 1.0), 0);
  EXPECT_EQ(mc::Set_Sparse_Matrix_Entry(m, 0, -1, 1.0), 0);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out,
            "Warning: setting value to (2,0) in matrix of size 2. Ignored.\n"
            "Warning: setting value to (0,2) in matrix of size 2. Ignored.\n"
            "Warning: setting value to (-1,0) in matrix of size 2. Ignored.\n"
            "Warning: setting value to (0,-1) in matrix of size 2. Ignored.\n");
  EXPECT_EQ(m.Nb_Elts(0) + m.Nb_Elts(1), 0);
}

TEST(SparseRealMatrix, VectorTimesMatrix) {
  // [1 2] x [[0.5 0.5] [0 1]] with row 1 given twice for column 1.
  mc::SP_REAL_MATRIX m;
  ASSERT_TRUE(mc::New_SP_Real_Matrix(m, 2));
  mc::Set_Sparse_Matrix_Entry(m, 0, 0, 0.5);
  mc::Set_Sparse_Matrix_Entry(m, 0, 1, 0.5);
  mc::Set_Sparse_Matrix_Entry(m, 1, 1, 0.25);
  mc::Set_Sparse_Matrix_Entry(m, 1, 1, 0.75);
  std::vector<double> w = {9, 9};
  mc::VM_Mult({1.0, 2.0}, m, w);
  EXPECT_DOUBLE_EQ(w[0], 0.5);
  EXPECT_DOUBLE_EQ(w[1], 2.5);
}

TEST(SparseRealMatrix, WriteFullAndSparse) {
  mc::SP_REAL_MATRIX m;
  ASSERT_TRUE(mc::New_SP_Real_Matrix(m, 2));
  mc::Set_Sparse_Matrix_Entry(m, 0, 1, 0.5);
  mc::Set_Sparse_Matrix_Entry(m, 0, 1, -2.0);
  EXPECT_EQ(capture([&](FILE* f) { mc::Write_Matrix(f, m, true); }),
            "[ 2]   0.0000  -2.0000\n[ 0]   0.0000   0.0000\n");
  EXPECT_EQ(capture([&](FILE* f) { mc::Write_Matrix(f, m, false); }),
            "[ 2] 1:  0.5000 1: -2.0000\n[ 0]\n");
}

TEST(ChainText, ContinuousRowsGetTheirDiagonal) {
  mc::MARKOV_CHAIN c;
  ASSERT_TRUE(read_text("continuous sparse 2 0 1 3.0 1 0 1.0 stop 0", c));
  EXPECT_EQ(c.Time_Type, mc::CONTINUOUS_TIME);
  ASSERT_EQ(c.Generator.Nb_Elts(0), 2);
  EXPECT_EQ(c.Generator.Elts[0][1], 0);
  EXPECT_DOUBLE_EQ(c.Generator.Vals[0][1], -3.0);
  EXPECT_EQ(c.Generator.Elts[1][0], 0);
  EXPECT_DOUBLE_EQ(c.Generator.Vals[1][1], -1.0);
  EXPECT_FALSE(c.Has_Rewards());
}

// What the heap-of-pieces bounds dump must read back as the same chain,
// rewards and initial state included.
TEST(ChainText, RewardChainDumpReadsBack) {
  mc::MARKOV_CHAIN c;
  ASSERT_TRUE(mc::New_Markov_Chain(c, 3, mc::DISCRETE_TIME));
  mc::Set_Sparse_Matrix_Entry(c.Generator, 0, 1, 0.5);
  mc::Set_Sparse_Matrix_Entry(c.Reward, 0, 1, 1.5);
  mc::Set_Sparse_Matrix_Entry(c.Generator, 0, 2, 0.5);
  mc::Set_Sparse_Matrix_Entry(c.Reward, 0, 2, 0.0);
  mc::Set_Sparse_Matrix_Entry(c.Generator, 1, 0, 1.0);
  mc::Set_Sparse_Matrix_Entry(c.Reward, 1, 0, 2.0);
  mc::Set_Sparse_Matrix_Entry(c.Generator, 2, 2, 1.0);
  mc::Set_Sparse_Matrix_Entry(c.Reward, 2, 2, 3.0);
  c.Init_State = 1;
  const std::string text = capture([&](FILE* f) { mc::Write_Markov_Chain(f, c); });
  EXPECT_EQ(text,
            "discrete reward sparse\n3\n"
            "   0    1   0.5000 wr 1.500000\n"
            "   0    2   0.5000 wr 0.000000\n"
            "   1    0   1.0000 wr 2.000000\n"
            "   2    2   1.0000 wr 3.000000\n"
            "stop\n1\n");
  mc::MARKOV_CHAIN back;
  ASSERT_TRUE(read_text(text, back));
  EXPECT_EQ(back.Init_State, 1);
  EXPECT_EQ(back.Generator.Elts, c.Generator.Elts);
  EXPECT_EQ(back.Generator.Vals, c.Generator.Vals);
  EXPECT_EQ(back.Reward.Vals, c.Reward.Vals);
}

TEST(ChainText, ContinuousDumpReadsBackWithOneDiagonal) {
  mc::MARKOV_CHAIN c;
  ASSERT_TRUE(read_text("2 sparse 2 0 1 3.0 1 0 1.0 stop 1", c));
  const std::string text = capture([&](FILE* f) { mc::Write_Markov_Chain(f, c); });
  EXPECT_EQ(text, "continuous sparse\n2\n   0    1   3.0000\n   1    0   1.0000\nstop\n1\n");
  mc::MARKOV_CHAIN back;
  ASSERT_TRUE(read_text(text, back));
  EXPECT_EQ(back.Generator.Vals, c.Generator.Vals);
  EXPECT_EQ(back.Init_State, 1);
}

TEST(ChainText, PartialTripleEndsTheListAndItsWordIsDropped) {
  // "1 0 stop": the third triple fails at "stop", which is the dropped word.
  mc::MARKOV_CHAIN c;
  ASSERT_TRUE(read_text("discrete sparse 2 0 1 1.0 1 1 1.0 1 0 stop 1", c));
  EXPECT_EQ(c.Generator.Nb_Elts(0) + c.Generator.Nb_Elts(1), 2);
  EXPECT_EQ(c.Init_State, 1);
}

}  // namespace
