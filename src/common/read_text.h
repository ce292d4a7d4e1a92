#pragma once
// The model readers scan a whole text in memory: a scanner fed from a stream
// rescans a long token at every refill, which turns a long comment or name
// into quadratic time.
#include <cstdio>
#include <string>

namespace orv {

// Appends everything left in `in` to `text`; false on a read error.
bool Read_Whole_Stream(FILE* in, std::string& text);

}  // namespace orv
