// Liveness of the transitions of a free-choice net from its matrix
// description: T2 transitions (several input places) first, then T1
// transitions (one input place). Token counts live in the min-plus algebra
// where NO_PLACE stands for the absence of a place.
#pragma once

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

namespace orv::fc {

inline constexpr long long NO_PLACE = INT_MAX;

using Matrix = std::vector<std::vector<long long>>;

struct Description {
  int N = 0;  // T2 transitions
  int M = 0;  // T1 transitions
  Matrix A;   // N x N: smallest marking of the places from T2 u to T2 t
  Matrix B;   // N x M: the same from T1 u to T2 t
  Matrix P;   // M x M: number of places from T1 u to T1 t
  Matrix Q;   // M x N: number of places from T2 u to T1 t
  std::vector<long long> R;   // marking of the input place of each T1
  std::vector<long long> bullet;  // that place's number: equal means conflict
  std::vector<std::string> Name;  // N + M, T2 first
  std::vector<int> TrId;          // N + M
};

// Reads the whitespace-separated words of a description. False with a
// message in error when the text is not one.
bool Read_Description(FILE* in, Description& d, std::string& error);

// 1 for a live transition, 0 otherwise; T2 first, then T1.
std::vector<int> Liveness(const Description& d);

}  // namespace orv::fc
