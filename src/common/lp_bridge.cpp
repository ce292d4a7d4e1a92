#include "common/lp_bridge.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <fcntl.h>
#include <sys/wait.h>

#include <cstring>
#include <map>

#include "common/work_files.h"

namespace orv::lp {

namespace {

std::string_view trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

bool starts_with(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

// The whole of s as a finite real.
bool whole_real(std::string_view s, double& out) {
  if (s.empty()) return false;
  std::string copy(s);
  char* end = nullptr;
  errno = 0;
  double v = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size() || errno == ERANGE || !std::isfinite(v)) return false;
  out = v;
  return true;
}

// "Words of letters and blanks: number", the solver's objective line.
bool objective_line(std::string_view line, double& value) {
  size_t colon = line.rfind(':');
  if (colon == std::string_view::npos || colon == 0) return false;
  for (size_t i = 0; i < colon; ++i) {
    char c = line[i];
    if (!std::isalpha(static_cast<unsigned char>(c)) && c != ' ' && c != '\t' && c != ':') return false;
  }
  return whole_real(trim(line.substr(colon + 1)), value);
}

bool contains_word(std::string_view line, std::string_view word) {
  std::string lower(line);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower.find(word) != std::string::npos;
}

// "name value": exactly two fields, the second a real.
bool variable_line(std::string_view line, Variable& var) {
  size_t i = 0;
  auto field = [&](std::string_view& out) {
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    size_t b = i;
    while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    out = line.substr(b, i - b);
    return !out.empty();
  };
  std::string_view name, value, extra;
  if (!field(name) || !field(value) || field(extra)) return false;
  if (!whole_real(value, var.Value)) return false;
  var.Name = std::string(name);
  return true;
}

bool digits(std::string_view s, int& out) {
  if (s.empty() || s.size() > 10) return false;
  long long v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v > INT_MAX) return false;
  out = static_cast<int>(v);
  return true;
}

std::string shell_quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'') q += "'\\''";
    else q += c;
  }
  return q + "'";
}

std::string last_component(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "" when the directory cannot be made.
std::string make_private_dir() {
  const char* tmp = std::getenv("TMPDIR");
  std::string templ = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/orv-lp.XXXXXX";
  if (::mkdtemp(templ.data()) == nullptr) return "";
  Remove_On_Signal(templ);
  return templ;
}

void remove_private_dir(const std::string& dir) {
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  Forget_On_Signal(dir);
}

}  // namespace

Result Parse_Result(std::string_view text) {
  Result r;
  bool any_text = false;
  bool have_objective = false;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) nl = text.size();
    std::string_view line = trim(text.substr(pos, nl - pos));
    pos = nl + 1;
    if (line.empty()) continue;
    any_text = true;
    if (!have_objective) {
      if (contains_word(line, "infeasible")) {
        r.Status = Outcome::Infeasible;
        return r;
      }
      if (contains_word(line, "unbounded")) {
        r.Status = Outcome::Unbounded;
        return r;
      }
      double v = 0.0;
      if (objective_line(line, v)) {
        have_objective = true;
        r.Objective = v;
      }
      continue;
    }
    // Constraint values and duals follow the variables; their row names
    // could pass for variables.
    if (starts_with(line, "Actual values of the constraints") || starts_with(line, "Dual value")) break;
    Variable var;
    if (variable_line(line, var)) r.Variables.push_back(std::move(var));
  }
  if (have_objective) r.Status = Outcome::Optimal;
  else r.Status = any_text ? Outcome::Unreadable : Outcome::NoOutput;
  return r;
}

Result Read_Result_File(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "r");
  if (!f) return Result{};
  std::string text;
  std::vector<char> chunk(4096);
  size_t n;
  while ((n = std::fread(chunk.data(), 1, chunk.size(), f)) > 0) text.append(chunk.data(), n);
  std::fclose(f);
  return Parse_Result(text);
}

std::string Solver_Command(const std::string& lp_path, const std::string& res_path, bool quiet) {
  std::string cmd = "lp_solve < " + shell_quote(lp_path) + " > " + shell_quote(res_path);
  if (quiet) cmd += " 2>/dev/null";
  return cmd;
}

namespace {

// Writes text on standard error with the calls a forked child may make.
void child_says(const char* a, const char* b) {
  ssize_t ignored = ::write(2, a, std::strlen(a));
  ignored = ::write(2, b, std::strlen(b));
  ignored = ::write(2, "\n", 1);
  (void)ignored;
}

// Starts lp_solve along PATH with the redirections the shell command would
// make, without a shell in between; the child's pid, or -1.
pid_t start_solver(const std::string& lp_path, const std::string& res_path, bool quiet) {
  // The solver shares our standard error: keep what we printed before it.
  std::fflush(nullptr);
  // Registered before a signal can be handled: an interrupt stops the solver
  // and removes the work folder rather than leave either behind.
  const pid_t pid = Fork_Child();
  if (pid != 0) return pid;
  const int in = ::open(lp_path.c_str(), O_RDONLY);
  if (in < 0) {
    child_says("lp_solve: cannot open the program: ", std::strerror(errno));
    ::_exit(2);
  }
  const int out = ::open(res_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (out < 0) {
    child_says("lp_solve: cannot create the report: ", std::strerror(errno));
    ::_exit(2);
  }
  ::dup2(in, 0);
  ::dup2(out, 1);
  if (quiet) {
    const int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) ::dup2(null, 2);
  }
  char name[] = "lp_solve";
  char* argv[] = {name, nullptr};
  ::execvp(name, argv);
  // What the shell would have said and returned.
  const int e = errno;
  child_says("lp_solve: ", e == ENOENT ? "not found" : std::strerror(e));
  ::_exit(e == ENOENT ? 127 : 126);
}

// The child's status as system() gives it; -1 when it cannot be had.
int wait_for(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      Child_Ended(pid);
      return -1;
    }
  }
  Child_Ended(pid);
  return status;
}

}  // namespace

