#include "data.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

const char* prog() { return orv::qn::Tool_Name.c_str(); }

bool next_word(FILE* in, std::string& w) {
  w.clear();
  int c;
  while ((c = std::fgetc(in)) != EOF && std::isspace(static_cast<unsigned char>(c))) {
  }
  while (c != EOF && !std::isspace(static_cast<unsigned char>(c))) {
    w.push_back(static_cast<char>(c));
    c = std::fgetc(in);
  }
  return !w.empty();
}

// Whole words only: "1.5x" (or "1.5" then a NUL byte) in a data file is a
// mistake, not 1.5.
bool parse_real(const std::string& w, double& out) {
  char* end = nullptr;
  errno = 0;
  double v = std::strtod(w.c_str(), &end);
  if (w.empty() || end != w.c_str() + w.size() || !std::isfinite(v)) return false;
  out = v;
  return true;
}

bool parse_int(const std::string& w, long& out) {
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(w.c_str(), &end, 10);
  if (w.empty() || end != w.c_str() + w.size() || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
  out = v;
  return true;
}

}  // namespace

void Refuse_Cycle(double cycle) {
  std::fprintf(stderr, "%s: error: the period must have a positive length (cycle length %f).\n",
               prog(), cycle);
}

int Read_Data(FILE* in, orv::qn::SEQUENCE& s, double& lambda, bool& has_customer, int& customer) {
  std::string w;
  long T = 0, D = 0;
  bool ok = next_word(in, w) && parse_real(w, lambda) && next_word(in, w) && parse_int(w, T) &&
            next_word(in, w) && parse_int(w, D);
  // A period of no value leaves nothing to repeat and divides by zero.
  if (!ok || !(lambda > 0) || D < 1) {
    std::fprintf(stderr, "%s: error: bad beginning of data file.\n", prog());
    return -1;
  }
  if (T < 0) {
    std::fprintf(stderr, "%s: warning: transient length set to 0\n", prog());
    T = 0;
  }
  if (T + 1 > orv::qn::Max_Table) {
    std::fprintf(stderr, "%s: error: could not allocate memory. ", prog());
    std::fprintf(stderr, "Transients too long.\n");
    return -1;
  }
  if (D > orv::qn::Max_Table) {
    std::fprintf(stderr, "%s: error: could not allocate memory. ", prog());
    std::fprintf(stderr, "Period too long.\n");
    return -1;
  }
  s.T = static_cast<int>(T);
  s.D = static_cast<int>(D);
  s.B.clear();
  s.Eps.clear();
  s.Inc.clear();
  // Storage grows with the values actually read, so a large count in a short
  // file ends in a read error rather than in a huge allocation.
  try {
    for (long i = 0; i <= T; ++i) {
      double v = 0.0;
      bool is_eps = next_word(in, w) && w == "eps";
      if (!is_eps && !parse_real(w, v)) {
        std::fprintf(stderr, "%s: error reading transients data: found \"%s\".\n", prog(), w.c_str());
        return -1;
      }
      s.B.push_back(v);
      s.Eps.push_back(is_eps);
    }
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "%s: error: could not allocate memory. ", prog());
    std::fprintf(stderr, "Transients too long.\n");
    return -1;
  }
  try {
    for (long i = 0; i < D; ++i) {
      double v = 0.0;
      if (!next_word(in, w) || !parse_real(w, v)) {
        std::fprintf(stderr, "%s: error reading period data.\n", prog());
        return -1;
      }
      s.Inc.push_back(v);
    }
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "%s: error: could not allocate memory. ", prog());
    std::fprintf(stderr, "Period too long.\n");
    return -1;
  }
  // A period of length 0 serves every later customer at B_T: one
  // customer's wait is still defined, the stationary regime is not (the
  // caller refuses it there).
  double cycle = 0.0;
  for (double d : s.Inc) cycle += d;
  if (!(cycle >= 0)) {
    Refuse_Cycle(cycle);
    return -1;
  }
  long n = 0;
  has_customer = next_word(in, w) && parse_int(w, n);
  if (has_customer) {
    customer = static_cast<int>(n);
    if (customer < -1) {
      std::fprintf(stderr, "%s: warning: stationary ", prog());
      std::fprintf(stderr, "distribution assumed.\n");
      customer = -1;
    }
  }
  return 0;
}
