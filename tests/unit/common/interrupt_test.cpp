// A run ended by SIGINT, SIGTERM or SIGHUP leaves none of its own files:
// each case runs in a forked child that is then signalled.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "common/execute.h"
#include "common/lp_bridge.h"
#include "common/output_guard.h"
#include "common/work_files.h"
#include "scratch.h"

namespace {

namespace fs = std::filesystem;
using orv::test::read_file;
using orv::test::Scratch;

std::vector<std::string> names_in(const std::string& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

// Runs body in a child and returns its wait status. The body is expected to
// end by a signal; falling off its end exits with 0.
int in_child(const std::function<void()>& body) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    body();
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

const int SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};

TEST(Interrupt, RedirectedStdoutLeavesTheOldFileAndNoTemporary) {
  for (int sig : SIGNALS) {
    SCOPED_TRACE(sig);
    Scratch s;
    const std::string out = s.file("res.txt", fs::perms::owner_read | fs::perms::owner_write, "old\n");
    const int status = in_child([&] {
      orv::Output_Guard guard("t");
      if (!guard.redirect_stdout(out)) _exit(3);
      std::printf("new\n");
      std::fflush(stdout);
      raise(sig);
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), sig);
    EXPECT_EQ(names_in(s.path()), std::vector<std::string>{"res.txt"});
    EXPECT_EQ(read_file(out), "old\n");
  }
}

// A write beyond the file size limit ends the run as a signal would, and
// takes the temporary with it.
TEST(Interrupt, AWriteBeyondTheSizeLimitLeavesTheOldFileAndNoTemporary) {
  Scratch s;
  const std::string out = s.file("res.txt", fs::perms::owner_read | fs::perms::owner_write, "old\n");
  const int status = in_child([&] {
    signal(SIGXFSZ, SIG_DFL);
    struct rlimit none = {0, 0}, small = {4096, 4096};
    setrlimit(RLIMIT_CORE, &none);
    orv::Output_Guard guard("t");
    if (!guard.redirect_stdout(out)) _exit(3);
    setrlimit(RLIMIT_FSIZE, &small);
    for (int i = 0; i < 1000; ++i) std::printf("a line of the results\n");
    _exit(guard.finish(0));
  });
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
  EXPECT_EQ(names_in(s.path()), std::vector<std::string>{"res.txt"});
  EXPECT_EQ(read_file(out), "old\n");
}

TEST(Interrupt, FilesOpenedThroughTheGuardAreRemoved) {
  Scratch s;
  const int status = in_child([&] {
    orv::Output_Guard guard("t");
    FILE* a = guard.open(s.path("a.txt"));
    FILE* b = guard.open(s.path("b.txt"));
    if (!a || !b) _exit(3);
    std::fprintf(a, "x\n");
    guard.close(a);
    raise(SIGTERM);
  });
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_TRUE(names_in(s.path()).empty());
}

TEST(Interrupt, PrivateWorkFoldersAreRemovedWithWhatTheyHold) {
  Scratch s;
  const int status = in_child([&] {
    const std::string dir = orv::Make_Private_Dir(s.path(), "run");
    if (dir.empty()) _exit(3);
    std::ofstream(dir + "/net.pnl") << "x";
    fs::create_directories(dir + "/sub/deeper");
    std::ofstream(dir + "/sub/deeper/f.c") << "y";
    fs::create_symlink(s.path(), dir + "/link-out");
    raise(SIGINT);
  });
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_TRUE(names_in(s.path()).empty());
}

TEST(Interrupt, AKeptWorkFolderStays) {
  Scratch s;
  const int status = in_child([&] {
    const std::string dir = orv::Make_Private_Dir(s.path(), "run");
    if (dir.empty()) _exit(3);
    orv::Forget_On_Signal(dir);
    raise(SIGTERM);
  });
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(names_in(s.path()).size(), 1u);
}

TEST(Interrupt, SolverFoldersAreRemoved) {
  Scratch s;
  orv::test::Env env;
  env.set("TMPDIR", s.path());
  const int status = in_child([&] {
    orv::lp::Solve("p.lp", "p.res", [](FILE* f) {
      std::fprintf(f, "max: x;\nc1: x <= 4;\n");
      std::fflush(f);
      raise(SIGTERM);
    });
  });
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_TRUE(names_in(s.path()).empty());
}

// The signal sent to the driver alone (not its process group) reaches the
// child it waits for, and the folder the child works in goes too.
TEST(Interrupt, ARunningChildIsStoppedAndItsFolderRemoved) {
  Scratch s;
  const std::string ready = s.path("ready");
  const std::string child_pid = s.path("pid");
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    const std::string dir = orv::Make_Private_Dir(s.path(), "run");
    if (dir.empty()) _exit(3);
    orv::execute("t", "/bin/sh",
                 {"-c", "echo $$ > " + child_pid + "; touch " + dir + "/a.c " + ready +
                            "; exec sleep 60"});
    _exit(0);
  }
  // Wait for the grandchild to be running (bounded, not timed).
  for (int i = 0; i < 6000 && !fs::exists(ready); ++i) {
    struct timespec t = {0, 10 * 1000 * 1000};
    nanosleep(&t, nullptr);
  }
  ASSERT_TRUE(fs::exists(ready));
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  const pid_t sleeper = std::stoi(read_file(child_pid));
  EXPECT_NE(kill(sleeper, 0), 0);
  std::vector<std::string> left = names_in(s.path());
  EXPECT_EQ(left, (std::vector<std::string>{"pid", "ready"}));
  if (kill(sleeper, 0) == 0) kill(sleeper, SIGKILL);
}

// Under nohup, a hang-up stays ignored and the run goes on to its end.
TEST(Interrupt, AnIgnoredSignalStaysIgnored) {
  Scratch s;
  const std::string out = s.path("res.txt");
  const int status = in_child([&] {
    signal(SIGHUP, SIG_IGN);
    orv::Output_Guard guard("t");
    if (!guard.redirect_stdout(out)) _exit(3);
    std::printf("new\n");
    raise(SIGHUP);
    _exit(guard.finish(0));
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(read_file(out), "new\n");
}

}  // namespace
