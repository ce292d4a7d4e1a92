// Interarrival times of an on-off source: OnOff(m, on, off) alternates
// exponential on periods of mean `on` and off periods of mean `off`, and
// emits as a Poisson stream during on periods only, at the rate that makes
// the mean interarrival time m.
#ifndef VALTOR_ONOFF_HH
#define VALTOR_ONOFF_HH
#include "Random.h"
#include "MLCG.h"

class OnOff : public Random {
 public:
  OnOff(double mean, double on, double off, RNG* g);
};
#endif
