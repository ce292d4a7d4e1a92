// A constant law.
#ifndef VALTOR_CST_HH
#define VALTOR_CST_HH
#include "Random.h"

class Cst : public Random {
 public:
  explicit Cst(double value);
};

// The law that draws 0 every time.
extern Cst* Zero;
#endif
