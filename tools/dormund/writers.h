// The text forms of dormund's matrices and vectors: plain, morlen and Sorvic.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/event_graph.h"

namespace dormund {

enum Language { PLAIN = 0, MORLEN = 1, SORVIC = 3 };

struct Out_Format {
  int Lang = PLAIN;
  bool Integer = false;
  bool Sparse = false;
  std::string Prefix;
};

// 1 when every entry is within 1e-6 of an integer.
int Is_Integral(const std::vector<double>& A, std::size_t Size);

void Write_Matrix_As_Full(const std::vector<double>& A, int n, const Out_Format& f);
void Write_Matrix_As_Sparse(const std::vector<double>& A, int n, const Out_Format& f);
void Write_Vector(const std::vector<double>& Y, int n, const Out_Format& f);

// The matrices A0 ... AM of the graph by token count, row = upstream,
// column = downstream.
void Write_Matrix_Sequence_As_Full(const orv::EventGraph& g, const Out_Format& f);
void Write_Matrix_Sequence_As_Sparse(const orv::EventGraph& g, const Out_Format& f);
void Write_Sorvic_Sequence(const orv::EventGraph& g, const Out_Format& f, const char* prog);

}  // namespace dormund
