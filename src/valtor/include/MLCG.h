// The generator the law classes draw from, named by a seed pair. The pair
// is hashed into the state, so that any two pairs, consecutive ones
// included, give streams that are independent in practice; one pair always
// gives the same stream. The variable ORV_REPLICATION (a whole number, 0
// when unset) is hashed in too: replication r of a program draws streams
// independent of those of every other replication.
#ifndef VALTOR_MLCG_H
#define VALTOR_MLCG_H
#include "iostream.h"
#include "RNG.h"

class MLCG : public RNG {
 public:
  MLCG(long seed1 = 0, long seed2 = 1);
  // Back to the start of the pair's stream.
  void reset();
  // The next number, strictly between 0 and 1 (53 random bits).
  double next() {
    unsigned long long r = rotl(s_[1] * 5, 7) * 9;
    unsigned long long t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = rotl(s_[3], 45);
    return ((double)(r >> 11) + 0.5) * (1.0 / 9007199254740992.0);
  }

 private:
  static unsigned long long rotl(unsigned long long x, int k) { return (x << k) | (x >> (64 - k)); }
  long seed1_, seed2_;
  unsigned long long s_[4];
};
#endif
