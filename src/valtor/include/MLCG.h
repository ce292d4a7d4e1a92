// A two-seed combined multiplicative congruential generator.
#ifndef VALTOR_MLCG_H
#define VALTOR_MLCG_H
#include "iostream.h"
#include "RNG.h"

class MLCG : public RNG {
 public:
  MLCG(long seed1 = 0, long seed2 = 1);
  void reset();
  // The next number, strictly between 0 and 1.
  double next() {
    s1_ = (s1_ * 40014L) % 2147483563L;
    s2_ = (s2_ * 40692L) % 2147483399L;
    long z = s1_ - s2_;
    if (z < 1) z += 2147483562L;
    return z / 2147483563.0;
  }

 private:
  long seed1_, seed2_;
  long s1_, s2_;
};
#endif
