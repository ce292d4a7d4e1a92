// Erlang variates given by their mean and variance: k = rint(mean^2 /
// variance) exponential stages (at least 1) of mean mean / k each.
#ifndef VALTOR_ERLANG_H
#define VALTOR_ERLANG_H
#include "Random.h"
#include "MLCG.h"

class Erlang : public Random {
 public:
  Erlang(double mean, double variance, RNG* g);
};
#endif
