#include <gtest/gtest.h>

#include <string>

#include "egl_test_util.h"
#include "eventgraph/egl_reader.h"
#include "eventgraph/topology.h"

namespace {

// ORV_TEST_DATA is tests/unit/eventgraph/data, which need not exist.
std::string examples_dir() {
  std::string d = ORV_TEST_DATA;
  return d.substr(0, d.rfind('/')) + "/../../../examples/";
}

// The shipped models stay readable and keep the property they illustrate.
TEST(Examples, ReadAndAnalyse) {
  struct Case { const char* file; int live; int places; int max_pop; const char* out; };
  const Case cases[] = {
      {"live_cycle.egl", 1, 3, 1, ""},
      {"token_free_cycle.egl", 0, 5, 1, "Network not live!!\n2 -> 3 -> 2\n"},
      {"multi_token.egl", 1, 4, 3, ""},
  };
  for (const Case& c : cases) {
    orv::EventGraphPtr g;
    auto r = egl_test::capture([&] { g = orv::eg::Read_Network(examples_dir() + c.file); });
    ASSERT_TRUE(g) << c.file << r.out << r.err;
    EXPECT_EQ(r.out + r.err, "") << c.file;
    EXPECT_EQ(g->Nb_Places, c.places) << c.file;
    EXPECT_EQ(g->Max_Pop_Init, c.max_pop) << c.file;
    int live = -1;
    auto a = egl_test::capture([&] { live = orv::eg::topological_analysis(*g); });
    EXPECT_EQ(live, c.live) << c.file;
    EXPECT_EQ(a.out, c.out) << c.file;
  }
}

}  // namespace
