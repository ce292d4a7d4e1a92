#include "common/value_list.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <regex>

namespace {

using orv::REAL_LIST;

TEST(ValueList, AppendPrepends) {
  REAL_LIST l;
  for (double v : {1.0, 2.0, 3.0}) orv::Append_Real(l, v);
  EXPECT_EQ(l, (REAL_LIST{3.0, 2.0, 1.0}));
  orv::INT_LIST n;
  for (int v : {1, 2, 3}) orv::Append_Integer(n, v);
  EXPECT_EQ(n, (orv::INT_LIST{3, 2, 1}));
}

TEST(ValueList, Concat) {
  const REAL_LIST a{1.0, 2.0}, b{3.0};
  EXPECT_TRUE(orv::Concat_Real_Lists({}, {}).empty());
  EXPECT_EQ(orv::Concat_Real_Lists({}, a), a);
  EXPECT_EQ(orv::Concat_Real_Lists(a, {}), a);
  EXPECT_EQ(orv::Concat_Real_Lists(a, b), (REAL_LIST{1.0, 2.0, 3.0}));
}

TEST(ValueList, Expand) {
  EXPECT_EQ(orv::Expand_Real_List(0.5, 3), (REAL_LIST{0.5, 0.5, 0.5}));
  EXPECT_TRUE(orv::Expand_Real_List(0.5, 0).empty());
  EXPECT_TRUE(orv::Expand_Real_List(0.5, -2).empty());
}

TEST(TodaysDate, FormatWithLeadingBlank) {
  setenv("TZ", "UTC", 1);
  std::time_t before = std::time(nullptr);
  std::string d = orv::todays_date();
  EXPECT_TRUE(std::regex_match(d, std::regex(R"( \d\d [A-Z][a-z]{2} \d\d at \d\d:\d\d:\d\d)")))
      << "[" << d << "]";
  // The day and year are today's (unless midnight passed in between).
  std::tm tm{};
  gmtime_r(&before, &tm);
  char expect[16];
  std::strftime(expect, sizeof expect, " %d %b %y", &tm);
  EXPECT_EQ(d.substr(0, 10), expect);
}

}  // namespace
