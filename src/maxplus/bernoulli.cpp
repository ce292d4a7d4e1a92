#include "maxplus/bernoulli.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>
#include <string>

#include "maxplus/text_words.h"

namespace orv::mp {

namespace {

constexpr const char* TAG = "Bernoulli";
constexpr int MAX_DIMENSION = 9999;

}  // namespace

int Compute_Probabilities(const std::vector<double>& Weight, std::vector<double>& Proba,
                          std::vector<double>& Pr_Cum, const char* tag, const char* what) {
  const std::size_t n = Weight.size();
  double sum = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (Weight[i] < 0) {
      std::fprintf(stdout, "%s: error: negative weight (%f) for %s %zu.\n", tag, Weight[i], what,
                   i);
      return 0;
    }
    sum += Weight[i];
  }
  // A zero sum would make every probability NaN.
  if (n > 0 && !(sum > 0)) {
    std::fprintf(stdout, "%s: error: the weights sum to 0. No probabilities.\n", tag);
    return 0;
  }
  // Weights whose sum overflows are shared out relative to the largest.
  double scale = 1.0;
  if (std::isinf(sum)) {
    scale = *std::max_element(Weight.begin(), Weight.end());
    sum = 0;
    for (double w : Weight) sum += w / scale;
  }
  Proba.assign(n, 0.0);
  Pr_Cum.assign(n, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    Proba[i] = Weight[i] / scale / sum;
    if (i + 1 == n)
      Pr_Cum[i] = 1.0;
    else
      Pr_Cum[i] = (i == 0 ? 0.0 : Pr_Cum[i - 1]) + Proba[i];
  }
  return 1;
}

Bernoulli_Product New_Bernoulli_Product(int Nb_Matrices, int Size) {
  Bernoulli_Product P;
  try {
    if (Nb_Matrices < 0 || Size < 0) throw std::bad_alloc();
    P = std::make_unique<BERNOULLI_PRODUCT>();
    P->Nb_Matrices = Nb_Matrices;
    P->Size = Size;
    const auto n = static_cast<std::size_t>(Nb_Matrices);
    P->Weight.assign(n, 0.0);
    P->Proba.assign(n, 0.0);
    P->Pr_Cum.assign(n, 0.0);
    P->Permut.assign(n, 0);
    P->A.reserve(n);
    for (int i = 0; i < Nb_Matrices; ++i) {
      P->A.push_back(New_SP_MaxPlus_Matrix(Size, Size, 1));
      if (!P->A.back()) throw std::bad_alloc();
    }
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "%s: memory error. Not enough space.\n", TAG);
    return nullptr;
  } catch (const std::length_error&) {
    std::fprintf(stderr, "%s: memory error. Not enough space.\n", TAG);
    return nullptr;
  }
  return P;
}

void Free_Bernoulli_Product(Bernoulli_Product& P) { P.reset(); }

namespace {

// Matrix k of the firing rule, its entries set in the order the stored
// matrices of a graph always had: every diagonal 0, the arc's 1 after its
// row's 0, and (k, k) = 1 last.
SP_MaxPlus_Matrix firing_matrix(const BERNOULLI_PRODUCT& P, int k) {
  SP_MaxPlus_Matrix M = New_SP_MaxPlus_Matrix(P.Size, P.Size, 1);
  if (!M) return nullptr;
  std::vector<char> succ(static_cast<std::size_t>(P.Size), 0);
  const auto& F = P.Firing;
  for (int e = F.Start[static_cast<std::size_t>(k)]; e < F.Start[static_cast<std::size_t>(k) + 1]; ++e)
    succ[static_cast<std::size_t>(F.Succ[static_cast<std::size_t>(e)])] = 1;
  for (int j = 0; j < P.Size; ++j) {
    if (!Set_SP_Matrix_Entry(*M, j, j, 0.0)) return nullptr;
    if (succ[static_cast<std::size_t>(j)] && !Set_SP_Matrix_Entry(*M, j, k, 1.0)) return nullptr;
  }
  if (!Set_SP_Matrix_Entry(*M, k, k, 1.0)) return nullptr;
  return M;
}

SP_MaxPlus_Matrix copy_matrix(const SP_MAXPLUS_MATRIX& A) {
  SP_MaxPlus_Matrix M = New_SP_MaxPlus_Matrix(A.Rows, A.Cols, 1);
  if (!M) return nullptr;
  for (int r = 0; r < A.Rows; ++r)
    for (int e = 0; e < A.Nb_Elts[static_cast<std::size_t>(r)]; ++e)
      if (!Set_SP_Matrix_Entry(*M, r, A.Elts[static_cast<std::size_t>(r)][static_cast<std::size_t>(e)],
                               A.Vals[static_cast<std::size_t>(r)][static_cast<std::size_t>(e)]))
        return nullptr;
  return M;
}

}  // namespace

