// Bernoulli products: square max-plus matrices of one size, each drawn with
// a probability proportional to its weight. Messages carry the tag
// "Bernoulli".
#pragma once

#include <cstdio>
#include <memory>
#include <vector>

#include "maxplus/maxplus.h"

namespace orv::mp {

struct BERNOULLI_PRODUCT {
  int Nb_Matrices = 0;
  int Size = 0;
  std::vector<SP_MaxPlus_Matrix> A;  // Nb_Matrices matrices, Size x Size
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
