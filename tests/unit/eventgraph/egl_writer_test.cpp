// Every example event graph written as EGL reads back as the same graph.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/egl_writer.h"
#include "eventgraph/egl_reader.h"

namespace {

std::string dump(const orv::EventGraph& g) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* f = open_memstream(&buf, &len);
  orv::eg::dumpe_network(g, f);
  std::fclose(f);
  std::string s(buf, len);
  std::free(buf);
  return s;
}

}  // namespace

TEST(EglWriter, ExamplesReadBackAlike) {
  // ORV_TEST_DATA is <repo>/tests/unit/eventgraph/data.
  std::filesystem::path examples =
      std::filesystem::path(ORV_TEST_DATA).parent_path().parent_path().parent_path().parent_path() /
      "examples";
  std::string out = (std::filesystem::temp_directory_path() /
                     ("egl_writer_" + std::to_string(::getpid()) + ".egl")).string();
  int seen = 0;
  for (const auto& e : std::filesystem::directory_iterator(examples)) {
    if (e.path().extension() != ".egl") continue;
    ++seen;
    testing::internal::CaptureStdout();
    orv::EventGraphPtr g = orv::eg::Read_Network(e.path().string());
    ASSERT_TRUE(g) << e.path();
    ASSERT_EQ(orv::Write_EG_As_EGL(*g, out, "test"), 1);
    orv::EventGraphPtr back = orv::eg::Read_Network(out);
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(back) << e.path();
    EXPECT_EQ(dump(*back), dump(*g)) << e.path();
  }
  std::filesystem::remove(out);
  EXPECT_GT(seen, 0);
}

// A hyperexponential law left with no branch (too few parameters) is still
// written as a text that reads, back to the same graph.
TEST(EglWriter, AnEmptyHyperexponentialReadsBack) {
  testing::internal::CaptureStdout();
  orv::EventGraphPtr g =
      orv::eg::Read_Network_Text("Size <- 1\n1 H 1.0 , 1 C 0.0 1 0.0 ;\n");
  ASSERT_TRUE(g);
  std::string out = (std::filesystem::temp_directory_path() /
                     ("egl_hyper_" + std::to_string(::getpid()) + ".egl")).string();
  ASSERT_EQ(orv::Write_EG_As_EGL(*g, out, "test"), 1);
  orv::EventGraphPtr again = orv::eg::Read_Network(out);
  testing::internal::GetCapturedStdout();
  std::filesystem::remove(out);
  ASSERT_TRUE(again);
  EXPECT_EQ(dump(*again), dump(*g));
}
