#include "common/lp_bridge.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "scratch.h"

namespace {

using orv::lp::Outcome;

// lp_solve 5.5's report of a small problem, as it prints it.
const char* kReport55 =
    "\n"
    "Value of objective function: 2.50000000\n"
    "\n"
    "Actual values of the variables:\n"
    "x0                            1.5\n"
    "y3_4                            1\n"
    "t2                        1e+15\n"
    "\n"
    "Actual values of the constraints:\n"
    "R1                              3\n";

TEST(LpParse, ReadsTheCurrentSolverLayout) {
  auto r = orv::lp::Parse_Result(kReport55);
  ASSERT_EQ(r.Status, Outcome::Optimal);
  EXPECT_DOUBLE_EQ(r.Objective, 2.5);
  ASSERT_EQ(r.Variables.size(), 3u);  // constraint rows are not variables
  EXPECT_EQ(r.Variables[0].Name, "x0");
  EXPECT_DOUBLE_EQ(r.Variables[0].Value, 1.5);
  EXPECT_EQ(r.Variables[1].Name, "y3_4");
  EXPECT_DOUBLE_EQ(r.Variables[2].Value, 1e15);
}

TEST(LpParse, ReadsTheOlderLayoutAndCarriageReturns) {
  auto r = orv::lp::Parse_Result("Value of objective function: 0.5\r\nq0 0.25\r\nt1 0.5\r\n");
  ASSERT_EQ(r.Status, Outcome::Optimal);
  EXPECT_DOUBLE_EQ(r.Objective, 0.5);
  ASSERT_EQ(r.Variables.size(), 2u);
  EXPECT_EQ(r.Variables[1].Name, "t1");
}

TEST(LpParse, TellsTheFailuresApart) {
  struct Case {
    const char* text;
    Outcome want;
  } cases[] = {
      {"", Outcome::NoOutput},
      {"\n  \n\t\n", Outcome::NoOutput},
      {"\nThis problem is infeasible\n", Outcome::Infeasible},
      {"initialize_solution: Invalid rebounding; variable 2\nThis problem is infeasible\n",
       Outcome::Infeasible},
      {"\nThis problem is unbounded\n", Outcome::Unbounded},
      {"syntax error on line 3\n", Outcome::Unreadable},
      // A number after words but no colon, a colon then words, a number
      // with a tail: none is an objective line.
      {"Value of objective function 3\n", Outcome::Unreadable},
      {"set_XXXX: Invalid row index 3\n", Outcome::Unreadable},
      {"Value of objective function: 3x\n", Outcome::Unreadable},
      {"Value of objective function: nan\n", Outcome::Unreadable},
  };
  for (const auto& c : cases) {
    auto r = orv::lp::Parse_Result(c.text);
    EXPECT_EQ(r.Status, c.want) << c.text;
    EXPECT_TRUE(r.Variables.empty()) << c.text;
  }
}

TEST(LpParse, SkipsVariableLinesThatDoNotConvert) {
  auto r = orv::lp::Parse_Result(
      "Value of objective function: 0\n"
      "Actual values of the variables:\n"
      "t 1\n"         // a name and a number: kept, the caller checks names
      "x1 abc\n"
      "x2 1 2\n"
      "x3\n"
      "x4 -0.5\n"
      "Dual values with upper and lower limits:\n"
      "x5 7\n");
  ASSERT_EQ(r.Status, Outcome::Optimal);
  EXPECT_DOUBLE_EQ(r.Objective, 0.0);
  ASSERT_EQ(r.Variables.size(), 2u);
  EXPECT_EQ(r.Variables[0].Name, "t");
  EXPECT_EQ(r.Variables[1].Name, "x4");
  EXPECT_DOUBLE_EQ(r.Variables[1].Value, -0.5);
}

TEST(LpVarIndex, MatchesWholeNamesOnly) {
  int i = -1, j = -1;
  EXPECT_TRUE(orv::lp::Var_Index("x12", "x", i));
  EXPECT_EQ(i, 12);
  EXPECT_TRUE(orv::lp::Var_Index("m_0", "m_", i));
  EXPECT_EQ(i, 0);
  for (const char* bad : {"x", "x-1", "x1a", "xx1", "y1", "x99999999999", "x2147483648", "x 1"})
    EXPECT_FALSE(orv::lp::Var_Index(bad, "x", i)) << bad;
  EXPECT_TRUE(orv::lp::Var_Index("x2147483647", "x", i));

  EXPECT_TRUE(orv::lp::Var_Index2("y3_14", "y", '_', i, j));
  EXPECT_EQ(i, 3);
  EXPECT_EQ(j, 14);
  for (const char* bad : {"y3", "y3_", "y_3", "y3_4_5", "y3-4", "x3_4"})
    EXPECT_FALSE(orv::lp::Var_Index2(bad, "y", '_', i, j)) << bad;
}

TEST(LpSolve, SolvesWithTheRealSolverAndCleansUp) {
  orv::test::Scratch dir;
  const std::string lp = dir.path("a.lp"), res = dir.path("a res");  // a blank in a name
  auto r = orv::lp::Solve(lp, res, [](FILE* f) {
    std::fprintf(f, "max: x0 + x1;\nx0 + 2 x1 <= 4;\nx0 <= 3;\n");
  });
  ASSERT_EQ(r.Status, Outcome::Optimal);
  EXPECT_NEAR(r.Objective, 3.5, 1e-9);
  ASSERT_EQ(r.Variables.size(), 2u);
  EXPECT_EQ(r.Variables[0].Name, "x0");
  EXPECT_NEAR(r.Variables[0].Value, 3.0, 1e-9);
  EXPECT_NEAR(r.Variables[1].Value, 0.5, 1e-9);
  EXPECT_FALSE(std::filesystem::exists(lp));
  EXPECT_FALSE(std::filesystem::exists(res));
}

TEST(LpSolve, RealSolverReportsUnboundedAndInfeasible) {
  orv::test::Scratch dir;
  auto unb = orv::lp::Solve(dir.path("u.lp"), dir.path("u.res"),
                            [](FILE* f) { std::fprintf(f, "max: x0;\nx0 - x1 >= 1;\n"); });
  EXPECT_EQ(unb.Status, Outcome::Unbounded);
  auto inf = orv::lp::Solve(dir.path("i.lp"), dir.path("i.res"),
                            [](FILE* f) { std::fprintf(f, "max: x0;\nx0 + x1 >= 2;\nx0 + x1 <= 1;\n"); });
  EXPECT_EQ(inf.Status, Outcome::Infeasible);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(LpSolve, MissingOrFailingSolverGivesNoResult) {
  orv::test::Scratch dir;
  orv::test::Env env;
  const std::string lp = dir.path("p.lp"), res = dir.path("p.res");
  auto write = [](FILE* f) { std::fprintf(f, "max: x0;\nx0 <= 1;\n"); };

  env.set("PATH", dir.folder("empty"));
  auto missing = orv::lp::Solve(lp, res, write, {true});
  EXPECT_EQ(missing.Status, Outcome::NoOutput);
  EXPECT_NE(missing.Shell_Status, 0);

  env.set("PATH", dir.folder("bin") + ":/usr/bin:/bin");
  dir.program("bin/lp_solve", "cat >/dev/null\necho 'Segmentation fault'\nexit 139\n");
  auto garbled = orv::lp::Solve(lp, res, write);
  EXPECT_EQ(garbled.Status, Outcome::Unreadable);
  EXPECT_FALSE(std::filesystem::exists(lp));
  EXPECT_FALSE(std::filesystem::exists(res));

  // The stub sees exactly the program that was written.
  dir.program("bin/lp_solve", "echo 'Value of objective function: 1'\ncat\n");
  auto echoed = orv::lp::Solve(lp, res, [](FILE* f) { std::fprintf(f, "z9 4\n"); });
  ASSERT_EQ(echoed.Status, Outcome::Optimal);
  ASSERT_EQ(echoed.Variables.size(), 1u);
  EXPECT_EQ(echoed.Variables[0].Name, "z9");
}

TEST(LpSolve, UnwritableProgramFileRunsNothing) {
  orv::test::Scratch dir;
  orv::test::Env env;
  // No private directory can be made under a TMPDIR that does not exist.
  env.set("TMPDIR", dir.path("no/such/dir"));
  bool called = false;
  auto r = orv::lp::Solve("p.lp", "p.res", [&](FILE*) { called = true; });
  EXPECT_EQ(r.Status, Outcome::NotWritten);
  EXPECT_FALSE(called);
  EXPECT_FALSE(std::filesystem::exists(dir.path("no")));
}

// The files go to a fresh folder under TMPDIR, not to the working folder or
// beside the names given, and nothing is left behind.
TEST(LpSolve, FilesLiveInAPrivateFolderUnderTmpdir) {
  orv::test::Scratch dir;
  orv::test::Env env;
  const std::string tmp = dir.folder("tmp"), work = dir.folder("work");
  env.set("TMPDIR", tmp);
  env.chdir(work);
  env.set("PATH", dir.folder("bin") + ":/usr/bin:/bin");
  // The stub records where the two files are while it runs.
  dir.program("bin/lp_solve",
              "ls -d \"$TMPDIR\"/orv-lp.*/* > '" + dir.path("seen") + "'\n"
              "cat >/dev/null\necho 'Value of objective function: 0'\n");
  auto r = orv::lp::Solve("dunvesk_lin.lp", "dunvesk_lin.res",
                          [](FILE* f) { std::fprintf(f, "min: ;\n"); });
  EXPECT_EQ(r.Status, Outcome::Optimal);
  const std::string seen = orv::test::read_file(dir.path("seen"));
  EXPECT_NE(seen.find("/dunvesk_lin.lp\n"), std::string::npos) << seen;
  EXPECT_NE(seen.find("/dunvesk_lin.res\n"), std::string::npos) << seen;
  EXPECT_EQ(seen.rfind(tmp + "/orv-lp.", 0), 0u) << seen;
  EXPECT_TRUE(std::filesystem::is_empty(tmp));
  EXPECT_TRUE(std::filesystem::is_empty(work));

  // A directory named like the program file in the working folder is no
  // obstacle.
  std::filesystem::create_directory(work + "/dunvesk_lin.lp");
  auto again = orv::lp::Solve("dunvesk_lin.lp", "dunvesk_lin.res",
                              [](FILE* f) { std::fprintf(f, "min: ;\n"); });
  EXPECT_EQ(again.Status, Outcome::Optimal);
  EXPECT_TRUE(std::filesystem::is_empty(tmp));
}

TEST(LpSolve, MissingSolverIsNamedOnStandardError) {
  orv::test::Scratch dir;
  orv::test::Env env;
  env.set("PATH", dir.folder("empty"));
  orv::test::Capture err(stderr, dir.path("err"));
  auto r = orv::lp::Solve("p.lp", "p.res", [](FILE* f) { std::fprintf(f, "max: x;\n"); });
  const std::string text = err.text();
  EXPECT_EQ(r.Status, Outcome::NoOutput);
  EXPECT_EQ(text, "lp_solve: not found\n");
  // 127, as the shell reports a command it cannot find.
  ASSERT_TRUE(WIFEXITED(r.Shell_Status));
  EXPECT_EQ(WEXITSTATUS(r.Shell_Status), 127);
}

// Programs finish out of order (the first ones sleep longest); the results
// still come back in program order, each from its own program.
TEST(LpSolveEach, ResultsInProgramOrder) {
  orv::test::Scratch dir;
  orv::test::Env env;
  env.set("TMPDIR", dir.folder("tmp"));
  env.set("PATH", dir.folder("bin") + ":/usr/bin:/bin");
  // The program is "<delay> <value>": the stub sleeps, then reports value.
  dir.program("bin/lp_solve",
              "read delay value\nsleep \"$delay\"\n"
              "printf '\\nValue of objective function: %s\\n' \"$value\"\n");
  const int count = 7;
  std::vector<int> order;
  std::vector<double> objective;
  orv::lp::Solve_Each(
      count, "p.lp", "p.res",
      [&](int i, FILE* f) { std::fprintf(f, "%.2f %d\n", 0.05 * (count - i), 10 * i + 1); },
      [&](int i, orv::lp::Result r) {
        order.push_back(i);
        EXPECT_EQ(r.Status, Outcome::Optimal) << i;
        objective.push_back(r.Objective);
      },
      {}, 3);
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(objective, (std::vector<double>{1, 11, 21, 31, 41, 51, 61}));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path("tmp")));
}

