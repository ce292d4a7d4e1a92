#include <new>

#include "markov/markov.h"

namespace orv::mc {

namespace {

bool in_matrix(const SP_REAL_MATRIX& M, int row, int column) {
  // A column outside the matrix would later send a walk to a state that
  // does not exist: it is refused like a bad row.
  if (row >= 0 && row < M.Size && column >= 0 && column < M.Size) return true;
  std::printf("Warning: setting value to (%d,%d) in matrix of size %d.", row, column, M.Size);
  std::printf(" Ignored.\n");
  return false;
}

}  // namespace

bool New_SP_Real_Matrix(SP_REAL_MATRIX& M, int Size) {
  if (Size < 0 || Size > kMaxSize) return false;
  try {
    M.Size = Size;
    M.Elts.assign(Size, {});
    M.Vals.assign(Size, {});
  } catch (const std::bad_alloc&) {
    M = SP_REAL_MATRIX{};
    return false;
  }
  return true;
}

int Set_Sparse_Matrix_Entry(SP_REAL_MATRIX& M, int row, int column, double value) {
  if (!in_matrix(M, row, column)) return 0;
  try {
    M.Elts[row].push_back(column);
    M.Vals[row].push_back(value);
  } catch (const std::bad_alloc&) {
    if (M.Elts[row].size() > M.Vals[row].size()) M.Elts[row].pop_back();
    return 0;
  }
  return 1;
}

int Add_To_Sparse_Matrix_Entry(SP_REAL_MATRIX& M, int row, int column, double value) {
  if (!in_matrix(M, row, column)) return 0;
  std::vector<int>& e = M.Elts[row];
  for (std::size_t k = 0; k < e.size(); ++k)
    if (e[k] == column) {
      M.Vals[row][k] += value;
      return 1;
    }
  return Set_Sparse_Matrix_Entry(M, row, column, value);
}

double Get_Sparse_Matrix_Entry(const SP_REAL_MATRIX& M, int row, int column) {
  if (row < 0 || row >= M.Size) return 0.0;
  const std::vector<int>& e = M.Elts[row];
  for (std::size_t k = e.size(); k-- > 0;)
    if (e[k] == column) return M.Vals[row][k];
  return 0.0;
}

double Row_Sum(const SP_REAL_MATRIX& M, int row) {
  double s = 0.0;
  for (double v : M.Vals[row]) s += v;
  return s;
}

void VM_Mult(const std::vector<double>& v, const SP_REAL_MATRIX& M, std::vector<double>& w) {
  w.assign(M.Size, 0.0);
  for (int i = 0; i < M.Size; ++i) {
    const double vi = v[i];
    const std::vector<int>& e = M.Elts[i];
    const std::vector<double>& x = M.Vals[i];
    for (std::size_t k = 0; k < e.size(); ++k) w[e[k]] += vi * x[k];
  }
}

void Write_Matrix(FILE* stream, const SP_REAL_MATRIX& M, bool Full) {
  for (int i = 0; i < M.Size; ++i) {
    std::fprintf(stream, "[%2d]", M.Nb_Elts(i));
    if (Full) {
      for (int j = 0; j < M.Size; ++j) std::fprintf(stream, " %8.4f", Get_Sparse_Matrix_Entry(M, i, j));
    } else {
      for (int k = 0; k < M.Nb_Elts(i); ++k)
        std::fprintf(stream, " %d:%8.4f", M.Elts[i][k], M.Vals[i][k]);
    }
    std::fprintf(stream, "\n");
  }
}

int Read_Full_Matrix_Entry(FILE* stream, SP_REAL_MATRIX& M, int row, int column) {
  double v;
  if (std::fscanf(stream, "%lf", &v) != 1) return 0;
  return Set_Sparse_Matrix_Entry(M, row, column, v);
}

int Read_Sparse_Matrix_Entry(FILE* stream, SP_REAL_MATRIX& M) {
  int r, c;
  double v;
  if (std::fscanf(stream, "%d %d %lf", &r, &c, &v) != 3) return 0;
  return Set_Sparse_Matrix_Entry(M, r, c, v);
}

}  // namespace orv::mc
