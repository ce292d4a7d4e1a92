#include "common/execute.h"

#include <gtest/gtest.h>

#include "scratch.h"

namespace {

using orv::test::Capture;
using orv::test::Env;
using orv::test::Scratch;

struct Outcome {
  int status;
  std::string err;
};

Outcome run(const Scratch& dir, const std::string& program, const std::vector<std::string>& args) {
  Capture err(stderr, dir.path("stderr.txt"));
  const int status = orv::execute("quanter", program, args);
  return {status, err.text()};
}

TEST(Execute, ReturnsTheChildsStatusAfterEchoingTheCommand) {
  Scratch dir;
  struct Case {
    std::string program;
    std::vector<std::string> args;
    int status;
    std::string echo;
  } cases[] = {
      // Two blanks before the first argument, a trailing one without any.
      {"true", {}, 0, "quanter: Executing true \n"},
      {"sh", {"-c", "exit 3"}, 3, "quanter: Executing sh  -c exit 3\n"},
      {"sh", {"-c", "kill -TERM $$"}, 128 + 15, "quanter: Executing sh  -c kill -TERM $$\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.echo);
    const Outcome r = run(dir, c.program, c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, c.echo);
  }
}

// A step that does not end with 0 is named with its status; one that does
// is only echoed.
TEST(Execute, RunStepReportsAFailedChild) {
  Scratch dir;
  {
    Capture err(stderr, dir.path("ok.txt"));
    EXPECT_TRUE(orv::Run_Step("yarrisk", "true"));
    EXPECT_EQ(err.text(), "yarrisk: Executing true \n");
  }
  Capture err(stderr, dir.path("failed.txt"));
  EXPECT_FALSE(orv::Run_Step("yarrisk", "sh", {"-c", "exit 4"}));
  EXPECT_EQ(err.text(), "yarrisk: Executing sh  -c exit 4\n"
                        "yarrisk: error: sh failed (exit status 4)\n");
}

TEST(Execute, ProgramThatCannotStart) {
  Scratch dir;
  const std::string missing = dir.path("no-such-program");
  const Outcome r = run(dir, missing, {"-f", "net.pnl"});
  EXPECT_EQ(r.status, orv::EXECUTE_NOT_STARTED);
  // The fixed line, then the cause: the program named and where it was looked for.
  EXPECT_EQ(r.err, "quanter: Executing " + missing + "  -f net.pnl\n" +
                       "quanter: Problem executing " + missing + " (error=-1) -f net.pnl(-1)\n" +
                       "quanter: error: cannot run " + missing + ": No such file or directory\n");

  // Neither can a bare name that is nowhere on PATH.
  Env env;
  env.set("PATH", dir.path() + ":" + dir.path("bin"));
  const Outcome bare = run(dir, "no-such-program", {});
  EXPECT_EQ(bare.status, orv::EXECUTE_NOT_STARTED);
  EXPECT_EQ(bare.err, "quanter: Executing no-such-program \n"
                      "quanter: Problem executing no-such-program (error=-1)(-1)\n"
                      "quanter: error: no-such-program is not found in any folder of PATH (" +
                          dir.path() + ":" + dir.path("bin") + ")\n");
}

TEST(Execute, BareNameFoundOnPathNotInCurrentFolder) {
  Scratch dir;
  dir.program("here/tool", "exit 5\n");
  dir.program("bin/tool", "exit 7\n");
  Env env;
  env.chdir(dir.path("here"));
  env.set("PATH", dir.path("bin"));
  EXPECT_EQ(run(dir, "tool", {}).status, 7);
}

TEST(Execute, ManyArgumentsReachTheChild) {
  Scratch dir;
  std::vector<std::string> args{"-c", "exit $#", "sh"};
  for (int i = 0; i < 150; ++i) args.push_back(std::to_string(i));
  EXPECT_EQ(run(dir, "sh", args).status, 150);
}

TEST(Execute, ChildOutputFollowsTheParentsBufferedOutput) {
  Scratch dir;
  const std::string out = dir.path("out.txt");
  {
    Capture cap(stdout, out);
    // Without a newline this stays in the buffer, whatever stdout's mode.
    std::fputs("before;", stdout);
    Capture err(stderr, dir.path("stderr.txt"));
    EXPECT_EQ(orv::execute("cadrix", "sh", {"-c", "printf child"}), 0);
    std::fputs(";after", stdout);
    EXPECT_EQ(cap.text(), "before;child;after");
  }
}

}  // namespace
