// Stand-in: a two-seed generator of uniform integers (our own combined
// multiplicative congruential generator).
#ifndef ORV_STANDIN_MLCG_H
#define ORV_STANDIN_MLCG_H
#include <cmath>

class MLCG {
 public:
  MLCG(long s1, long s2) : a_(s1 > 0 ? s1 : 1), b_(s2 > 0 ? s2 : 1) {}
  // A number in [0, 1).
  double next() {
    a_ = (a_ * 40014L) % 2147483563L;
    b_ = (b_ * 40692L) % 2147483399L;
    long z = a_ - b_;
    if (z < 1) z += 2147483562L;
    return (z - 1) / 2147483562.0;
  }

 private:
  long a_, b_;
};
#endif
