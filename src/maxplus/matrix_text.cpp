// Reading and writing max-plus matrices as text.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "maxplus/maxplus.h"
#include "maxplus/text_words.h"

namespace orv::mp {

namespace {

constexpr const char* FULL_TAG = "FullMat";
constexpr const char* SP_TAG = "SpMat";
constexpr double eps = M_INFINITY;

using text::read_word;

// No max-plus value is undefined or plus infinity; minus infinity stays a
// value below eps.
bool is_value(double v) { return !std::isnan(v) && v != HUGE_VAL; }

// "%lf" applied to a word: a leading number counts ("1x" is 1).
bool word_real(const std::string& word, double& value) {
  return std::sscanf(word.c_str(), "%lf", &value) == 1 && is_value(value);
}

void warn_below_eps(const char* tag, double value) {
  if (tag)
    std::fprintf(stderr, "%s: warning: matrix entry (%e) less than eps.", tag, value);
  else
    std::fprintf(stderr, "warning: matrix entry (%e) less than eps.", value);
  std::fprintf(stderr, " eps assumed.\n");
}

void warn_failed_set(const char* tag, int row, int col, double value) {
  if (tag)
    std::fprintf(stdout, "%s: Warning: failed to set entry (%d,%d) to %f.\n", tag, row, col,
                 value);
  else
    std::fprintf(stdout, "Warning: failed to set entry (%d,%d) to %f.\n", row, col, value);
}

// Triples until one does not match, then the closing word. A triple that
// cannot be stored ends the list too, and makes the read a failure: what
// follows it in the text is left unread.
template <class Store>
int read_triples(FILE* in, const char* tag, Store store) {
  int ok = 1;
  int row = 0;
  int col = 0;
  double value = 0;
  while (std::fscanf(in, "%d %d %lf", &row, &col, &value) == 3) {
    if (!is_value(value) || !store(row, col, value)) {
      warn_failed_set(tag, row, col, value);
      ok = 0;
      break;
    }
  }
  std::string closing;
  read_word(in, closing);
  return ok;
}

// The full form after its first word. Store(row, col, value) returns 0 to
// stop (having reported why). A word missing at the end of the text is an
// illegal entry with an empty word.
template <class Store>
int read_words(FILE* in, int rows, int cols, std::string word, bool have, const char* tag,
               const char* below_eps_tag, Store store) {
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < cols; ++j) {
      if (i != 0 || j != 0) have = read_word(in, word);
      double value = 0;
      if (have && word_real(word, value)) {
        if (value < eps) {
          warn_below_eps(below_eps_tag, value);
          value = eps;
        }
      } else if (have && word == "eps") {
        value = eps;
      } else {
        std::fprintf(stdout, "%s: illegal matrix entry (%d,%d): %s.\n", tag, i, j, word.c_str());
        return 0;
      }
      if (!store(i, j, value)) return 0;
    }
  }
  return 1;
}

void write_plain_rows(FILE* out, int rows, int cols, const char* eps_word, auto value_at) {
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < cols; ++j) {
      const double v = value_at(i, j);
      if (v == eps)
        std::fprintf(out, "%s", eps_word);
      else
        std::fprintf(out, " %8.4f", v);
      if ((j + 1) % 7 == 0) std::fprintf(out, "\n");
    }
    std::fprintf(out, "\n");
  }
}

void write_outside_tool(FILE* out, int rows, int cols, const char* name, auto value_at) {
  std::fprintf(out, "%s=#([\n\t", name ? name : "");
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < cols; ++j) {
      const double v = value_at(i, j);
      if (v == eps)
        std::fprintf(out, "   %%0    ");
      else
        std::fprintf(out, " %8.4f", v);
    }
    if (i + 1 < rows) std::fprintf(out, ";\n\t");
  }
  // Even a matrix without rows closes its bracket.
  std::fprintf(out, "])\n");
}

void write_title(FILE* out, const char* name) {
  std::fprintf(out, "Matrix %s\n", name ? name : "<no name>");
}

}  // namespace

// --- Full matrices -----------------------------------------------------------------

int Full_Read_SP_Matrix_Entry(FULL_MAXPLUS_MATRIX& A, int Row, int Col, double Val) {
  return Set_Full_Matrix_Entry(A, Row, Col, Val);
}

int Full_Read_MaxPlus_Matrix(FILE* Input, FULL_MAXPLUS_MATRIX& A) {
  std::string word;
  const bool have = read_word(Input, word);
  if (have && word == "sp") return Full_Read_SP_MaxPlus_Matrix(Input, A);
  return read_words(Input, A.Rows, A.Cols, word, have, FULL_TAG, FULL_TAG, [&A](int i, int j, double v) {
    A.Vals[i][j] = v;
    return 1;
  });
}

int Full_Read_SP_MaxPlus_Matrix(FILE* Input, FULL_MAXPLUS_MATRIX& A) {
  return read_triples(Input, FULL_TAG, [&A](int i, int j, double v) {
    return Full_Read_SP_Matrix_Entry(A, i, j, v);
  });
}

int Full_Read_Full_Matrix_Entry(FILE* Input, FULL_MAXPLUS_MATRIX& A, int Row, int Col) {
  std::string word;
  if (!read_word(Input, word)) return 0;
  double value = 0;
  if (word_real(word, value)) {
    if (value < eps) {
      warn_below_eps(FULL_TAG, value);
      value = eps;
    }
  } else if (word == "eps") {
    value = eps;
  } else {
    return 0;
  }
  return Set_Full_Matrix_Entry(A, Row, Col, value);
}

