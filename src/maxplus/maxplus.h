// Max-plus scalars, full and sparse matrices and dense vectors.
//
// The semiring: addition is max, multiplication is +, the zero (eps) is
// M_INFINITY and the unit is 0. Every test for eps compares exactly with
// M_INFINITY, so a value below it (a sum of two large negatives) is an
// ordinary number. Library messages carry the tags "FullMat" and "SpMat".
//
// Objects are held through the handle types (unique_ptr); the builders return
// an empty handle where the C interface returned none. Operations take
// references; the writers take pointers since they accept a missing matrix.
// The Rows/Cols/Size fields and the per-row arrays are public for reading;
// change them only through these functions, which keep them consistent.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <iterator>
#include <memory>
#include <vector>

namespace orv::mp {

inline constexpr double M_INFINITY = -1e38;

// The trace flag of the max-plus library ("-debug" of its programs).
extern int Debug;

// --- Scalars ---------------------------------------------------------------

inline double max(double a, double b) { return a < b ? b : a; }
inline double min(double a, double b) { return b < a ? b : a; }
// Max-plus product: eps absorbs.
inline double plus(double a, double b) {
  return (a == M_INFINITY || b == M_INFINITY) ? M_INFINITY : a + b;
}

// --- Full matrices -----------------------------------------------------------

// Row-major storage of a Rows x Cols block, addressed as Vals[row][col].
class Full_Rows {
 public:
  Full_Rows() = default;
  Full_Rows(int rows, int cols)
      : cols_(cols), data_(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols), 0.0) {}
  double* operator[](int row) { return data_.data() + static_cast<std::size_t>(row) * cols_; }
  const double* operator[](int row) const {
    return data_.data() + static_cast<std::size_t>(row) * cols_;
  }
  double* data() { return data_.data(); }
  const double* data() const { return data_.data(); }
  std::size_t size() const { return data_.size(); }

 private:
  std::size_t cols_ = 0;
  std::vector<double> data_;
};

struct FULL_MAXPLUS_MATRIX {
  int Rows = 0;
  int Cols = 0;
  Full_Rows Vals;
};
using Full_MaxPlus_Matrix = std::unique_ptr<FULL_MAXPLUS_MATRIX>;

// All 0, then Init_Full_MaxPlus_Matrix; empty on a negative size, a failed
// allocation or an illegal mode.
Full_MaxPlus_Matrix New_Full_MaxPlus_Matrix(int Rows, int Cols, int Init_Mode);
// Mode 0 keeps the values, 1 all eps, 2 identity, 3 all 0. 1 on success.
int Init_Full_MaxPlus_Matrix(FULL_MAXPLUS_MATRIX& A, int Init_Mode);
// A copy of Init, which must hold at least Rows rows of at least Cols values
// (empty handle otherwise).
Full_MaxPlus_Matrix Make_Full_MaxPlus_Matrix(int Rows, int Cols,
                                             const std::vector<std::vector<double>>& Init);
Full_MaxPlus_Matrix Copy_Full_MaxPlus_Matrix(const FULL_MAXPLUS_MATRIX& A);
void Free_Full_MaxPlus_Matrix(Full_MaxPlus_Matrix& A);

// Outside the matrix: a warning and eps.
double Get_Full_Matrix_Entry(const FULL_MAXPLUS_MATRIX& A, int Row, int Col);
// 1 when stored; outside the matrix a warning and 0.
int Set_Full_Matrix_Entry(FULL_MAXPLUS_MATRIX& A, int Row, int Col, double Val);

// R = A (x) B. On a size mismatch a message and R unchanged. R may be A or B.
void Full_MM_Mult(const FULL_MAXPLUS_MATRIX& A, const FULL_MAXPLUS_MATRIX& B,
                  FULL_MAXPLUS_MATRIX& R);
// R = max(A, B) entrywise.
void Full_MM_Sum(const FULL_MAXPLUS_MATRIX& A, const FULL_MAXPLUS_MATRIX& B,
                 FULL_MAXPLUS_MATRIX& R);
// R = plus(A, B) entrywise.
void Full_MM_Standard_Sum(const FULL_MAXPLUS_MATRIX& A, const FULL_MAXPLUS_MATRIX& B,
                          FULL_MAXPLUS_MATRIX& R);
