#include "common/args.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace orv {

Args::Args(int argc, char** argv, std::string prog, FILE* msg)
    : argc_(argc), argv_(argv), prog_(std::move(prog)), msg_(msg) {}

bool Args::next() {
  if (halted() || stopped_ || pos_ + 1 >= argc_) return false;
  ++pos_;
  return true;
}

bool Args::is(const char* opt) const { return std::strcmp(argv_[pos_], opt) == 0; }

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
bool Args::report(const char* fmt) {
  std::fprintf(msg_, fmt, prog_.c_str(), argv_[pos_]);
  failed_ = true;
  return false;
}
#pragma GCC diagnostic pop

bool Args::take_word(std::string& out, const char* fmt) {
  if (halted() || pos_ + 1 >= argc_) return report(fmt);
  out = argv_[++pos_];
  return true;
}

bool Args::take_string(std::string& out) {
  return take_word(out, "%s: argument missing after %s\n");
}

bool Args::take_int(int& out, const char* fmt) {
  if (halted() || pos_ + 1 >= argc_ || !read_int(argv_[pos_ + 1], out)) return report(fmt);
  ++pos_;
  return true;
}

bool Args::take_int(int& out) { return take_int(out, "%s: integer expected after %s\n"); }

bool Args::take_present_int(int& out) {
  if (halted() || pos_ + 1 >= argc_) return report("%s: argument missing after %s\n");
  return take_int(out);
}

bool Args::take_real(double& out, const char* fmt) {
  if (halted() || pos_ + 1 >= argc_ || !read_real(argv_[pos_ + 1], out)) return report(fmt);
  ++pos_;
  return true;
}

bool Args::take_real(double& out) { return take_real(out, "%s: real expected after %s\n"); }

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
bool Args::take_input(std::string& name, const char* missing_fmt, const char* open_fmt) {
  if (!take_word(name, missing_fmt)) return false;
  if (std::freopen(name.c_str(), "r", stdin) != nullptr) return true;
  std::fprintf(stderr, open_fmt, prog_.c_str(), name.c_str());
  failed_ = true;
  return false;
}
#pragma GCC diagnostic pop

bool Args::take_input(std::string& name, const char* open_fmt) {
  return take_input(name, "%s: argument missing after %s\n", open_fmt);
}

bool Args::standard(const Standard& s) {
  if (s.version != nullptr && is("-v")) {
    std::printf("%s (Version %s)\n", s.name != nullptr ? s.name : prog_.c_str(), s.version);
    version_shown_ = true;
  } else if (is("-h") || is("-?") || (s.help_word && is("-help"))) {
    if (s.usage) s.usage();
  } else {
    return false;
  }
  stopped_ = true;
  return true;
}

void Args::print_version(const char* version) const {
  std::fprintf(msg_, "%s (Version %s)\n", prog_.c_str(), version);
}

// A leading integer, as sscanf's %d takes it, but one beyond int is not an
// integer rather than a wrapped value.
bool read_int(const char* s, int& out) {
  errno = 0;
  char* end = nullptr;
  long v = std::strtol(s, &end, 10);
  if (end == s || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
  out = static_cast<int>(v);
  return true;
}
bool read_real(const char* s, double& out) { return std::sscanf(s, "%lf", &out) == 1; }

}  // namespace orv