int Full_Read_Full_MaxPlus_Matrix(FILE* Input, FULL_MAXPLUS_MATRIX& A) {
  for (int i = 0; i < A.Rows; ++i) {
    for (int j = 0; j < A.Cols; ++j) {
      if (!Full_Read_Full_Matrix_Entry(Input, A, i, j)) {
        std::fprintf(stdout, "%s: error: unexpected value (%d,%d) for matrix. Abort.\n", FULL_TAG,
                     i, j);
        return 0;
      }
    }
  }
  return 1;
}

void Write_Full_MaxPlus_Matrix(const FULL_MAXPLUS_MATRIX* A, FILE* Output, int Format,
                               const char* Name) {
  if (!A) {
    std::fprintf(stderr, "%s: error: cannot print null matrix.\n", FULL_TAG);
    return;
  }
  auto value_at = [A](int i, int j) { return A->Vals[i][j]; };
  switch (Format) {
    case 0:
      write_plain_rows(Output, A->Rows, A->Cols, "    eps   ", value_at);
      break;
    case 1:
      std::fprintf(Output, "sp\n");
      for (int i = 0; i < A->Rows; ++i)
        for (int j = 0; j < A->Cols; ++j)
          if (A->Vals[i][j] != eps) std::fprintf(Output, "%2d %2d %8.4f\n", i, j, A->Vals[i][j]);
      std::fprintf(Output, "end\n");
      break;
    case 2:
      write_outside_tool(Output, A->Rows, A->Cols, Name, value_at);
      break;
    case 3:
      write_title(Output, Name);
      write_plain_rows(Output, A->Rows, A->Cols, "    eps   ", value_at);
      break;
    default:
      break;
  }
}

// --- Sparse matrices -------------------------------------------------------------------

int SP_Read_SP_Matrix_Entry(SP_MAXPLUS_MATRIX& M, int Row, int Col, double Val) {
  return Set_SP_Matrix_Entry(M, Row, Col, Val);
}

int SP_Read_MaxPlus_Matrix(FILE* Input, SP_MAXPLUS_MATRIX& M) {
  std::string word;
  const bool have = read_word(Input, word);
  if (have && word == "sp") return SP_Read_SP_MaxPlus_Matrix(Input, M);
  return read_words(Input, M.Rows, M.Cols, word, have, SP_TAG, nullptr, [&M](int i, int j, double v) {
    if (Set_SP_Matrix_Entry(M, i, j, v)) return 1;
    warn_failed_set(nullptr, i, j, v);
    return 0;
  });
}

int SP_Read_SP_MaxPlus_Matrix(FILE* Input, SP_MAXPLUS_MATRIX& M) {
  return read_triples(Input, nullptr, [&M](int i, int j, double v) {
    return SP_Read_SP_Matrix_Entry(M, i, j, v);
  });
}

int SP_Read_Full_Matrix_Entry(FILE* Input, SP_MAXPLUS_MATRIX& M, int Row, int Col) {
  std::string word;
  const bool have = read_word(Input, word);
  double value = 0;
  if (have && word_real(word, value)) {
    if (Set_SP_Matrix_Entry(M, Row, Col, value)) return 1;
    warn_failed_set(nullptr, Row, Col, value);
    return 0;
  }
  if (have && word == "eps") return 1;
  std::fprintf(stdout, "%s: illegal matrix entry %s.\n", SP_TAG, word.c_str());
  return 0;
}

int SP_Read_Full_MaxPlus_Matrix(FILE* Input, SP_MAXPLUS_MATRIX& M) {
  for (int i = 0; i < M.Rows; ++i) {
    for (int j = 0; j < M.Cols; ++j) {
      if (!SP_Read_Full_Matrix_Entry(Input, M, i, j)) {
        std::fprintf(stdout, "%s: error: unexpected value (%d,%d) for matrix. Abort.\n", SP_TAG, i,
                     j);
        return 0;
      }
    }
  }
  return 1;
}

void SP_Write_Matrix(const SP_MAXPLUS_MATRIX* M, FILE* Output, int Format, const char* Name) {
  if (!M) {
    std::fprintf(stderr, "%s: error: cannot print null matrix.\n", SP_TAG);
    return;
  }
  // One dense row at a time, so a row costs its columns plus its entries.
  std::vector<double> row(static_cast<std::size_t>(M->Cols), eps);
  int row_held = -1;
  auto value_at = [M, &row, &row_held](int i, int j) {
    if (i != row_held) {
      std::fill(row.begin(), row.end(), eps);
      for (int k = 0; k < M->Nb_Elts[i]; ++k) row[M->Elts[i][k]] = M->Vals[i][k];
      row_held = i;
    }
    return row[j];
  };
  switch (Format) {
    case 0:
      write_plain_rows(Output, M->Rows, M->Cols, "   eps   ", value_at);
      break;
    case 1:
      std::fprintf(Output, "sp\n");
      for (int i = 0; i < M->Rows; ++i)
        for (int k = 0; k < M->Nb_Elts[i]; ++k)
          std::fprintf(Output, " %2d %2d %8.4f\n", i, M->Elts[i][k], M->Vals[i][k]);
      std::fprintf(Output, "end\n");
      break;
    case 2:
      write_outside_tool(Output, M->Rows, M->Cols, Name, value_at);
      break;
    case 3:
      write_title(Output, Name);
      for (int i = 0; i < M->Rows; ++i) {
        std::fprintf(Output, "[%2d]", M->Nb_Elts[i]);
        for (int k = 0; k < M->Nb_Elts[i]; ++k)
          std::fprintf(Output, " %d:%8.4f", M->Elts[i][k], M->Vals[i][k]);
        std::fprintf(Output, "\n");
      }
      break;
    default:
      break;
  }
}

}  // namespace orv::mp
