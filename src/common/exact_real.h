#pragma once
// Numbers that another program reads back: in the usual fixed format when
// that text reads back as the same double, else with the fewest more
// decimals that do (at most 17 significant digits). Always fixed-point, so
// the model readers, which take no exponent, read it.
#include <cstdio>
#include <string>

namespace orv {

// "%*.*f" of v with `width` and at least `decimals`; a value that is not
// finite is written as "%*.*f" writes it.
std::string Exact_Real(int width, int decimals, double v);
void Print_Exact_Real(FILE* out, int width, int decimals, double v);

}  // namespace orv
