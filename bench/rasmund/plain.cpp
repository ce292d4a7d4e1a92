// The recursion rasmund runs, written as a plain loop: exponential on and off
// periods from the same generator, the workload between them, and per
// regeneration cycle the time spent above each level (every level, with the
// sum and sum of squares of that time). Prints a checksum so the work is
// not optimised away. Usage: rasmund_plain PAIRS LEVELS STEP PEAK
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/random_variates.h"

int main(int argc, char** argv) {
  if (argc < 5) return 1;
  const long long pairs = std::atoll(argv[1]);
  const int levels = std::atoi(argv[2]);
  const double step = std::atof(argv[3]), r = std::atof(argv[4]), c = 1.0;
  // Difference tables: a stretch adds (hi - lo)/s below lo's cell and
  // (hi - x)/s from there to hi's cell; a cycle sums them up to its top.
  std::vector<double> dA(levels + 2, 0.0), dB(levels + 2, 0.0), sum(levels, 0.0),
      sum2(levels, 0.0);
  double W = 0.0, t = 0.0, start = 0.0, cycles = 0.0, total = 0.0;
  int top = 0;
  auto cell = [&](double v) {
    const double k = std::ceil(v / step);
    return k < levels ? static_cast<int>(k) : levels;
  };
  auto stretch = [&](double a, double b, double s) {
    const double lo = std::fmin(a, b), hi = std::fmax(a, b);
    const int kl = cell(lo), kh = cell(hi);
    dA[0] += (hi - lo) / s;
    dA[kl] += lo / s;
    dA[kh] -= hi / s;
    dB[kl] -= 1 / s;
    dB[kh] += 1 / s;
    if (kh > top) top = kh;
  };
  for (long long i = 0; i < pairs; ++i) {
    const double a = orv::Exponential(1.0);
    double W1 = W + (r - c) * a;
    if (W1 < 0) W1 = 0;
    stretch(W, W1, std::fabs(r - c));
    t += a;
    W = W1;
    const double b = orv::Exponential(1.0);
    W1 = W - c * b;
    if (W1 < 0) W1 = 0;
    stretch(W1, W, c);
    t += b;
    W = W1;
    if (W == 0) {
      double A = 0.0, B = 0.0;
      for (int k = 0; k <= top && k < levels; ++k) {
        A += dA[k];
        B += dB[k];
        const double y = A + B * k * step;
        sum[k] += y;
        sum2[k] += y * y;
      }
      for (int k = 0; k <= top; ++k) dA[k] = dB[k] = 0.0;
      top = 0;
      total += t - start;
      start = t;
      cycles += 1;
    }
  }
  double check = total + cycles;
  for (int k = 0; k < levels; ++k) check += sum[k] + sum2[k];
  std::printf("%.6f\n", check);
  return 0;
}
