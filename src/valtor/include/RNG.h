// Uniform integer generators that the law classes draw from.
#ifndef VALTOR_RNG_H
#define VALTOR_RNG_H

class RNG {
 public:
  virtual ~RNG() {}
  // A number in (0, 1).
  double asDouble() { return next(); }
  virtual double next() = 0;
};
#endif
