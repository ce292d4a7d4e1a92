// The bridge to lp_solve, shared by the programs that solve linear programs:
// the program text is written to a named file, the solver is started (no
// shell in between) with that file on its standard input and its report
// redirected into a result file, the report is read back, and both files are
// deleted. Several programs may be solved at once, each by its own solver.
// The two files live in a fresh directory of their own under TMPDIR (default
// /tmp), removed afterwards: runs started in one working directory cannot
// overwrite each other's files, and a read-only working directory works.
//
// The report is read tolerantly: lp_solve 5.5 opens it with a blank line and
// prints "Value of objective function: v", "Actual values of the variables:"
// and one "name value" line per variable (then, on request, the constraints);
// older solvers print the objective line first. Lines that fit neither form
// are skipped, and a report without an objective line is told apart from an
// empty one, an infeasible problem and an unbounded one.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::lp {

enum class Outcome {
  Optimal,     // an objective value was read
  Infeasible,  // the solver says so
  Unbounded,   // the solver says so
  NoOutput,    // nothing but blanks (solver missing or silent)
  Unreadable,  // some text, but no objective line
  NotWritten,  // the program file could not be opened for writing
};

struct Variable {
  std::string Name;
  double Value = 0.0;
};

struct Result {
  Outcome Status = Outcome::NoOutput;
  double Objective = 0.0;
  std::vector<Variable> Variables;  // in the order printed
  int Shell_Status = 0;             // the solver's status as system() gives it; for traces
};

// Reads a solver report.
Result Parse_Result(std::string_view text);
// Reads a report file; NoOutput when it is missing or empty.
Result Read_Result_File(const std::string& path);

// The shell command the solver run stands for: "lp_solve < LP > RES", plus
// " 2>/dev/null" when quiet. File names are quoted for the shell.
std::string Solver_Command(const std::string& lp_path, const std::string& res_path, bool quiet);
// Runs lp_solve (found along PATH) with those redirections, started
// directly, without a shell; its status as system() would give it (127 when
// it cannot be found, after "lp_solve: not found" on standard error).
int Run_Solver(const std::string& lp_path, const std::string& res_path, bool quiet);

struct Options {
  bool Quiet = false;  // send the solver's standard error to /dev/null
};

// One whole round: makes the private directory and opens the program file
// lp_name in it (NotWritten, and nothing else done, when either fails), lets
// write fill it, closes it, runs the solver with its report in res_name,
// reads the report and removes the directory with both files. Only the last
// component of each name is used.
Result Solve(const std::string& lp_name, const std::string& res_name,
             const std::function<void(FILE*)>& write, const Options& options = {});

// The solvers run at once by Solve_Each by default: one per core.
int Solver_Slots();

// Solve for programs 0 .. count-1, with up to `slots` solvers running at
// once (0: Solver_Slots()), each program in a private directory of its own.
// write(i, f) fills program i (called in order, before its solver starts);
// done(i, result) is called for i = 0, 1, ... in order as the results come
// in. Waits for any child: the caller must have no other children running.
void Solve_Each(int count, const std::string& lp_name, const std::string& res_name,
                const std::function<void(int, FILE*)>& write,
                const std::function<void(int, Result)>& done, const Options& options = {},
                int slots = 0);

// Splits solver variable names. "x12" with prefix "x" gives 12; "y3_4" with
// prefix "y" and separator '_' gives 3 and 4. Only whole names of plain
// decimal indexes that fit an int match.
bool Var_Index(std::string_view name, std::string_view prefix, int& index);
bool Var_Index2(std::string_view name, std::string_view prefix, char sep, int& first, int& second);

}  // namespace orv::lp
