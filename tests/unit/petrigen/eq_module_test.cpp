// Sizes the equational module is built with.
#include "petrigen/eq_module.h"

#include <gtest/gtest.h>

#include <climits>

using orv::gen::Compute_Buffer_Size;

TEST(BufferSize, RunLengthLookBackAndParity) {
  struct Case {
    int buf, scale, firings, read_back, want;
  };
  const Case cases[] = {
      {1024, 10, 10, 5, 102},                                   // 101 ticks, made even
      {1024, 10, 10, 60, 120},                                  // twice the look-back wins
      {1024, 10, 1000, 5, 1024},                                // the option wins
      {7, 1, 1000, 1, 8},                                       // odd option
      {0, 10, 1000, 1, 2},                                      // never below two slots
      {-5, 10, 1000, 0, 2},      {1024, 10, INT_MAX, 1, 1024},  // a run too long for an int
      {1024, 10, 0, 3, 6},                                      // one tick run, look-back 3
  };
  for (const Case& c : cases)
    EXPECT_EQ(Compute_Buffer_Size(c.buf, c.scale, c.firings, c.read_back), c.want)
        << c.buf << " " << c.scale << " " << c.firings << " " << c.read_back;
}