TEST(LpSolveEach, UnwritableProgramsAndMissingSolver) {
  orv::test::Scratch dir;
  orv::test::Env env;
  env.set("TMPDIR", dir.path("no/such/dir"));
  int written = 0;
  std::vector<Outcome> got;
  auto collect = [&](int, orv::lp::Result r) { got.push_back(r.Status); };
  orv::lp::Solve_Each(3, "p.lp", "p.res", [&](int, FILE*) { ++written; }, collect);
  EXPECT_EQ(written, 0);
  EXPECT_EQ(got, (std::vector<Outcome>(3, Outcome::NotWritten)));

  env.set("TMPDIR", dir.folder("tmp"));
  env.set("PATH", dir.folder("empty"));
  got.clear();
  orv::lp::Solve_Each(4, "p.lp", "p.res", [&](int, FILE* f) { std::fputs("max: x;\n", f); },
                      collect, {true}, 2);
  EXPECT_EQ(got, (std::vector<Outcome>(4, Outcome::NoOutput)));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path("tmp")));
}

TEST(LpSolve, CommandQuotesFileNames) {
  EXPECT_EQ(orv::lp::Solver_Command("brodel.lp", "brodel.res", true),
            "lp_solve < 'brodel.lp' > 'brodel.res' 2>/dev/null");
  EXPECT_EQ(orv::lp::Solver_Command("it's.lp", "r", false), "lp_solve < 'it'\\''s.lp' > 'r'");
}

}  // namespace