SP_MaxPlus_Matrix BP_Matrix(const BERNOULLI_PRODUCT& P, int k) {
  if (k < 0 || k >= P.Nb_Matrices) return nullptr;
  try {
    if (!P.Firing.Start.empty()) return firing_matrix(P, k);
    if (static_cast<std::size_t>(k) >= P.A.size() || !P.A[static_cast<std::size_t>(k)]) return nullptr;
    return copy_matrix(*P.A[static_cast<std::size_t>(k)]);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

Bernoulli_Product Read_Bernoulli_Product(FILE* Input) {
  int size = 0;
  int number = 0;
  bool ok = text::read_int(Input, size) && size >= 1 && size <= MAX_DIMENSION;
  ok = ok && text::read_int(Input, number) && number >= 1 && number <= MAX_DIMENSION;
  if (!ok) {
    std::fprintf(stdout, "%s: error reading dimension (%d) or nb of matrices (%d).\n", TAG, size,
                 number);
    return nullptr;
  }
  // The weights come before the matrices, and each matrix is made only when
  // its text is due, so a short text cannot reserve thousands of matrices.
  std::vector<double> weight(static_cast<std::size_t>(number));
  for (double& w : weight)
    if (!text::read_real(Input, w)) return nullptr;
  Bernoulli_Product P = New_Bernoulli_Product(0, size);
  if (!P) return nullptr;
  P->Nb_Matrices = number;
  P->Weight = weight;
  P->Permut.assign(weight.size(), 0);
  if (!Compute_Probabilities(P->Weight, P->Proba, P->Pr_Cum, TAG, "matrix")) return nullptr;
  for (int i = 0; i < number; ++i) {
    try {
      P->A.push_back(New_SP_MaxPlus_Matrix(size, size, 1));
    } catch (const std::bad_alloc&) {
      P->A.push_back(nullptr);
    }
    if (!P->A.back()) {
      std::fprintf(stderr, "%s: memory error. Not enough space.\n", TAG);
      return nullptr;
    }
    if (!SP_Read_MaxPlus_Matrix(Input, *P->A.back())) {
      std::fprintf(stdout, "%s: error: reading matrix #%d. Abort.\n", TAG, i);
      return nullptr;
    }
  }
  return P;
}

void Write_Bernoulli_Product(const BERNOULLI_PRODUCT& P, FILE* Output, int Format,
                             const char* Name) {
  const char* name = Name != nullptr ? Name : "";
  if (Format == 2) {
    std::fprintf(Output, "%s_Size = %d\n", name, P.Size);
    std::fprintf(Output, "%s_Number = %d\n", name, P.Nb_Matrices);
    std::fprintf(Output, "%s_Weights = [", name);
  } else {
    std::fprintf(Output, "%d\n", P.Size);
    std::fprintf(Output, "%d\n", P.Nb_Matrices);
  }
  for (double w : P.Weight) {
    if (text::whole(w))
      std::fprintf(Output, " %d", static_cast<int>(w));
    else
      std::fprintf(Output, " %f", w);
  }
  if (Format == 2) std::fprintf(Output, "]");
  std::fprintf(Output, "\n");
  const bool firing = !P.Firing.Start.empty();
  const std::size_t count = firing ? static_cast<std::size_t>(P.Nb_Matrices) : P.A.size();
  for (std::size_t i = 0; i < count; ++i) {
    const std::string composed = std::string(name) + "_" + std::to_string(i);
    // A graph's matrices are built one at a time, for the writing only.
    SP_MaxPlus_Matrix built;
    if (firing) {
      built = BP_Matrix(P, static_cast<int>(i));
      if (!built) {
        std::fprintf(stderr, "%s: memory error. Not enough space.\n", TAG);
        return;
      }
    }
    SP_Write_Matrix(firing ? built.get() : P.A[i].get(), Output, Format,
                    Name != nullptr ? composed.c_str() : nullptr);
    std::fprintf(Output, "\n");
  }
}

}  // namespace orv::mp
