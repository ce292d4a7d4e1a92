// Geometric variates on 1, 2, ... given by their mean m >= 1 (success
// probability 1/m at each trial).
#ifndef VALTOR_GEOM_H
#define VALTOR_GEOM_H
#include "Random.h"
#include "MLCG.h"

class Geometric : public Random {
 public:
  Geometric(double mean, RNG* g);
};
#endif
