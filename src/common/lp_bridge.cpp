#include "common/lp_bridge.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

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
  return templ;
}

void remove_private_dir(const std::string& dir) {
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
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

int Run_Solver(const std::string& lp_path, const std::string& res_path, bool quiet) {
  // The solver shares our standard error: keep what we printed before it.
  std::fflush(nullptr);
  return std::system(Solver_Command(lp_path, res_path, quiet).c_str());
}

Result Solve(const std::string& lp_name, const std::string& res_name,
             const std::function<void(FILE*)>& write, const Options& options) {
  Result not_written;
  not_written.Status = Outcome::NotWritten;
  const std::string dir = make_private_dir();
  if (dir.empty()) return not_written;
  const std::string lp_path = dir + "/" + last_component(lp_name);
  const std::string res_path = dir + "/" + last_component(res_name);
  FILE* f = std::fopen(lp_path.c_str(), "w");
  if (!f) {
    remove_private_dir(dir);
    return not_written;
  }
  write(f);
  bool written = !std::ferror(f);
  if (std::fclose(f) != 0) written = false;
  if (!written) {
    remove_private_dir(dir);
    return not_written;
  }
  int status = Run_Solver(lp_path, res_path, options.Quiet);
  std::remove(lp_path.c_str());
  Result r = Read_Result_File(res_path);
  remove_private_dir(dir);
  r.Shell_Status = status;
  return r;
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
