#include "common/exact_real.h"

#include <cmath>
#include <cstdlib>

namespace orv {

namespace {

std::string fixed(int width, int decimals, double v) {
  const int n = std::snprintf(nullptr, 0, "%*.*f", width, decimals, v);
  std::string s(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
  if (n > 0) std::snprintf(s.data(), s.size() + 1, "%*.*f", width, decimals, v);
  return s;
}

}  // namespace

std::string Exact_Real(int width, int decimals, double v) {
  std::string s = fixed(width, decimals, v);
  if (!std::isfinite(v) || std::strtod(s.c_str(), nullptr) == v) return s;
  // 17 significant digits always read back: past the point, that is 16 less
  // the decimal exponent (340 for the least subnormal).
  const int enough = 16 - static_cast<int>(std::floor(std::log10(std::fabs(v))));
  for (int d = decimals + 1; d < enough; ++d) {
    s = fixed(width, d, v);
    if (std::strtod(s.c_str(), nullptr) == v) return s;
  }
  return fixed(width, enough > decimals ? enough : decimals, v);
}

void Print_Exact_Real(FILE* out, int width, int decimals, double v) {
  std::fputs(Exact_Real(width, decimals, v).c_str(), out);
}

}  // namespace orv
