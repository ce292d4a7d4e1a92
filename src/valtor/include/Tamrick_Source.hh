// A source: its customers leave one interval apart (intervals drawn from
// its law), the first one interval after the start, up to its count (a
// negative count: no limit).
#ifndef VALTOR_TAMRICK_SOURCE_HH
#define VALTOR_TAMRICK_SOURCE_HH
#include "Routing_Server.hh"
#include "Random.h"

class Tamrick_Source : public Routing_Server {
 public:
  Tamrick_Source(double start = 0.0, Random* law = 0, int count = -1);
  void set_distribution(Random* law);
  void max_generation(int count);
};
#endif