// B = Factor * A for entries that are not eps; eps stays eps.
void Full_Standard_Scalar_Product(const FULL_MAXPLUS_MATRIX& A, FULL_MAXPLUS_MATRIX& B,
                                  double Factor);
// Largest entry; eps when there is none.
double Full_Matrix_Norm(const FULL_MAXPLUS_MATRIX& A);
// Smallest entry; eps when there is none.
double Full_Matrix_Min(const FULL_MAXPLUS_MATRIX& A);

// --- Sparse matrices ---------------------------------------------------------

// The rows of a sparse matrix held one after the other in a single block,
// so that a product streams through memory instead of visiting one small
// array per row. Reading a row gives a view (data, size, iteration, compared
// with a vector); the matrix functions change the rows. A row that outgrows
// its room moves to the end of the block, and the block is packed again in
// row order when such moves have left half of it unused.
template <class T>
class Packed_Rows {
 public:
  class Row {
   public:
    using value_type = T;
    using iterator = const T*;
    using const_iterator = const T*;
    Row(const T* data, std::size_t size) : data_(data), size_(size) {}
    const T* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }
    const T& operator[](std::size_t k) const { return data_[k]; }
    operator std::vector<T>() const { return std::vector<T>(begin(), end()); }
    friend bool operator==(const Row& a, const std::vector<T>& b) {
      if (a.size_ != b.size()) return false;
      for (std::size_t k = 0; k < a.size_; ++k)
        if (!(a.data_[k] == b[k])) return false;
      return true;
    }

   private:
    const T* data_;
    std::size_t size_;
  };

  std::size_t size() const { return rows_; }
  Row operator[](std::size_t r) const {
    if (count_.empty()) return Row(block_.data(), 0);
    return Row(block_.data() + start_[r], count_[r]);
  }

  // Rows beyond the old count come empty.
  void resize(std::size_t rows) {
    rows_ = rows;
    if (count_.empty()) return;
    start_.resize(rows, block_.size());
    count_.resize(rows, 0);
    room_.resize(rows, 0);
  }
  // Every row empty, the block and the rows' bookkeeping released.
  void clear_rows() {
    std::vector<T>().swap(block_);
    std::vector<std::size_t>().swap(start_);
    std::vector<std::size_t>().swap(count_);
    std::vector<std::size_t>().swap(room_);
    unused_ = 0;
  }
  void clear_row(std::size_t r) {
    if (!count_.empty()) count_[r] = 0;
  }
  // Room for n values in row r, whose values stay; its first value.
  T* reserve_row(std::size_t r, std::size_t n) {
    touch();
    if (n <= room_[r]) return block_.data() + start_[r];
    if (start_[r] + room_[r] == block_.size()) {
      // The last row grows in place, by just what it needs (the block's own
      // growth keeps appending cheap), so rows built in order stay dense.
      block_.resize(start_[r] + n);
      room_[r] = n;
      return block_.data() + start_[r];
    }
    const std::size_t room = std::max<std::size_t>(n, 2 * room_[r]);
    if (2 * (unused_ + room_[r]) > block_.size() + room) {
      pack();
      return reserve_row(r, n);
    }
    const std::size_t at = block_.size();
    block_.resize(at + room);
    std::copy(block_.begin() + static_cast<std::ptrdiff_t>(start_[r]),
              block_.begin() + static_cast<std::ptrdiff_t>(start_[r] + count_[r]),
              block_.begin() + static_cast<std::ptrdiff_t>(at));
    unused_ += room_[r];
    start_[r] = at;
    room_[r] = room;
    return block_.data() + at;
  }
  T* row_data(std::size_t r) {
    touch();
    return block_.data() + start_[r];
  }
  void set_size(std::size_t r, std::size_t n) {
    touch();
    count_[r] = n;
  }
  void push_back(std::size_t r, const T& v) {
    T* d = reserve_row(r, count_[r] + 1);
    d[count_[r]++] = v;
  }
  void erase(std::size_t r, std::size_t k) {
    T* d = row_data(r);
    std::copy(d + k + 1, d + count_[r], d + k);
    --count_[r];
  }

 private:
  // The rows' bookkeeping is made when a first value is stored: a matrix
  // left empty costs nothing per row.
  void touch() {
    if (!count_.empty() || rows_ == 0) return;
    start_.assign(rows_, block_.size());
    count_.assign(rows_, 0);
    room_.assign(rows_, 0);
  }

  // Rows in row order, each with just its values as room.
  void pack() {
    std::size_t total = 0;
    for (std::size_t c : count_) total += c;
    std::vector<T> block;
    block.reserve(total);
    for (std::size_t r = 0; r < start_.size(); ++r) {
      const std::size_t at = block.size();
      block.insert(block.end(), block_.begin() + static_cast<std::ptrdiff_t>(start_[r]),
                   block_.begin() + static_cast<std::ptrdiff_t>(start_[r] + count_[r]));
      start_[r] = at;
      room_[r] = count_[r];
    }
    block_.swap(block);
    unused_ = 0;
  }

  std::size_t rows_ = 0;
  std::vector<T> block_;
  std::vector<std::size_t> start_, count_, room_;  // empty while every row is
  std::size_t unused_ = 0;  // room left behind by rows that moved
};

