// Stand-in: a binomial law object (trials, probability, generator).
#ifndef ORV_STANDIN_BINOMIAL_H
#define ORV_STANDIN_BINOMIAL_H
#include "MLCG.h"
class Binomial {
 public:
  Binomial(int, double, MLCG*) {}
};
#endif
