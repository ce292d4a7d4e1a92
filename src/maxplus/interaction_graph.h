// Boolean matrices and interaction graphs. Each node of an interaction graph
// carries a weight; drawn with probability proportional to it, a node grows
// by one and every successor takes the larger of its own height and the new
// one. Messages carry the tags "BoolMat" and "I_Graph".
#pragma once

#include <cstdio>
#include <memory>
#include <vector>

#include "common/sp_bool_mat.h"
#include "maxplus/bernoulli.h"

namespace orv::mp {

using orv::SP_BOOL_MAT;
using Bool_Mat = std::unique_ptr<SP_BOOL_MAT>;

// Size empty rows; empty on a negative size or when memory runs out.
Bool_Mat New_Boolean_Matrix(int Size);
void Free_Boolean_Matrix(Bool_Mat& A);
// Val non-zero adds To to row From unless present; Val 0 removes it.
// Rows out of range are left alone.
void Set_Adj(SP_BOOL_MAT& A, int From, int To, int Val);
int Max_Degree(const SP_BOOL_MAT& A);
// Arcs per row; 0 for a matrix of no rows.
double Avg_Degree(const SP_BOOL_MAT& A);
// Size lines of Size characters, '1' for an arc.
void Write_Boolean_Matrix(const SP_BOOL_MAT& A, FILE* Output);

struct INTERACTION_GRAPH {
  int Size = 0;
  SP_BOOL_MAT A;               // row i: the successors of node i
  std::vector<double> Weight;  // as read
  std::vector<double> Proba;   // Weight / sum
  std::vector<double> Pr_Cum;  // cumulative; the last one is exactly 1.0
  std::vector<int> Permut;     // zeroed; filled by the code generators
};
using Interaction_Graph = std::unique_ptr<INTERACTION_GRAPH>;

// Empty (after the memory message) when it cannot be allocated.
Interaction_Graph New_Interaction_Graph(int Size);
void Free_Interaction_Graph(Interaction_Graph& G);
// 1 when every weight equals the first exactly.
int Is_Uniform(const INTERACTION_GRAPH& G);

// Optional "sp", the number of nodes, the weights, then arcs: pairs "i j"
// (sparse form) or N rows of N entries, 1 for an arc (full form). Empty when
// the text is bad.
Interaction_Graph Read_Interaction_Graph(FILE* Input);

// The equivalent Bernoulli product: matrix i moves the heights x to
// A_i (x) x when node i fires. Empty when it cannot be built.
Bernoulli_Product IG_To_BP(const INTERACTION_GRAPH& G);

}  // namespace orv::mp