// The number of entries of each row, read like a vector of int; the table
// is made when a count is first changed, so an empty matrix holds none.
class Row_Counts {
 public:
  class const_iterator {
   public:
    using value_type = int;
    using difference_type = std::ptrdiff_t;
    using reference = int;
    using pointer = void;
    using iterator_category = std::input_iterator_tag;
    const_iterator(const Row_Counts* c, std::size_t i) : c_(c), i_(i) {}
    int operator*() const { return (*c_)[i_]; }
    const_iterator& operator++() {
      ++i_;
      return *this;
    }
    bool operator==(const const_iterator& o) const { return i_ == o.i_; }
    bool operator!=(const const_iterator& o) const { return i_ != o.i_; }

   private:
    const Row_Counts* c_;
    std::size_t i_;
  };
  using iterator = const_iterator;
  using value_type = int;

  std::size_t size() const { return rows_; }
  int operator[](std::size_t r) const { return v_.empty() ? 0 : v_[r]; }
  int& operator[](std::size_t r) {
    if (v_.empty()) v_.assign(rows_, 0);
    return v_[r];
  }
  // Every count 0.
  void assign(std::size_t rows, int) {
    rows_ = rows;
    std::vector<int>().swap(v_);
  }
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, rows_}; }
  friend bool operator==(const Row_Counts& a, const Row_Counts& b) {
    return a.rows_ == b.rows_ && std::equal(a.begin(), a.end(), b.begin());
  }
  friend bool operator==(const Row_Counts& a, const std::vector<int>& b) {
    return a.rows_ == b.size() && std::equal(a.begin(), a.end(), b.begin());
  }

 private:
  std::size_t rows_ = 0;
  std::vector<int> v_;  // empty while every count is 0
};

// Row r stores Nb_Elts[r] entries: columns Elts[r][k] with values Vals[r][k],
// in the order they were first set. eps is never stored.
struct SP_MAXPLUS_MATRIX {
  int Rows = 0;
  int Cols = 0;
  Row_Counts Nb_Elts;
  Packed_Rows<int> Elts;
  Packed_Rows<double> Vals;
  // Some value stored since the last emptying is 2^73 or more, the size
  // from which eps + value is no longer eps: only then do the products
  // need their slower exact path.
  bool Huge = false;
};
using SP_MaxPlus_Matrix = std::unique_ptr<SP_MAXPLUS_MATRIX>;

// Every row empty, then Init_SP_MaxPlus_Matrix (whose failure still returns
// the matrix); empty handle on a negative size or a failed allocation.
SP_MaxPlus_Matrix New_SP_MaxPlus_Matrix(int Rows, int Cols, int Init_Mode);
// Mode 0 nothing, 1 all eps, 2 identity, 3 all 0 (both limited to the
// matrix's own columns on a non-square shape). 1 on success.
int Init_SP_MaxPlus_Matrix(SP_MAXPLUS_MATRIX& M, int Init_Mode);
// The non-eps entries of Init in column order (Init as for
// Make_Full_MaxPlus_Matrix).
SP_MaxPlus_Matrix Make_SP_MaxPlus_Matrix(int Rows, int Cols,
                                         const std::vector<std::vector<double>>& Vals);
Full_MaxPlus_Matrix Convert_SP_Matrix_To_Full(const SP_MAXPLUS_MATRIX& M);
void Free_SP_MaxPlus_Matrix(SP_MaxPlus_Matrix& M);

