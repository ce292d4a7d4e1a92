#include "common/sp_bool_mat.h"

#include <algorithm>

namespace orv {

SP_BOOL_MAT::SP_BOOL_MAT(int size)
    : Size(std::max(size, 0)),
      Nb_Elts(static_cast<size_t>(Size), 0),
      Elts(static_cast<size_t>(Size)) {}

void SP_BOOL_MAT::Add_Entry(int row, int column) {
  if (row < 0 || row >= Size) return;
  Elts[static_cast<size_t>(row)].push_back(column);
  Nb_Elts[static_cast<size_t>(row)] += 1;
}

int Is_Adj(const SP_BOOL_MAT& A, int From, int To) {
  if (From < 0 || From >= A.Size) return 0;
  const auto& row = A.Elts[static_cast<size_t>(From)];
  return std::find(row.begin(), row.end(), To) != row.end() ? 1 : 0;
}

void dumpe_adj(const SP_BOOL_MAT& A, int n, FILE* out) {
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) std::fputc(Is_Adj(A, i, j) ? '1' : '0', out);
    std::fputc('\n', out);
  }
}

}  // namespace orv
