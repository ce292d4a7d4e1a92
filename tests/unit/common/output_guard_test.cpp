#include "common/output_guard.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <unistd.h>

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

// After its own text, such a program has the guard name the cause, kept from
// the failure itself whatever errno holds by then; the status stays its own.
TEST(OutputGuard, TheCauseOfAQuietFailureIsReportedOnRequest) {
  Scratch dir;
  Capture err(stderr, dir.path("err.txt"));
  Output_Guard g("prog");
  const std::string missing = dir.path("no/such/dir/out.txt");
  fs::create_directory(dir.path("folder"));
  EXPECT_FALSE(g.redirect_stdout(missing, false));
  errno = EACCES;
  g.report_open_failure(missing);
  EXPECT_EQ(g.open(dir.path("folder"), false), nullptr);
  errno = 0;
  g.report_open_failure("folder");
  // A cause the caller found itself, before any open.
  g.report_open_failure("name", ENAMETOOLONG);
  EXPECT_EQ(g.finish(0), 0);
  EXPECT_EQ(err.text(), "prog: error: cannot open " + missing +
                            ": No such file or directory\n"
                            "prog: error: cannot open folder: Is a directory\n"
                            "prog: error: cannot open name: File name too long\n");
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

// A name one character short of the longest a folder takes leaves no room
// for a temporary beside it (as a folder the user may not write does, which
// a test run as root cannot meet): an existing file is then written aside,
// under TMPDIR, and copied over only when the run succeeds; a new one is made
// in place and removed again by a failed run.
TEST(OutputGuard, AFileWithNoRoomForATemporaryBesideItIsNeverTruncatedEarly) {
  const std::string name(250, 'r');
  for (bool exists : {true, false}) {
    for (bool via_stdout : {false, true}) {
      for (int status : {0, 1}) {
        SCOPED_TRACE(std::string(exists ? "existing" : "new") + (via_stdout ? " stdout" : " open") +
                     " status " + std::to_string(status));
        Scratch s, aside, other;
        orv::test::Env env;
        env.set("TMPDIR", aside.path());
        const std::string target = s.path(name);
        if (exists) s.file(name, fs::perms::owner_read | fs::perms::owner_write, "old\n");
        {
          // Standard output is put back once finish() has left it on the spent temporary.
          Capture keep(stdout, other.path("saved.txt"));
          Output_Guard g("t");
          if (via_stdout) {
            ASSERT_TRUE(g.redirect_stdout(target));
            std::printf("new\n");
            std::fflush(stdout);
          } else {
            FILE* f = g.open(target);
            ASSERT_NE(f, nullptr);
            std::fputs("new\n", f);
            std::fflush(f);
          }
          if (exists) {
            EXPECT_EQ(read_file(target), "old\n");
          }
          EXPECT_EQ(g.finish(status), status);
        }
        if (status == 0) {
          EXPECT_EQ(read_file(target), "new\n");
        } else if (exists) {
          EXPECT_EQ(read_file(target), "old\n");
        } else {
          EXPECT_FALSE(fs::exists(target));
        }
        EXPECT_EQ(strays(s, {name}), std::vector<std::string>{});
        EXPECT_EQ(strays(aside, {}), std::vector<std::string>{});
      }
    }
  }
}

// A longer old file is cut to the new text's length; a file the run may not
// write is refused before anything is written.
TEST(OutputGuard, ATextCopiedOverAFileReplacesAllOfIt) {
  const std::string name(250, 'c');
  Scratch s, aside;
  orv::test::Env env;
  env.set("TMPDIR", aside.path());
  s.file(name, fs::perms::owner_read | fs::perms::owner_write, std::string(100000, 'o') + "\n");
  {
    Output_Guard g("t");
    FILE* f = g.open(s.path(name));
    ASSERT_NE(f, nullptr);
    std::fputs("short\n", f);
    EXPECT_EQ(g.finish(0), 0);
  }
  EXPECT_EQ(read_file(s.path(name)), "short\n");
  // Where TMPDIR cannot take the text either, the file is refused whole.
  env.set("TMPDIR", s.path("no/such/folder"));
  Capture err(stderr, aside.path("err.txt"));
  Output_Guard g("t");
  EXPECT_EQ(g.open(s.path(name)), nullptr);
  EXPECT_EQ(g.finish(0), -1);
  EXPECT_EQ(err.text(), "t: error: cannot open " + s.path(name) + ": File name too long\n");
  EXPECT_EQ(read_file(s.path(name)), "short\n");
}

// One of the process's own descriptors named as a file (/dev/stdout,
// /dev/fd/N) is written through as it stands: a file opened for appending,
// or holding what was written before, keeps it.
TEST(OutputGuard, ADescriptorGivenByNameIsWrittenThroughNotReplaced) {
  for (const char* how : {"redirect /dev/stdout", "redirect /dev/fd/N", "open /dev/fd/N",
                          "open /proc/self/fd/N", "open link to /dev/stdout"}) {
    SCOPED_TRACE(how);
    Scratch s;
    const std::string log = s.file("log.txt", fs::perms::owner_read | fs::perms::owner_write, "old\n");
    const int fd = ::open(log.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    const std::string mode = how;
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    if (mode.find("stdout") != std::string::npos) dup2(fd, STDOUT_FILENO);
    const std::string n = std::to_string(fd);
    {
      Output_Guard g("t");
      if (mode == "redirect /dev/stdout" || mode == "redirect /dev/fd/N") {
        const std::string name = mode == "redirect /dev/stdout" ? "/dev/stdout" : "/dev/fd/" + n;
        ASSERT_TRUE(g.redirect_stdout(name));
        std::printf("new\n");
      } else {
        std::string name = mode == "open /dev/fd/N"         ? "/dev/fd/" + n
                           : mode == "open /proc/self/fd/N" ? "/proc/self/fd/" + n
                                                            : s.path("out");
        if (mode == "open link to /dev/stdout") fs::create_symlink("/dev/stdout", name);
        FILE* f = g.open(name);
        ASSERT_NE(f, nullptr);
        std::fputs("new\n", f);
      }
      EXPECT_EQ(g.finish(0), 0);
    }
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    ::close(saved);
    ::close(fd);
    EXPECT_EQ(read_file(log), "old\nnew\n");
    EXPECT_EQ(strays(s, {"log.txt", "out"}), std::vector<std::string>{});
    EXPECT_TRUE(fs::is_regular_file(log));
  }
}

}  // namespace

