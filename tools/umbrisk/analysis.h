// Values of the analysis of an integer max-plus matrix A, for
// x(k+1) = A (x) x(k): x_i(k+1) = max_j A[i][j] + x_j(k). Entries are finite
// with |a| <= ENTRY_LIMIT or MINUS_INF. Functions throw Overflow when a value
// leaves the 64-bit range.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "arith.h"

namespace orv::umbrisk {

using Matrix = std::vector<Val>;

struct RATIONAL {
  Val Num = MINUS_INF;
  Val Den = 1;
};

// Appends " %9.4f" of e / Precision, or "       eps" for minus infinity; e is
// a state entry held as an exact integer in a double.
void append_state_entry(std::string& line, double e, int Precision);

}  // namespace orv::umbrisk
