#include "data.h"

#include <cmath>
#include <new>

namespace stelvic {

namespace {
const char* const kProg = "stelvic";
constexpr int kMaxQueues = 99999;
constexpr int kMaxPeriod = 999999;
}  // namespace

int Read_Data(FILE* in, Data& d, bool force) {
  const int got = std::fscanf(in, "%lf", &d.lambda);
  if (got != 1 || !(d.lambda > 0) || !std::isfinite(d.lambda)) {
    std::fprintf(stderr, "%s: error: bad value for lambda (%f).\n", kProg, d.lambda);
    // The value printed is no value read: say why there was none.
    if (got == EOF)
      std::fprintf(stderr, "%s: the data file is empty.\n", kProg);
    else if (got != 1)
      std::fprintf(stderr, "%s: the data file does not begin with a number.\n", kProg);
    return -1;
  }
  if (std::fscanf(in, "%d", &d.N) != 1 || d.N < 1 || d.N > kMaxQueues) {
    std::fprintf(stderr, "%s: error: bad number of queues (%d).\n", kProg, d.N);
    return -1;
  }
  d.service.assign(d.N + 1, 0.0);
  d.weight.assign(d.N + 1, 0.0);
  // A negative or endless service time would make no queue at all.
  for (int q = 1; q <= d.N; ++q)
    if (std::fscanf(in, "%lf", &d.service[q]) != 1 || !(d.service[q] >= 0) ||
        !std::isfinite(d.service[q])) {
      std::fprintf(stderr, "%s: error: reading service times.\n", kProg);
      return -1;
    }
  for (int q = 1; q <= d.N; ++q)
    if (std::fscanf(in, "%lf", &d.weight[q]) != 1 || !std::isfinite(d.weight[q])) {
      std::fprintf(stderr, "%s: error: reading weights.\n", kProg);
      return -1;
    }
  int P = 0;
  if (std::fscanf(in, "%d", &P) != 1 || P < 1 || P > kMaxPeriod) {
    std::fprintf(stderr, "%s: error: bad period (%d).\n", kProg, P);
    return -1;
  }
  try {
    d.Routing.assign(P, 0);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "%s: error: could not allocate memory. ", kProg);
    std::fprintf(stderr, "Period too long.\n");
    return -1;
  }
  for (int i = 0; i < P; ++i) {
    int r;
    if (std::fscanf(in, "%d", &r) != 1) {
      std::fprintf(stderr, "%s: error: reading routing #%d.\n", kProg, i + 1);
      return -1;
    }
    if (r < 0 || r > d.N) {
      if (!force) {
        std::fprintf(stderr, "%s: error: routing #%d (%d) ", kProg, i, r);
        std::fprintf(stderr, "is out of bounds.\n");
        std::fprintf(stderr, "%s: error: reading routing #%d.\n", kProg, i + 1);
        return -1;
      }
      std::fprintf(stderr, "%s: warning: routing #%d (%d) ", kProg, i, r);
      std::fprintf(stderr, "is out of bounds. Rejection assumed.\n");
      r = 0;
    }
    d.Routing[i] = r;
  }
  return 0;
}

}  // namespace stelvic
