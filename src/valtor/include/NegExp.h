// Exponential variates of a given mean.
#ifndef VALTOR_NEGEXP_H
#define VALTOR_NEGEXP_H
#include "Random.h"
#include "MLCG.h"

class NegativeExpntl : public Random {
 public:
  NegativeExpntl(double mean, RNG* g);
};
#endif
