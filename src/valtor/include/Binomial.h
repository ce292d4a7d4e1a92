// Binomial variates: successes in n trials of probability p.
#ifndef VALTOR_BINOMIAL_H
#define VALTOR_BINOMIAL_H
#include "Random.h"
#include "MLCG.h"

class Binomial : public Random {
 public:
  Binomial(int n, double p, RNG* g);
};
#endif
