#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "atm/atm.h"

namespace {

bool read_text(const std::string& text, orv::atm::CONFIG& cf) {
  FILE* in = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  FILE* msg = std::fopen("/dev/null", "w");
  const bool ok = orv::atm::Read_Config(in, cf, msg);
  std::fclose(msg);
  std::fclose(in);
  return ok;
}

// A count of sessions is a claim: the tables grow with the sessions the text
// holds, not with the count it announces.
TEST(AtmConfig, TablesGrowWithTheSessionsRead) {
  orv::atm::CONFIG cf;
  EXPECT_FALSE(read_text("1 2 1 1 4194304", cf));
  EXPECT_LE(cf.route.size(), 1u);
  EXPECT_LE(cf.NumSe[0].size(), 1u);
  EXPECT_LE(cf.NumSw.size(), 1u);

  orv::atm::CONFIG half;
  EXPECT_FALSE(read_text("1 4 1 1 1000000 E 1.0 1 1 1 2 E 2.0 1 1 2 3", half));
  EXPECT_LE(half.route.size(), 3u);
}

TEST(AtmConfig, EverySessionIsRoutedWhenAllAreThere) {
  orv::atm::CONFIG cf;
  ASSERT_TRUE(read_text("2 4 1 1 2 1 1 2 E 1.0 2 1 2 3 2 1 2 E 2.0 1 1 4 1", cf));
  ASSERT_EQ(cf.route.size(), 2u);
  ASSERT_EQ(cf.NumSe[1].size(), 2u);
  EXPECT_TRUE(cf.crosses(0, 0));
  EXPECT_TRUE(cf.crosses(0, 1));
  EXPECT_TRUE(cf.crosses(1, 0));
  EXPECT_FALSE(cf.crosses(1, 1));
  EXPECT_EQ(cf.route[0][0][0], 2);
  EXPECT_EQ(cf.route[0][0].back(), 3);
  EXPECT_EQ(cf.route[1][1].back(), 0);
  EXPECT_EQ(cf.port(0, 1), 2);
  EXPECT_EQ(cf.port(1, 0), 1);
}

}  // namespace