int Run_Solver(const std::string& lp_path, const std::string& res_path, bool quiet) {
  const pid_t pid = start_solver(lp_path, res_path, quiet);
  return pid < 0 ? -1 : wait_for(pid);
}

namespace {

// One program on its way through the solver, in its own private directory.
struct Job {
  std::string dir, lp_path, res_path;
};

// Makes the directory and writes the program; false (nothing left behind)
// when either fails.
bool prepare(Job& job, const std::string& lp_name, const std::string& res_name,
             const std::function<void(FILE*)>& write) {
  job.dir = make_private_dir();
  if (job.dir.empty()) return false;
  job.lp_path = job.dir + "/" + last_component(lp_name);
  job.res_path = job.dir + "/" + last_component(res_name);
  FILE* f = std::fopen(job.lp_path.c_str(), "w");
  if (!f) {
    remove_private_dir(job.dir);
    return false;
  }
  write(f);
  bool written = !std::ferror(f);
  if (std::fclose(f) != 0) written = false;
  if (!written) remove_private_dir(job.dir);
  return written;
}

Result finish(const Job& job, int status) {
  std::remove(job.lp_path.c_str());
  Result r = Read_Result_File(job.res_path);
  remove_private_dir(job.dir);
  r.Shell_Status = status;
  return r;
}

Result not_written() {
  Result r;
  r.Status = Outcome::NotWritten;
  return r;
}

}  // namespace

Result Solve(const std::string& lp_name, const std::string& res_name,
             const std::function<void(FILE*)>& write, const Options& options) {
  Job job;
  if (!prepare(job, lp_name, res_name, write)) return not_written();
  return finish(job, Run_Solver(job.lp_path, job.res_path, options.Quiet));
}

int Solver_Slots() {
  const long cores = ::sysconf(_SC_NPROCESSORS_ONLN);
  return cores > 0 ? static_cast<int>(std::min(cores, 256L)) : 1;
}

void Solve_Each(int count, const std::string& lp_name, const std::string& res_name,
                const std::function<void(int, FILE*)>& write,
                const std::function<void(int, Result)>& done, const Options& options,
                int slots) {
  if (slots <= 0) slots = Solver_Slots();
  std::map<pid_t, std::pair<int, Job>> running;
  std::map<int, Result> ready;  // finished ahead of their turn
  int next = 0, reported = 0;
  while (reported < count) {
    while (static_cast<int>(running.size()) < slots && next < count) {
      const int i = next++;
      Job job;
      if (!prepare(job, lp_name, res_name, [&](FILE* f) { write(i, f); })) {
        ready.emplace(i, not_written());
        continue;
      }
      const pid_t pid = start_solver(job.lp_path, job.res_path, options.Quiet);
      if (pid < 0)
        ready.emplace(i, finish(job, -1));
      else
        running.emplace(pid, std::make_pair(i, std::move(job)));
    }
    auto it = ready.find(reported);
    if (it != ready.end()) {
      Result r = std::move(it->second);
      ready.erase(it);
      done(reported++, std::move(r));
      continue;
    }
    // Every child of the calling program here is a solver of this round.
    int status = 0;
    const pid_t pid = ::waitpid(-1, &status, 0);
    if (pid < 0) {
      if (errno == EINTR) continue;
      // No child left to wait for: the rest cannot finish.
      for (auto& [p, job] : running) {
        Child_Ended(p);
        ready.emplace(job.first, finish(job.second, -1));
      }
      running.clear();
      continue;
    }
    Child_Ended(pid);
    auto job = running.find(pid);
    if (job == running.end()) continue;
    ready.emplace(job->second.first, finish(job->second.second, status));
    running.erase(job);
  }
}

bool Var_Index(std::string_view name, std::string_view prefix, int& index) {
  if (!starts_with(name, prefix)) return false;
  return digits(name.substr(prefix.size()), index);
}

bool Var_Index2(std::string_view name, std::string_view prefix, char sep, int& first, int& second) {
  if (!starts_with(name, prefix)) return false;
  std::string_view rest = name.substr(prefix.size());
  size_t s = rest.find(sep);
  if (s == std::string_view::npos) return false;
  int a = 0, b = 0;
  if (!digits(rest.substr(0, s), a) || !digits(rest.substr(s + 1), b)) return false;
  first = a;
  second = b;
  return true;
}

}  // namespace orv::lp
