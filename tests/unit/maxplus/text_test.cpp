// The matrix text: each reader on good and bad words, each writer format,
// and the round trip through the formats that read back.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "io_helpers.h"
#include "maxplus/maxplus.h"

namespace {

using namespace orv::mp;
using Dense = std::vector<std::vector<double>>;
constexpr double eps = M_INFINITY;
const Dense EMPTY22 = {{eps, eps}, {eps, eps}};

Dense to_dense(const FULL_MAXPLUS_MATRIX& A) {
  Dense d(A.Rows, std::vector<double>(A.Cols));
  for (int i = 0; i < A.Rows; ++i)
    for (int j = 0; j < A.Cols; ++j) d[i][j] = A.Vals[i][j];
  return d;
}
Dense to_dense(const SP_MAXPLUS_MATRIX& M) { return to_dense(*Convert_SP_Matrix_To_Full(M)); }

enum class Reader { Any, Full, Sparse };

struct ReadCase {
  const char* name;
  Reader reader;
  std::string text;
  int result;
  Dense want;
  std::string out, err;
  std::string rest;  // what the reader leaves in the stream
};

struct ReadResult {
  int result = -1;
  Dense values;
  mptest::Output msgs;
  std::string rest;
};

ReadResult read_full(const ReadCase& c) {
  ReadResult r;
  auto A = New_Full_MaxPlus_Matrix(2, 2, 1);
  FILE* in = mptest::text_stream(c.text);
  r.msgs = mptest::capture([&] {
    switch (c.reader) {
      case Reader::Any: r.result = Full_Read_MaxPlus_Matrix(in, *A); break;
      case Reader::Full: r.result = Full_Read_Full_MaxPlus_Matrix(in, *A); break;
      case Reader::Sparse: r.result = Full_Read_SP_MaxPlus_Matrix(in, *A); break;
    }
  });
  r.values = to_dense(*A);
  r.rest = mptest::rest(in);
  std::fclose(in);
  return r;
}

ReadResult read_sparse(const ReadCase& c) {
  ReadResult r;
  auto M = New_SP_MaxPlus_Matrix(2, 2, 1);
  FILE* in = mptest::text_stream(c.text);
  r.msgs = mptest::capture([&] {
    switch (c.reader) {
      case Reader::Any: r.result = SP_Read_MaxPlus_Matrix(in, *M); break;
      case Reader::Full: r.result = SP_Read_Full_MaxPlus_Matrix(in, *M); break;
      case Reader::Sparse: r.result = SP_Read_SP_MaxPlus_Matrix(in, *M); break;
    }
  });
  r.values = to_dense(*M);
  for (int i = 0; i < 2; ++i)
    for (int k = 0; k < M->Nb_Elts[i]; ++k) EXPECT_NE(M->Vals[i][k], eps) << "eps stored";
  r.rest = mptest::rest(in);
  std::fclose(in);
  return r;
}

void check(const ReadCase& c, const ReadResult& r) {
  EXPECT_EQ(r.result, c.result) << c.name;
  EXPECT_EQ(r.values, c.want) << c.name;
  EXPECT_EQ(r.msgs.out, c.out) << c.name;
  EXPECT_EQ(r.msgs.err, c.err) << c.name;
  EXPECT_EQ(r.rest, c.rest) << c.name;
}

// What both kinds of matrix read alike.
const std::vector<ReadCase> COMMON_CASES = {
    {"sparse form", Reader::Any, "sp 0 1 2.5 end tail", 1, {{eps, 2.5}, EMPTY22[1]}, "", "", " tail"},
    {"sparse form, other row", Reader::Any, "sp\n1 0 4\n0 0 -1\nend\n", 1, {{-1, eps}, {4, eps}}, "",
     "", "\n"},
    {"sparse form, no triple", Reader::Any, "sp end 1 2", 1, EMPTY22, "", "", " 1 2"},
    // The third item fails on "eps", which is then taken as the closing word.
    {"sparse form, eps value", Reader::Any, "sp 0 1 eps end", 1, EMPTY22, "", "", " end"},
    {"full form", Reader::Any, "1 eps\n-2 3.5 tail", 1, {{1, eps}, {-2, 3.5}}, "", "", " tail"},
    {"full form, number then letters", Reader::Any, "1x 2 3e1 4.25y", 1, {{1, 2}, {30, 4.25}}, "",
     "", ""},
    {"triples without sp", Reader::Sparse, "1 1 7 end", 1, {{eps, eps}, {eps, 7}}, "", "", ""},
    {"full without sp test", Reader::Full, "eps 1\n2 3", 1, {{eps, 1}, {2, 3}}, "", "", ""},
};

TEST(MatrixText, BothReadersReadTheSameTexts) {
  for (const ReadCase& c : COMMON_CASES) {
    check(c, read_full(c));
    check(c, read_sparse(c));
  }
}

TEST(MatrixText, FullReaderErrors) {
  const std::string long_word(300, 'z');
  const std::vector<ReadCase> cases = {
      {"letters", Reader::Any, "1 abc 3 4", 0, {{1, eps}, EMPTY22[1]},
       "FullMat: illegal matrix entry (0,1): abc.\n", "", " 3 4"},
      {"first word letters", Reader::Any, "spx 1 2 3", 0, EMPTY22,
       "FullMat: illegal matrix entry (0,0): spx.\n", "", " 1 2 3"},
      {"long word", Reader::Any, "1 2 " + long_word, 0, {{1, 2}, EMPTY22[1]},
       "FullMat: illegal matrix entry (1,0): " + long_word + ".\n", "", ""},
      {"text ends early", Reader::Any, "1 2 3", 0, {{1, 2}, {3, eps}},
       "FullMat: illegal matrix entry (1,1): .\n", "", ""},
      {"empty text", Reader::Any, "", 0, EMPTY22, "FullMat: illegal matrix entry (0,0): .\n", "", ""},
      {"below eps", Reader::Any, "-2e38 1 2 3", 1, {{eps, 1}, {2, 3}}, "",
       "FullMat: warning: matrix entry (-2.000000e+38) less than eps. eps assumed.\n", ""},
      {"triple outside", Reader::Any, "sp 0 1 2 5 0 3 1 1 1 end more", 0, {{eps, 2}, EMPTY22[1]},
       "Warning: setting value to (5,0) in a 2 x 2 matrix. Ignored.\n"
       "FullMat: Warning: failed to set entry (5,0) to 3.000000.\n",
       "", " 1 1 end more"},
      {"triple outside, no sp", Reader::Sparse, "0 -1 2 end", 0, EMPTY22,
       "Warning: setting value to (0,-1) in a 2 x 2 matrix. Ignored.\n"
       "FullMat: Warning: failed to set entry (0,-1) to 2.000000.\n",
       "", ""},
      {"entry reader: not a value", Reader::Full, "1 2 sp 4", 0, {{1, 2}, EMPTY22[1]},
       "FullMat: error: unexpected value (1,0) for matrix. Abort.\n", "", " 4"},
      {"entry reader: text ends", Reader::Full, "1", 0, {{1, eps}, EMPTY22[1]},
       "FullMat: error: unexpected value (0,1) for matrix. Abort.\n", "", ""},
      {"entry reader: below eps", Reader::Full, "-3e38 eps 1 2", 1, {{eps, eps}, {1, 2}}, "",
       "FullMat: warning: matrix entry (-3.000000e+38) less than eps. eps assumed.\n", ""},
      // No max-plus value is undefined or plus infinity; minus infinity is
      // below eps.
      {"not a number", Reader::Any, "1 nan 3 4", 0, {{1, eps}, EMPTY22[1]},
       "FullMat: illegal matrix entry (0,1): nan.\n", "", " 3 4"},
      {"plus infinity", Reader::Any, "1 2 inf 4", 0, {{1, 2}, EMPTY22[1]},
       "FullMat: illegal matrix entry (1,0): inf.\n", "", " 4"},
      {"minus infinity", Reader::Any, "-inf 1 2 3", 1, {{eps, 1}, {2, 3}}, "",
       "FullMat: warning: matrix entry (-inf) less than eps. eps assumed.\n", ""},
      {"triple not a number", Reader::Any, "sp 0 1 2 1 0 nan 1 1 1 end more",
       0, {{eps, 2}, EMPTY22[1]}, "FullMat: Warning: failed to set entry (1,0) to nan.\n", "",
       " 1 1 end more"},
      {"entry reader: infinity", Reader::Full, "1 infinity 3 4", 0, {{1, eps}, EMPTY22[1]},
       "FullMat: error: unexpected value (0,1) for matrix. Abort.\n", "", " 3 4"},
  };
  for (const ReadCase& c : cases) check(c, read_full(c));
}

TEST(MatrixText, SparseReaderErrors) {
  const std::vector<ReadCase> cases = {
      {"letters", Reader::Any, "1 abc 3 4", 0, {{1, eps}, EMPTY22[1]},
       "SpMat: illegal matrix entry (0,1): abc.\n", "", " 3 4"},
      {"text ends early", Reader::Any, "1 2 3", 0, {{1, 2}, {3, eps}},
       "SpMat: illegal matrix entry (1,1): .\n", "", ""},
      {"below eps", Reader::Any, "-2e38 1 2 3", 1, {{eps, 1}, {2, 3}}, "",
       "warning: matrix entry (-2.000000e+38) less than eps. eps assumed.\n", ""},
      {"triple outside", Reader::Any, "sp 0 1 2 5 0 3 1 1 1 end more", 0, {{eps, 2}, EMPTY22[1]},
       "Warning: setting value to (5,0) in a 2 x 2 matrix. Ignored.\n"
       "Warning: failed to set entry (5,0) to 3.000000.\n",
       "", " 1 1 end more"},
      {"triple with eps removes", Reader::Sparse, "0 0 1 1 1 2 0 0 -1e38 end", 1,
       {{eps, eps}, {eps, 2}}, "", "", ""},
      {"entry reader: letters", Reader::Full, "1 eps x 4", 0, {{1, eps}, EMPTY22[1]},
       "SpMat: illegal matrix entry x.\n"
       "SpMat: error: unexpected value (1,0) for matrix. Abort.\n",
       "", " 4"},
      {"entry reader: text ends", Reader::Full, "1 2 3", 0, {{1, 2}, {3, eps}},
       "SpMat: illegal matrix entry .\n"
       "SpMat: error: unexpected value (1,1) for matrix. Abort.\n",
       "", ""},
      // This reader keeps a value below eps as it stands.
      {"entry reader: below eps", Reader::Full, "-3e38 eps 1 2", 1, {{-3e38, eps}, {1, 2}}, "", "",
       ""},
      {"not a number", Reader::Any, "1 nan 3 4", 0, {{1, eps}, EMPTY22[1]},
       "SpMat: illegal matrix entry (0,1): nan.\n", "", " 3 4"},
      {"plus infinity", Reader::Any, "1 2 inf 4", 0, {{1, 2}, EMPTY22[1]},
       "SpMat: illegal matrix entry (1,0): inf.\n", "", " 4"},
      {"triple plus infinity", Reader::Sparse, "0 1 2 1 0 inf 1 1 1 end more", 0,
       {{eps, 2}, EMPTY22[1]}, "Warning: failed to set entry (1,0) to inf.\n", "",
       " 1 1 end more"},
      {"entry reader: not a number", Reader::Full, "1 NAN 3 4", 0, {{1, eps}, EMPTY22[1]},
       "SpMat: illegal matrix entry NAN.\n"
       "SpMat: error: unexpected value (0,1) for matrix. Abort.\n",
       "", " 3 4"},
  };
  for (const ReadCase& c : cases) check(c, read_sparse(c));
}

// --- Writers -------------------------------------------------------------------------

TEST(MatrixText, FullWriterFormats) {
  auto A = Make_Full_MaxPlus_Matrix(2, 2, {{1, eps}, {-2.5, 10}});
  auto write = [&](const FULL_MAXPLUS_MATRIX* M, int format, const char* name) {
    return mptest::written([&](FILE* f) { Write_Full_MaxPlus_Matrix(M, f, format, name); });
  };
  const std::string plain = "   1.0000    eps   \n  -2.5000  10.0000\n";
  EXPECT_EQ(write(A.get(), 0, "A"), plain);
  EXPECT_EQ(write(A.get(), 1, "A"), "sp\n 0  0   1.0000\n 1  0  -2.5000\n 1  1  10.0000\nend\n");
  EXPECT_EQ(write(A.get(), 2, "A"), "A=#([\n\t   1.0000   %0    ;\n\t  -2.5000  10.0000])\n");
  EXPECT_EQ(write(A.get(), 3, "A"), "Matrix A\n" + plain);
  EXPECT_EQ(write(A.get(), 3, nullptr), "Matrix <no name>\n" + plain);
  EXPECT_EQ(write(A.get(), 4, "A"), "");
  EXPECT_EQ(write(A.get(), -1, "A"), "");

  // A line break after every seventh column, and one at the end of the row.
  const std::string z = "   0.0000";
  EXPECT_EQ(write(New_Full_MaxPlus_Matrix(1, 7, 0).get(), 0, nullptr), z + z + z + z + z + z + z + "\n\n");
  auto wide = New_Full_MaxPlus_Matrix(2, 8, 1);
  const std::string e = "    eps   ";
  const std::string row = e + e + e + e + e + e + e + "\n" + e + "\n";
  EXPECT_EQ(write(wide.get(), 0, nullptr), row + row);
  EXPECT_EQ(write(wide.get(), 3, "W"), "Matrix W\n" + row + row);
  EXPECT_EQ(write(wide.get(), 1, nullptr), "sp\nend\n");

  // The documented example: read through the sparse form, written as sparse.
  auto B = New_Full_MaxPlus_Matrix(2, 2, 1);
  FILE* in = mptest::text_stream("sp 0 1 2.5 end");
  EXPECT_EQ(Full_Read_MaxPlus_Matrix(in, *B), 1);
  std::fclose(in);
  EXPECT_EQ(write(B.get(), 1, nullptr), "sp\n 0  1   2.5000\nend\n");

  std::string text = "unchanged";
  const auto o = mptest::capture([&] { text = write(nullptr, 0, "A"); });
  EXPECT_EQ(text, "");
  EXPECT_EQ(o.err, "FullMat: error: cannot print null matrix.\n");
  EXPECT_EQ(o.out, "");
}

TEST(MatrixText, SparseWriterFormats) {
  auto M = New_SP_MaxPlus_Matrix(3, 2, 1);
  // Row 1 stores column 1 first: the sparse listings keep storage order.
  Set_SP_Matrix_Entry(*M, 0, 0, 1);
  Set_SP_Matrix_Entry(*M, 1, 1, 10);
  Set_SP_Matrix_Entry(*M, 1, 0, -2.5);
  auto write = [&](const SP_MAXPLUS_MATRIX* S, int format, const char* name) {
    return mptest::written([&](FILE* f) { SP_Write_Matrix(S, f, format, name); });
  };
  const std::string plain = "   1.0000   eps   \n  -2.5000  10.0000\n   eps      eps   \n";
  EXPECT_EQ(write(M.get(), 0, "M"), plain);
  EXPECT_EQ(write(M.get(), 1, "M"), "sp\n  0  0   1.0000\n  1  1  10.0000\n  1  0  -2.5000\nend\n");
  EXPECT_EQ(write(M.get(), 2, "M"),
            "M=#([\n\t   1.0000   %0    ;\n\t  -2.5000  10.0000;\n\t   %0       %0    ])\n");
  EXPECT_EQ(write(M.get(), 3, "M"), "Matrix M\n[ 1] 0:  1.0000\n[ 2] 1: 10.0000 0: -2.5000\n[ 0]\n");
  EXPECT_EQ(write(M.get(), 3, nullptr).substr(0, 17), "Matrix <no name>\n");
  EXPECT_EQ(write(M.get(), 9, "M"), "");

  const std::string e = "   eps   ";
  EXPECT_EQ(write(New_SP_MaxPlus_Matrix(1, 7, 1).get(), 0, nullptr), e + e + e + e + e + e + e + "\n\n");

  std::string text = "unchanged";
  const auto o = mptest::capture([&] { text = write(nullptr, 1, "M"); });
  EXPECT_EQ(text, "");
  EXPECT_EQ(o.err, "SpMat: error: cannot print null matrix.\n");
}

// Formats 0 and 1 of either writer read back with either reader.
TEST(MatrixText, PlainAndSparseFormatsReadBack) {
  std::mt19937 gen(5);
  std::uniform_int_distribution<int> pick(-400, 400);
  for (int round = 0; round < 20; ++round) {
    const int rows = 1 + round % 4, cols = 1 + (round * 7) % 9;
    Dense d(rows, std::vector<double>(cols));
    for (auto& row : d)
      for (double& v : row) {
        const int p = pick(gen);
        v = p % 3 == 0 ? eps : p * 0.25;  // four decimals write exactly
      }
    auto A = Make_Full_MaxPlus_Matrix(rows, cols, d);
    auto M = Make_SP_MaxPlus_Matrix(rows, cols, d);
    for (int format : {0, 1}) {
      const std::string texts[] = {
          mptest::written([&](FILE* f) { Write_Full_MaxPlus_Matrix(A.get(), f, format, nullptr); }),
          mptest::written([&](FILE* f) { SP_Write_Matrix(M.get(), f, format, nullptr); }),
      };
      for (const std::string& text : texts) {
        auto A2 = New_Full_MaxPlus_Matrix(rows, cols, 1);
        auto M2 = New_SP_MaxPlus_Matrix(rows, cols, 1);
        FILE* in = mptest::text_stream(text + text);  // two matrices in a row
        const auto o = mptest::capture([&] {
          EXPECT_EQ(Full_Read_MaxPlus_Matrix(in, *A2), 1);
          EXPECT_EQ(SP_Read_MaxPlus_Matrix(in, *M2), 1);
        });
        EXPECT_EQ(o.out + o.err, "");
        EXPECT_EQ(mptest::rest(in).find_first_not_of(" \n"), std::string::npos);
        std::fclose(in);
        EXPECT_EQ(to_dense(*A2), d) << text;
        EXPECT_EQ(to_dense(*M2), d) << text;
      }
    }
  }
}

}  // namespace
