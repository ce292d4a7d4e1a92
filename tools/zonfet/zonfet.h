// Bounds on the growth of X(n) = A(n) (x) ... (x) A(1) (x) 0 when every
// factor is drawn independently from two max-plus matrices A and B.
//
// For a horizon n and each count j of factors B among the n, the tables
// hold a lower bound of E[X(n)] (a vector) and an upper bound of
// E[max_i X_i(n)], both given that j factors are B; the printers weigh them
// with the binomial law of j. eps (minus infinity) absorbs: a bound that
// takes an eps term is eps, never a huge negative number.
#pragma once

#include <cstdio>
#include <vector>

#include "maxplus/bernoulli.h"
#include "maxplus/maxplus.h"

namespace orv::zonfet {

using mp::M_INFINITY;

struct RANGE_INFO {
  double Start = 0.0;
  double Stop = 1.0;
  double Step = 0.05;
  int Queue = 1;
  int Log = 0;
  int Log10 = 0;
};

// Tables at the horizon: Lower[j] (Size components) and Upper[j], j = 0..n.
struct Bounds {
  int n = 0;
  int Size = 0;
  std::vector<std::vector<double>> Lower;
  std::vector<double> Upper;
};

// The order-1 bounds: each product split after its first factor B.
Bounds Compute_Bounds(const mp::FULL_MAXPLUS_MATRIX& A, const mp::FULL_MAXPLUS_MATRIX& B, int n);

// The order-m bounds: products split after their first m factors B; fewer
// than m factors B are averaged exactly. Throws std::bad_alloc when its
// tables do not fit.
Bounds Compute_Bounds_Order(const mp::FULL_MAXPLUS_MATRIX& A, const mp::FULL_MAXPLUS_MATRIX& B,
                            int m, int n);

// Number of values of p in the range (a step within 1e-9 of reaching Stop
// counts it), and the k-th value.
int Range_Count(const RANGE_INFO& R);
double Range_Value(const RANGE_INFO& R, int k);
// "bad range" / "bad step value" on stderr and false when the range cannot
// be walked.
bool Check_Range(const RANGE_INFO& R, const char* prog);

// Table over the range (p the probability of A, written "%12.8f " when
// wide_p, else "%8.6f ") or polynomials in p, the probability of B.
void Print_Bounds(const Bounds& b, bool Numeric, const RANGE_INFO& R, bool Maple, bool wide_p,
                  FILE* out);
void Print_Term(double Coefficient, double Value, int E1, int E2, FILE* out);
double Binomial(int n, int k);

// Every product of n matrices of P with the probabilities given: the sums of
// weight x (smallest) and weight x (largest) component of X(n).
void Compute_Exact_Sums(const mp::BERNOULLI_PRODUCT& P, const std::vector<double>& Proba, int n,
                        double& Lower, double& Upper);
// The exhaustive computation with its output.
void Compute_Exact(mp::BERNOULLI_PRODUCT& P, int n, const RANGE_INFO& R, FILE* out);

}  // namespace orv::zonfet
