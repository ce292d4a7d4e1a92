// Bernoulli products: square max-plus matrices of one size, each drawn with
// a probability proportional to its weight. Messages carry the tag
// "Bernoulli".
#pragma once

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "maxplus/maxplus.h"

namespace orv::mp {

// The firing rule of an interaction graph (IG_To_BP): matrix k is the
// identity but for (k, k) = 1 and (j, k) = 1 for each successor j of k.
// Kept as the successor lists, so that the product of a graph is linear in
// its nodes and arcs where n matrices of n rows would be quadratic.
struct FIRING_ARCS {
  std::vector<int> Start;  // Size + 1 offsets into Succ; empty when unused
  std::vector<int> Succ;   // successors of node k: Succ[Start[k] .. Start[k+1])
};

struct BERNOULLI_PRODUCT {
  int Nb_Matrices = 0;
  int Size = 0;
  // Nb_Matrices matrices, Size x Size; empty when Firing holds them.
  std::vector<SP_MaxPlus_Matrix> A;
  FIRING_ARCS Firing;
  std::vector<double> Weight;        // as read
  std::vector<double> Proba;         // Weight / sum of the weights
  std::vector<double> Pr_Cum;        // cumulative; the last one is exactly 1.0
  std::vector<int> Permut;           // zeroed; filled by the code generators
};
using Bernoulli_Product = std::unique_ptr<BERNOULLI_PRODUCT>;

// Nb_Matrices all-eps sparse matrices of Size x Size. Empty (after the memory
// message) when it cannot be allocated or a count is negative.
Bernoulli_Product New_Bernoulli_Product(int Nb_Matrices, int Size);
void Free_Bernoulli_Product(Bernoulli_Product& P);

// X = A_k (x) X in place for a product with Firing, in O(degree of k):
// node k grows by one and each successor takes the larger of its height
// and the new one. X holds Size values.
inline void BP_Fire(const FIRING_ARCS& F, int k, double* X) {
  const double grown = X[k] + 1.0;
  X[k] = grown;
  const int* s = F.Succ.data() + F.Start[static_cast<std::size_t>(k)];
  const int* end = F.Succ.data() + F.Start[static_cast<std::size_t>(k) + 1];
  // A store every time: a branch on the comparison mispredicts.
  for (; s != end; ++s) X[*s] = std::max(X[*s], grown);
}

// Matrix k of the product, stored or built from Firing (O(Size) then);
// empty when it cannot be built or k is out of range.
SP_MaxPlus_Matrix BP_Matrix(const BERNOULLI_PRODUCT& P, int k);

// Size, number of matrices, the weights, then each matrix in the matrix
// text. Empty after a message when the text is bad.
Bernoulli_Product Read_Bernoulli_Product(FILE* Input);

// Format as for SP_Write_Matrix; Name (may be null) names the matrices of
// format 2 and 3. Formats 0 and 1 read back.
void Write_Bernoulli_Product(const BERNOULLI_PRODUCT& P, FILE* Output, int Format,
                             const char* Name);

// Proba and Pr_Cum from Weight (the last cumulative set to 1.0, not summed).
// 0 when the weights cannot give probabilities (a negative one, or a sum of
// 0), with a message naming tag and what is weighted.
int Compute_Probabilities(const std::vector<double>& Weight, std::vector<double>& Proba,
                          std::vector<double>& Pr_Cum, const char* tag, const char* what);

}  // namespace orv::mp
