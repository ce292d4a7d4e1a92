#include "common/exact_real.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <string>

#include "common/law.h"

namespace {

TEST(ExactReal, UsualFormatWhenItReadsBackElseTheDigitsNeeded) {
  struct Case {
    int width, decimals;
    double v;
    const char* want;
  };
  const Case cases[] = {
      {8, 4, 0.5, "  0.5000"},
      {8, 4, 0.12345, " 0.12345"},
      {8, 4, 0.123456789, "0.123456789"},
      {0, 6, 0.1234567, "0.1234567"},
      {0, 6, 2.5, "2.500000"},
      {8, 4, 0.1 + 0.2, "0.30000000000000004"},
      {8, 4, 1e-7, "0.0000001"},
      {8, 4, 1e22, "10000000000000000000000.0000"},
      {8, 4, -0.375, " -0.3750"},
      {8, 4, 0.0, "  0.0000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    EXPECT_EQ(orv::Exact_Real(c.width, c.decimals, c.v), c.want);
  }
}

// Fixed-point always (the model readers take no exponent), and the text
// reads back as the same double at every magnitude.
TEST(ExactReal, ReadsBackAtEveryMagnitude) {
  const double values[] = {DBL_TRUE_MIN, DBL_MIN, 1.0 / 3.0, 2.0 / 3.0 * 1e-200, M_PI * 1e-9,
                           M_PI, M_E * 1e15, DBL_MAX};
  for (double v : values) {
    const std::string s = orv::Exact_Real(8, 4, v);
    SCOPED_TRACE(s);
    EXPECT_EQ(s.find_first_of("eE"), std::string::npos);
    EXPECT_EQ(std::strtod(s.c_str(), nullptr), v);
  }
}

std::string written(const orv::LAW_DESC& law, bool exact) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* f = open_memstream(&buf, &len);
  if (exact)
    orv::Write_Law_Exact(f, law);
  else
    orv::Write_Law(f, law);
  std::fclose(f);
  std::string s(buf, len);
  std::free(buf);
  return s;
}

TEST(ExactReal, LawsWrittenExactlyKeepTheUsualLayout) {
  orv::LAW_DESC u;
  u.Name = 'U';
  u.Parameters = {0.5, 0.123456};
  EXPECT_EQ(written(u, false), "U   0.5000   0.1235 ");
  EXPECT_EQ(written(u, true), "U   0.5000 0.123456 ");
  orv::LAW_DESC r;
  r.Name = 'R';
  r.Parameters = {3.0, 1.0 / 3.0};
  EXPECT_EQ(written(r, true), "R    3 0.3333333333333333 ");
}

}  // namespace
