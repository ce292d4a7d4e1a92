#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/address_write.h"

using namespace orv;

namespace {

template <class F>
std::string capture(F write) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* f = open_memstream(&buf, &len);
  write(f);
  std::fclose(f);
  std::string s(buf, len);
  std::free(buf);
  return s;
}

}  // namespace

TEST(AddressWrite, ChainsInFileNotation) {
  // Places and transitions are stored from 0 and written from 1; submodel
  // and port numbers are written as stored.
  auto s2_in1 = pn::New_Address('S', 2, pn::New_Address('I', 1));
  auto s1_s3_out2 = pn::New_Address('S', 1, pn::New_Address('S', 3, pn::New_Address('O', 2)));
  auto p4 = pn::New_Address('P', 3);
  auto t1 = pn::New_Address('T', 0);
  EXPECT_EQ(capture([&](FILE* f) { Write_Address(f, s2_in1.get()); }), "S2/IN1");
  EXPECT_EQ(capture([&](FILE* f) { Write_Address(f, s1_s3_out2.get()); }), "S1/S3/OUT2");
  EXPECT_EQ(capture([&](FILE* f) { Write_Address(f, p4.get()); }), "P4");
  EXPECT_EQ(capture([&](FILE* f) { Write_Address(f, t1.get()); }), "T1");
  EXPECT_EQ(capture([&](FILE* f) { Write_Address(f, nullptr); }), "<no-address>");
}

TEST(AddressWrite, OptionalStringModes) {
  struct Case {
    int mode;
    const char* want;
  } cases[] = {{1, "(ab)"}, {2, "[ab]"}, {3, "\"ab\""}, {4, " \"ab\" "}, {0, "ab"}, {7, "ab"}};
  for (const auto& c : cases)
    EXPECT_EQ(capture([&](FILE* f) { Write_Opt_String(f, "ab", c.mode); }), c.want) << c.mode;
  for (int mode = 0; mode <= 4; ++mode)
    EXPECT_EQ(capture([&](FILE* f) { Write_Opt_String(f, "", mode); }), "");
}
