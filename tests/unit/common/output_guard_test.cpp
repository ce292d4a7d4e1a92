#include "common/output_guard.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "scratch.h"

namespace {

using orv::Output_Guard;
using orv::test::Capture;
using orv::test::read_file;
using orv::test::Scratch;

namespace fs = std::filesystem;

// Names in the folder other than the given ones: leftover temporaries.
std::vector<std::string> strays(const Scratch& dir, const std::vector<std::string>& known) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir.path())) {
    std::string n = e.path().filename().string();
    if (std::find(known.begin(), known.end(), n) == known.end()) out.push_back(n);
  }
  return out;
}

TEST(OutputGuard, ATextTakesItsNameOnlyWhenTheRunSucceeds) {
  struct Case {
    int status;
    bool keep;
    const char* expected;  // contents of res.txt afterwards
  } cases[] = {
      {0, false, "new\n"},
      {2, false, "old\n"},  // a failed run leaves the existing file as it was
      {3, true, "new\n"},   // unless its output is meant to stay
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    Scratch dir;
    const std::string res = dir.file("res.txt", fs::perms::owner_read | fs::perms::owner_write, "old\n");
    Output_Guard g("prog");
    FILE* f = g.open(res);
    ASSERT_NE(f, nullptr);
    std::fputs("new\n", f);
    EXPECT_EQ(read_file(res), "old\n");  // nothing replaced before the end
    if (c.keep) g.keep_on_failure();
    EXPECT_EQ(g.finish(c.status), c.status);
    EXPECT_EQ(read_file(res), c.expected);
    EXPECT_EQ(strays(dir, {"res.txt"}), std::vector<std::string>{});
  }
}

TEST(OutputGuard, ANewFileIsNotCreatedByAFailedRun) {
  Scratch dir;
  {
    Output_Guard g("prog");
    ASSERT_NE(g.open(dir.path("out.txt")), nullptr);
    EXPECT_EQ(g.finish(-1), -1);
  }
  EXPECT_FALSE(fs::exists(dir.path("out.txt")));
  // Leaving without finish() (an early return) removes the temporary too.
  {
    Output_Guard g("prog");
    ASSERT_NE(g.open(dir.path("out.txt")), nullptr);
  }
  EXPECT_EQ(strays(dir, {}), std::vector<std::string>{});
}

TEST(OutputGuard, AWriteThatFailsIsReportedWithTheFailureStatus) {
  Scratch dir;
  Capture err(stderr, dir.path("err.txt"));
  Output_Guard g("prog", -4);
  FILE* f = g.open("/dev/full");
  ASSERT_NE(f, nullptr);
  std::fputs("results\n", f);
  EXPECT_EQ(g.finish(0), -4);
  EXPECT_EQ(err.text(), "prog: error: cannot write /dev/full: No space left on device\n");
}

TEST(OutputGuard, AFileThatCannotBeOpenedIsReported) {
  Scratch dir;
  Capture err(stderr, dir.path("err.txt"));
  Output_Guard g("prog");
  EXPECT_EQ(g.open(dir.path("no/such/dir/out.txt")), nullptr);
  EXPECT_EQ(g.finish(0), -1);
  EXPECT_EQ(err.text(), "prog: error: cannot open " + dir.path("no/such/dir/out.txt") +
                            ": No such file or directory\n");
}

// A program with its own text for a file it cannot open prints that itself;
// the guard stays silent and the run's status is the program's.
TEST(OutputGuard, AQuietFailureToOpenIsLeftToTheCaller) {
  Scratch dir;
  Capture err(stderr, dir.path("err.txt"));
  Output_Guard g("prog");
  const std::string bad = dir.path("no/such/dir/out.txt");
  EXPECT_EQ(g.open(bad, false), nullptr);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_FALSE(g.redirect_stdout(bad, false));
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(g.finish(0), 0);
  EXPECT_EQ(err.text(), "");
}

// "-o" at a link writes the file the link names, as "> link" would, and the
// link stays; a failed run leaves both as they were.
TEST(OutputGuard, ALinkedTargetIsWrittenThroughTheLink) {
  struct Case {
    const char* link;    // relative to the scratch folder
    const char* target;  // what the link holds
    const char* file;    // the file that ends up written
  } cases[] = {
      {"out.txt", "real.txt", "real.txt"},
      {"sub/out.txt", "../real.txt", "real.txt"},
      {"out.txt", "hop.txt", "real.txt"},  // hop.txt -> real.txt
      {"out.txt", "new.txt", "new.txt"},   // a link to nothing yet
  };
  for (const Case& c : cases) {
    for (int status : {0, 1}) {
      SCOPED_TRACE(std::string(c.link) + " -> " + c.target + " status " + std::to_string(status));
      Scratch s;
      s.file("real.txt", fs::perms::owner_read | fs::perms::owner_write, "old\n");
      s.folder("sub");
      fs::create_symlink("real.txt", s.path("hop.txt"));
      fs::create_symlink(c.target, s.path(c.link));
      {
        Output_Guard g("t");
        FILE* f = g.open(s.path(c.link));
        ASSERT_NE(f, nullptr);
        std::fprintf(f, "new\n");
        EXPECT_EQ(g.finish(status), status);
        EXPECT_TRUE(fs::is_symlink(s.path(c.link)));
        EXPECT_EQ(fs::read_symlink(s.path(c.link)).string(), c.target);
        const bool fresh = std::string(c.file) == "new.txt";
        if (status == 0)
          EXPECT_EQ(read_file(s.path(c.file)), "new\n");
        else if (fresh)
          EXPECT_FALSE(fs::exists(s.path(c.file)));
        else
          EXPECT_EQ(read_file(s.path(c.file)), "old\n");
        std::vector<std::string> known = {"real.txt", "sub", "hop.txt", "out.txt"};
        if (fresh && status == 0) known.push_back("new.txt");
        EXPECT_EQ(strays(s, known), std::vector<std::string>{});
      }
    }
  }
}

}  // namespace
