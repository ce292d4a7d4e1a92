// Uniform variates on [low, high). When the variable ORV_DRAWS holds a
// comma-separated list of numbers, every Uniform returns them in turn
// instead (from the start of the list for each object): a test fixes its
// draws that way.
#ifndef VALTOR_UNIFORM_H
#define VALTOR_UNIFORM_H
#include "Random.h"
#include "MLCG.h"

class Uniform : public Random {
 public:
  Uniform(double low, double high, RNG* g);
};
#endif