// eps removes the entry; 0 outside the matrix (with a warning) or when the
// row cannot grow.
int Set_SP_Matrix_Entry(SP_MAXPLUS_MATRIX& M, int Row, int Col, double Val);
// eps when not stored, including any position outside the matrix.
double Get_SP_Matrix_Entry(const SP_MAXPLUS_MATRIX& M, int Row, int Col);

// Dense, despite the name.
struct SP_MAXPLUS_VECTOR {
  int Size = 0;
  std::vector<double> Vals;
};
using SP_MaxPlus_Vector = std::unique_ptr<SP_MAXPLUS_VECTOR>;

// Mode 0 all 0, 1 all eps, 3 all 0; any other mode a message and empty.
SP_MaxPlus_Vector New_SP_MaxPlus_Vector(int Size, int Init_Mode);
void Free_SP_MaxPlus_Vector(SP_MaxPlus_Vector& V);

// Res = M (x) X, X a column vector: needs X.Size = M.Cols, Res.Size = M.Rows.
// O(stored entries). Res may be X.
void SP_MV_Mult(const SP_MAXPLUS_MATRIX& M, const SP_MAXPLUS_VECTOR& X, SP_MAXPLUS_VECTOR& Res);
// Res = X (x) M, X a row vector: needs X.Size = M.Rows, Res.Size = M.Cols.
void SP_VM_Mult(const SP_MAXPLUS_VECTOR& X, const SP_MAXPLUS_MATRIX& M, SP_MAXPLUS_VECTOR& Res);

// Largest stored value; eps when none.
double SP_Matrix_Norm(const SP_MAXPLUS_MATRIX& M);
double SP_Vector_Norm(const SP_MAXPLUS_VECTOR& V);
// Smallest component; eps for an empty vector.
double SP_Vector_Min(const SP_MAXPLUS_VECTOR& V);

void SP_Write_Vector(const SP_MAXPLUS_VECTOR& V, FILE* Output);

// --- Matrix text ---------------------------------------------------------------
// The caller makes the matrix (a sparse one with mode 1) and the reader fills
// it. All readers return 1 on success and 0 on failure; a failed read leaves
// the values read so far.

// "sp" then triples and a closing word, or Rows x Cols words.
int Full_Read_MaxPlus_Matrix(FILE* Input, FULL_MAXPLUS_MATRIX& A);
int SP_Read_MaxPlus_Matrix(FILE* Input, SP_MAXPLUS_MATRIX& M);
// Rows x Cols words, no leading "sp" test.
int Full_Read_Full_MaxPlus_Matrix(FILE* Input, FULL_MAXPLUS_MATRIX& A);
int SP_Read_Full_MaxPlus_Matrix(FILE* Input, SP_MAXPLUS_MATRIX& M);
// Triples and a closing word, no leading "sp".
int Full_Read_SP_MaxPlus_Matrix(FILE* Input, FULL_MAXPLUS_MATRIX& A);
int SP_Read_SP_MaxPlus_Matrix(FILE* Input, SP_MAXPLUS_MATRIX& M);
// One word into (Row, Col).
int Full_Read_Full_Matrix_Entry(FILE* Input, FULL_MAXPLUS_MATRIX& A, int Row, int Col);
int SP_Read_Full_Matrix_Entry(FILE* Input, SP_MAXPLUS_MATRIX& M, int Row, int Col);
// Stores one triple that was read; 0 when it cannot be stored.
int Full_Read_SP_Matrix_Entry(FULL_MAXPLUS_MATRIX& A, int Row, int Col, double Val);
int SP_Read_SP_Matrix_Entry(SP_MAXPLUS_MATRIX& M, int Row, int Col, double Val);

// Format 0 plain, 1 sparse ("sp" ... "end", reads back), 2 for the outside
// matrix tool (Name is its variable name), 3 titled; others write nothing.
// Name may be null.
void Write_Full_MaxPlus_Matrix(const FULL_MAXPLUS_MATRIX* A, FILE* Output, int Format,
                               const char* Name);
void SP_Write_Matrix(const SP_MAXPLUS_MATRIX* M, FILE* Output, int Format, const char* Name);

}  // namespace orv::mp
