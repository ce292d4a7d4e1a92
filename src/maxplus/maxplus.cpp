#include "maxplus/maxplus.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>

namespace orv::mp {

int Debug = 0;

namespace {

constexpr const char* FULL_TAG = "FullMat";
constexpr const char* SP_TAG = "SpMat";
constexpr double eps = M_INFINITY;
// eps + a rounds back to eps exactly while |a| is below half an ulp of 1e38,
// and a term equal to eps is a no-op in a max that started at eps: so the
// kernels test for eps only where a huge value could make it count.
constexpr double EPS_ABSORBS = 0x1p73;

bool inside(int rows, int cols, int row, int col) {
  return row >= 0 && row < rows && col >= 0 && col < cols;
}

void warn_ignored_set(int row, int col, int rows, int cols) {
  std::fprintf(stdout, "Warning: setting value to (%d,%d) in a %d x %d matrix.", row, col, rows,
               cols);
  std::fprintf(stdout, " Ignored.\n");
}

bool same_size(const FULL_MAXPLUS_MATRIX& a, const FULL_MAXPLUS_MATRIX& b) {
  return a.Rows == b.Rows && a.Cols == b.Cols;
}

// A caller's row arrays must cover the whole shape.
bool covers(int rows, int cols, const std::vector<std::vector<double>>& init) {
  if (rows < 0 || cols < 0 || init.size() < static_cast<std::size_t>(rows)) return false;
  for (int i = 0; i < rows; ++i)
    if (init[i].size() < static_cast<std::size_t>(cols)) return false;
  return true;
}

// R = A (x) B into a matrix distinct from both. Row i of R gathers rows of
// B, four at a time, so each pass over the contiguous strip of r reads four
// strips of B per load and store of r, and the loop vectorises. eps entries
// of A skip their row of B. Blocks over k and j keep B's slab in cache while
// it serves every row of A.
void mult_into(const FULL_MAXPLUS_MATRIX& A, const FULL_MAXPLUS_MATRIX& B,
               FULL_MAXPLUS_MATRIX& R) {
  constexpr int K_BLOCK = 64;
  constexpr int J_BLOCK = 512;
  const int n = A.Rows;
  const int m = A.Cols;
  const int p = B.Cols;
  for (int i = 0; i < n; ++i) std::fill(R.Vals[i], R.Vals[i] + p, eps);
  int fast[K_BLOCK];
  for (int k0 = 0; k0 < m; k0 += K_BLOCK) {
    const int k1 = std::min(m, k0 + K_BLOCK);
    for (int j0 = 0; j0 < p; j0 += J_BLOCK) {
      const int w = std::min(p, j0 + J_BLOCK) - j0;
      for (int i = 0; i < n; ++i) {
        const double* a = A.Vals[i];
        double* __restrict r = R.Vals[i] + j0;
        int nf = 0;
        for (int k = k0; k < k1; ++k) {
          const double aik = a[k];
          if (aik == eps) continue;
          if (aik < EPS_ABSORBS && aik > -EPS_ABSORBS) {
            fast[nf++] = k;
            continue;
          }
          const double* b = B.Vals[k] + j0;
          for (int j = 0; j < w; ++j) r[j] = max(r[j], plus(aik, b[j]));
        }
        int t = 0;
        for (; t + 4 <= nf; t += 4) {
          const double a0 = a[fast[t]], a1 = a[fast[t + 1]];
          const double a2 = a[fast[t + 2]], a3 = a[fast[t + 3]];
          const double* __restrict b0 = B.Vals[fast[t]] + j0;
          const double* __restrict b1 = B.Vals[fast[t + 1]] + j0;
          const double* __restrict b2 = B.Vals[fast[t + 2]] + j0;
          const double* __restrict b3 = B.Vals[fast[t + 3]] + j0;
          for (int j = 0; j < w; ++j) {
            double v = r[j];
            const double s0 = a0 + b0[j], s1 = a1 + b1[j], s2 = a2 + b2[j], s3 = a3 + b3[j];
            v = v < s0 ? s0 : v;
            v = v < s1 ? s1 : v;
            v = v < s2 ? s2 : v;
            v = v < s3 ? s3 : v;
            r[j] = v;
          }
        }
        for (; t < nf; ++t) {
          const double a0 = a[fast[t]];
          const double* __restrict b0 = B.Vals[fast[t]] + j0;
          for (int j = 0; j < w; ++j) {
            const double s0 = a0 + b0[j];
            r[j] = r[j] < s0 ? s0 : r[j];
          }
        }
      }
    }
  }
}

template <class Fill>
bool init_rows(SP_MAXPLUS_MATRIX& M, Fill fill) {
  try {
    for (int i = 0; i < M.Rows; ++i) fill(i);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

void empty_row(SP_MAXPLUS_MATRIX& M, int i) {
  M.Nb_Elts[i] = 0;
  M.Elts.clear_row(static_cast<std::size_t>(i));
  M.Vals.clear_row(static_cast<std::size_t>(i));
}

// Row i becomes n entries: columns col(k), values val(k).
template <class Col, class Val>
void fill_row(SP_MAXPLUS_MATRIX& M, int i, int n, Col col, Val val) {
  const auto r = static_cast<std::size_t>(i);
  int* e = M.Elts.reserve_row(r, static_cast<std::size_t>(n));
  double* v = M.Vals.reserve_row(r, static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k) {
    e[k] = col(k);
    v[k] = val(k);
  }
  M.Elts.set_size(r, static_cast<std::size_t>(n));
  M.Vals.set_size(r, static_cast<std::size_t>(n));
  M.Nb_Elts[i] = n;
}

}  // namespace

// --- Full matrices -------------------------------------------------------------

Full_MaxPlus_Matrix New_Full_MaxPlus_Matrix(int Rows, int Cols, int Init_Mode) {
  if (Rows < 0 || Cols < 0) return nullptr;
  Full_MaxPlus_Matrix A;
  try {
    A = std::make_unique<FULL_MAXPLUS_MATRIX>();
    A->Rows = Rows;
    A->Cols = Cols;
    A->Vals = Full_Rows(Rows, Cols);
  } catch (const std::bad_alloc&) {
    return nullptr;
  } catch (const std::length_error&) {
    return nullptr;
  }
  if (!Init_Full_MaxPlus_Matrix(*A, Init_Mode)) return nullptr;
  return A;
}

int Init_Full_MaxPlus_Matrix(FULL_MAXPLUS_MATRIX& A, int Init_Mode) {
  switch (Init_Mode) {
    case 0:
      break;
    case 1:
      std::fill(A.Vals.data(), A.Vals.data() + A.Vals.size(), eps);
      break;
    case 2:
      for (int i = 0; i < A.Rows; ++i)
        for (int j = 0; j < A.Cols; ++j) A.Vals[i][j] = i == j ? 0.0 : eps;
      break;
    case 3:
      std::fill(A.Vals.data(), A.Vals.data() + A.Vals.size(), 0.0);
      break;
    default:
      std::fprintf(stdout, "%s: error: illegal init mode (%d) for matrices.\n", FULL_TAG,
                   Init_Mode);
      return 0;
  }
  return 1;
}

Full_MaxPlus_Matrix Make_Full_MaxPlus_Matrix(int Rows, int Cols,
                                             const std::vector<std::vector<double>>& Init) {
  if (!covers(Rows, Cols, Init)) return nullptr;
  Full_MaxPlus_Matrix A = New_Full_MaxPlus_Matrix(Rows, Cols, 0);
  if (!A) return nullptr;
  for (int i = 0; i < Rows; ++i) std::copy_n(Init[i].data(), Cols, A->Vals[i]);
  return A;
}

Full_MaxPlus_Matrix Copy_Full_MaxPlus_Matrix(const FULL_MAXPLUS_MATRIX& A) {
  Full_MaxPlus_Matrix C = New_Full_MaxPlus_Matrix(A.Rows, A.Cols, 0);
  if (!C) return nullptr;
  std::copy_n(A.Vals.data(), A.Vals.size(), C->Vals.data());
  return C;
}

void Free_Full_MaxPlus_Matrix(Full_MaxPlus_Matrix& A) { A.reset(); }

double Get_Full_Matrix_Entry(const FULL_MAXPLUS_MATRIX& A, int Row, int Col) {
  if (!inside(A.Rows, A.Cols, Row, Col)) {
    std::fprintf(stdout, "%s: warning: illegal entry (%d,%d) for a %d x %d matrix.", FULL_TAG, Row,
                 Col, A.Rows, A.Cols);
    std::fprintf(stdout, " eps assumed.\n");
    return eps;
  }
  return A.Vals[Row][Col];
}

int Set_Full_Matrix_Entry(FULL_MAXPLUS_MATRIX& A, int Row, int Col, double Val) {
  if (!inside(A.Rows, A.Cols, Row, Col)) {
    warn_ignored_set(Row, Col, A.Rows, A.Cols);
    return 0;
  }
  A.Vals[Row][Col] = Val;
  return 1;
}

void Full_MM_Mult(const FULL_MAXPLUS_MATRIX& A, const FULL_MAXPLUS_MATRIX& B,
                  FULL_MAXPLUS_MATRIX& R) {
  if (A.Cols != B.Rows || R.Rows != A.Rows || R.Cols != B.Cols) {
    std::fprintf(stderr, "%s: error: incompatible matrix sizes. No product.\n", FULL_TAG);
    return;
  }
  if (&R != &A && &R != &B) {
    mult_into(A, B, R);
    return;
  }
  // The result would overwrite an operand still being read.
  FULL_MAXPLUS_MATRIX T;
  T.Rows = R.Rows;
  T.Cols = R.Cols;
  T.Vals = Full_Rows(R.Rows, R.Cols);
  mult_into(A, B, T);
  R.Vals = std::move(T.Vals);
}

namespace {

template <class Op>
void entrywise(const FULL_MAXPLUS_MATRIX& A, const FULL_MAXPLUS_MATRIX& B, FULL_MAXPLUS_MATRIX& R,
               Op op) {
  if (!same_size(A, B) || !same_size(A, R)) {
    std::fprintf(stderr, "%s: error: incompatible matrix sizes. No sum.\n", FULL_TAG);
    return;
  }
  const double* a = A.Vals.data();
  const double* b = B.Vals.data();
  double* r = R.Vals.data();
  for (std::size_t k = 0; k < R.Vals.size(); ++k) r[k] = op(a[k], b[k]);
}

}  // namespace

void Full_MM_Sum(const FULL_MAXPLUS_MATRIX& A, const FULL_MAXPLUS_MATRIX& B,
                 FULL_MAXPLUS_MATRIX& R) {
  entrywise(A, B, R, [](double x, double y) { return max(x, y); });
}

void Full_MM_Standard_Sum(const FULL_MAXPLUS_MATRIX& A, const FULL_MAXPLUS_MATRIX& B,
                          FULL_MAXPLUS_MATRIX& R) {
  entrywise(A, B, R, [](double x, double y) { return plus(x, y); });
}

void Full_Standard_Scalar_Product(const FULL_MAXPLUS_MATRIX& A, FULL_MAXPLUS_MATRIX& B,
                                  double Factor) {
  if (!same_size(A, B)) {
    std::fprintf(stderr, "%s: error: incompatible matrix sizes. No scalar product.\n", FULL_TAG);
    return;
  }
  const double* a = A.Vals.data();
  double* b = B.Vals.data();
  for (std::size_t k = 0; k < B.Vals.size(); ++k) b[k] = a[k] == eps ? eps : Factor * a[k];
}

double Full_Matrix_Norm(const FULL_MAXPLUS_MATRIX& A) {
  double norm = eps;
  const double* a = A.Vals.data();
  for (std::size_t k = 0; k < A.Vals.size(); ++k) norm = max(norm, a[k]);
  return norm;
}

double Full_Matrix_Min(const FULL_MAXPLUS_MATRIX& A) {
  if (A.Vals.size() == 0) return eps;
  const double* a = A.Vals.data();
  double low = a[0];
  for (std::size_t k = 1; k < A.Vals.size(); ++k) low = min(low, a[k]);
  return low;
}

// --- Sparse matrices -------------------------------------------------------------

SP_MaxPlus_Matrix New_SP_MaxPlus_Matrix(int Rows, int Cols, int Init_Mode) {
  if (Rows < 0 || Cols < 0) return nullptr;
  SP_MaxPlus_Matrix M;
  try {
    M = std::make_unique<SP_MAXPLUS_MATRIX>();
    M->Rows = Rows;
    M->Cols = Cols;
    M->Nb_Elts.assign(Rows, 0);
    M->Elts.resize(Rows);
    M->Vals.resize(Rows);
  } catch (const std::bad_alloc&) {
    return nullptr;
  } catch (const std::length_error&) {
    return nullptr;
  }
  // An illegal mode is reported, yet the empty matrix is still usable.
  Init_SP_MaxPlus_Matrix(*M, Init_Mode);
  return M;
}

int Init_SP_MaxPlus_Matrix(SP_MAXPLUS_MATRIX& M, int Init_Mode) {
  switch (Init_Mode) {
    case 0:
      return 1;
    case 1:
      M.Nb_Elts.assign(static_cast<std::size_t>(M.Rows), 0);
      M.Elts.clear_rows();
      M.Vals.clear_rows();
      M.Huge = false;
      return 1;
    case 2:
      // A tall matrix has no diagonal entry below its last column.
      return init_rows(M, [&M](int i) {
        if (i >= M.Cols) {
          empty_row(M, i);
          return;
        }
        fill_row(M, i, 1, [i](int) { return i; }, [](int) { return 0.0; });
      }) ? 1 : 0;
    case 3:
      return init_rows(M, [&M](int i) {
        fill_row(M, i, M.Cols, [](int j) { return j; }, [](int) { return 0.0; });
      }) ? 1 : 0;
    default:
      std::fprintf(stdout, "%s: error: illegal init mode (%d) for matrices.\n", SP_TAG, Init_Mode);
      return 0;
  }
}

SP_MaxPlus_Matrix Make_SP_MaxPlus_Matrix(int Rows, int Cols,
                                         const std::vector<std::vector<double>>& Vals) {
  if (!covers(Rows, Cols, Vals)) return nullptr;
  SP_MaxPlus_Matrix M = New_SP_MaxPlus_Matrix(Rows, Cols, 0);
  if (!M) return nullptr;
  const bool ok = init_rows(*M, [&](int i) {
    const double* row = Vals[i].data();
    const int n = static_cast<int>(std::count_if(row, row + Cols, [](double v) { return v != eps; }));
    if (n == 0) return;
    const auto r = static_cast<std::size_t>(i);
    int* e = M->Elts.reserve_row(r, static_cast<std::size_t>(n));
    double* v = M->Vals.reserve_row(r, static_cast<std::size_t>(n));
    int k = 0;
    for (int j = 0; j < Cols; ++j) {
      if (row[j] == eps) continue;
      e[k] = j;
      v[k++] = row[j];
      if (row[j] >= EPS_ABSORBS) M->Huge = true;
    }
    M->Elts.set_size(r, static_cast<std::size_t>(n));
    M->Vals.set_size(r, static_cast<std::size_t>(n));
    M->Nb_Elts[i] = n;
  });
  if (!ok) return nullptr;
  return M;
}

Full_MaxPlus_Matrix Convert_SP_Matrix_To_Full(const SP_MAXPLUS_MATRIX& M) {
  Full_MaxPlus_Matrix A = New_Full_MaxPlus_Matrix(M.Rows, M.Cols, 1);
  if (!A) return nullptr;
  for (int i = 0; i < M.Rows; ++i) {
    double* row = A->Vals[i];
    for (int k = 0; k < M.Nb_Elts[i]; ++k) {
      const int j = M.Elts[i][k];
      if (j >= 0 && j < M.Cols) row[j] = M.Vals[i][k];
    }
  }
  return A;
}

void Free_SP_MaxPlus_Matrix(SP_MaxPlus_Matrix& M) { M.reset(); }

int Set_SP_Matrix_Entry(SP_MAXPLUS_MATRIX& M, int Row, int Col, double Val) {
  if (!inside(M.Rows, M.Cols, Row, Col)) {
    warn_ignored_set(Row, Col, M.Rows, M.Cols);
    return 0;
  }
  const auto r = static_cast<std::size_t>(Row);
  const int* elts = M.Elts[r].data();
  const int n = M.Nb_Elts[Row];
  for (int k = 0; k < n; ++k) {
    if (elts[k] != Col) continue;
    if (Val == eps) {
      M.Elts.erase(r, static_cast<std::size_t>(k));
      M.Vals.erase(r, static_cast<std::size_t>(k));
      M.Nb_Elts[Row] = n - 1;
    } else {
      M.Vals.row_data(r)[k] = Val;
      if (Val >= EPS_ABSORBS) M.Huge = true;
    }
    return 1;
  }
  if (Val == eps) return 1;
  try {
    // Room in both first, so that a failure leaves the row as it was.
    M.Elts.reserve_row(r, static_cast<std::size_t>(n) + 1);
    M.Vals.reserve_row(r, static_cast<std::size_t>(n) + 1);
  } catch (const std::bad_alloc&) {
    return 0;
  } catch (const std::length_error&) {
    return 0;
  }
  M.Elts.push_back(r, Col);
  M.Vals.push_back(r, Val);
  if (Val >= EPS_ABSORBS) M.Huge = true;
  M.Nb_Elts[Row] = n + 1;
  return 1;
}

double Get_SP_Matrix_Entry(const SP_MAXPLUS_MATRIX& M, int Row, int Col) {
  if (Row < 0 || Row >= M.Rows) return eps;
  const int* elts = M.Elts[Row].data();
  for (int k = 0; k < M.Nb_Elts[Row]; ++k)
    if (elts[k] == Col) return M.Vals[Row][k];
  return eps;
}

// --- Vectors and products ------------------------------------------------------------

SP_MaxPlus_Vector New_SP_MaxPlus_Vector(int Size, int Init_Mode) {
  if (Init_Mode != 0 && Init_Mode != 1 && Init_Mode != 3) {
    std::fprintf(stdout, "%s: error: illegal init mode (%d) for vectors.\n", SP_TAG, Init_Mode);
    return nullptr;
  }
  if (Size < 0) return nullptr;
  SP_MaxPlus_Vector V;
  try {
    V = std::make_unique<SP_MAXPLUS_VECTOR>();
    V->Size = Size;
    V->Vals.assign(Size, Init_Mode == 1 ? eps : 0.0);
  } catch (const std::bad_alloc&) {
    return nullptr;
  } catch (const std::length_error&) {
    return nullptr;
  }
  return V;
}

void Free_SP_MaxPlus_Vector(SP_MaxPlus_Vector& V) { V.reset(); }

namespace {

void mv_into(const SP_MAXPLUS_MATRIX& M, const double* x, double* res) {
  if (!M.Huge) {
    // No stored value can lift eps + value above eps: a plain loop.
    for (int i = 0; i < M.Rows; ++i) {
      const int* elts = M.Elts[static_cast<std::size_t>(i)].data();
      const double* vals = M.Vals[static_cast<std::size_t>(i)].data();
      const int n = M.Nb_Elts[i];
      double r = eps;
      for (int k = 0; k < n; ++k) {
        const double s = x[elts[k]] + vals[k];
        r = r < s ? s : r;
      }
      res[i] = r;
    }
    return;
  }
  for (int i = 0; i < M.Rows; ++i) {
    const int* elts = M.Elts[i].data();
    const double* vals = M.Vals[i].data();
    const int n = M.Nb_Elts[i];
    double r = eps;
    double top = eps;
    for (int k = 0; k < n; ++k) {
      const double v = vals[k];
      const double s = x[elts[k]] + v;
      r = r < s ? s : r;
      top = top < v ? v : top;
    }
    // Only a huge positive value can lift eps + v above eps.
    if (top >= EPS_ABSORBS) {
      r = eps;
      for (int k = 0; k < n; ++k) r = max(r, plus(x[elts[k]], vals[k]));
    }
    res[i] = r;
  }
}

void vm_into(const double* x, const SP_MAXPLUS_MATRIX& M, double* res) {
  std::fill(res, res + M.Cols, eps);
  for (int i = 0; i < M.Rows; ++i) {
    const double xi = x[i];
    if (xi == eps) continue;
    const int* elts = M.Elts[i].data();
    const double* vals = M.Vals[i].data();
    for (int k = 0; k < M.Nb_Elts[i]; ++k) {
      double& r = res[elts[k]];
      r = max(r, xi + vals[k]);
    }
  }
}

void report_mv_sizes() {
  std::fprintf(stderr, "Error: incompatible matrix/vector sizes in VM_Mult.\n");
}

}  // namespace

void SP_MV_Mult(const SP_MAXPLUS_MATRIX& M, const SP_MAXPLUS_VECTOR& X, SP_MAXPLUS_VECTOR& Res) {
  if (M.Cols != X.Size || Res.Size != M.Rows) {
    report_mv_sizes();
    return;
  }
  if (&Res != &X) {
    mv_into(M, X.Vals.data(), Res.Vals.data());
    return;
  }
  std::vector<double> out(Res.Size);
  mv_into(M, X.Vals.data(), out.data());
  Res.Vals = std::move(out);
}

void SP_VM_Mult(const SP_MAXPLUS_VECTOR& X, const SP_MAXPLUS_MATRIX& M, SP_MAXPLUS_VECTOR& Res) {
  if (M.Rows != X.Size || Res.Size != M.Cols) {
    report_mv_sizes();
    return;
  }
  if (&Res != &X) {
    vm_into(X.Vals.data(), M, Res.Vals.data());
    return;
  }
  std::vector<double> out(Res.Size);
  vm_into(X.Vals.data(), M, out.data());
  Res.Vals = std::move(out);
}

double SP_Matrix_Norm(const SP_MAXPLUS_MATRIX& M) {
  double norm = eps;
  for (int i = 0; i < M.Rows; ++i)
    for (int k = 0; k < M.Nb_Elts[i]; ++k) norm = max(norm, M.Vals[i][k]);
  return norm;
}

double SP_Vector_Norm(const SP_MAXPLUS_VECTOR& V) {
  double norm = eps;
  for (int i = 0; i < V.Size; ++i) norm = max(norm, V.Vals[i]);
  return norm;
}

double SP_Vector_Min(const SP_MAXPLUS_VECTOR& V) {
  if (V.Size <= 0) return eps;
  double low = V.Vals[0];
  for (int i = 1; i < V.Size; ++i) low = min(low, V.Vals[i]);
  return low;
}

void SP_Write_Vector(const SP_MAXPLUS_VECTOR& V, FILE* Output) {
  for (int i = 0; i < V.Size; ++i) {
    if (V.Vals[i] == eps)
      std::fprintf(Output, "   eps   ");
    else
      std::fprintf(Output, " %8.4f", V.Vals[i]);
  }
  std::fprintf(Output, "\n");
}

}  // namespace orv::mp
