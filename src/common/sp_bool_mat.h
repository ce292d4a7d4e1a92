// Sparse boolean matrix: per row, the columns present in the order they were
// added (duplicates kept). Used for the token-free adjacency of event graphs
// and by the max-plus library.
#pragma once

#include <cstdio>
#include <vector>

namespace orv {

struct SP_BOOL_MAT {
  int Size = 0;
  std::vector<int> Nb_Elts;            // Size counts
  std::vector<std::vector<int>> Elts;  // Size rows of 0-based columns

  SP_BOOL_MAT() = default;
  // size rows, all empty; a negative size counts as 0.
  explicit SP_BOOL_MAT(int size);

  // Appends column to row; keeps Nb_Elts in step. Out-of-range rows are
  // ignored.
  void Add_Entry(int row, int column);
};

using SP_Bool_Mat = SP_BOOL_MAT*;

// 1 when To is an entry of row From, else 0 (also for rows out of range).
int Is_Adj(const SP_BOOL_MAT& A, int From, int To);

// n rows of n characters, '1' where Is_Adj holds, '0' elsewhere.
void dumpe_adj(const SP_BOOL_MAT& A, int n, FILE* out = stdout);

}  // namespace orv
