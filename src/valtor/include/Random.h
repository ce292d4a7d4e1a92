// The law classes share one representation: the draw is a switch on the
// kind, not a virtual call, since servers and sources draw in the event
// loop. Every law reads its time values in the unit of the simulation.
#ifndef VALTOR_RANDOM_H
#define VALTOR_RANDOM_H
#include "RNG.h"

class Random {
 public:
  enum Kind { K_CONSTANT, K_EXPONENTIAL, K_UNIFORM, K_ERLANG, K_GEOMETRIC, K_BINOMIAL, K_ONOFF };
  virtual ~Random() {}
  double operator()() { return draw(); }
  double draw();
  // The mean of the law (the closed forms the reference page gives).
  double mean() const;
  int kind() const { return kind_; }
  // The value of a constant law.
  double constant() const { return a_; }
  RNG* generator() const { return gen_; }
  void generator(RNG* g) { gen_ = g; }

 protected:
  Random(int kind, RNG* g, double a, double b, double c);
  double uniform01();
  double exponential(double mean);

  int kind_;
  RNG* gen_;
  double a_, b_, c_;
  long n_;
  // On-off state: inside an on period, and what is left of it.
  int on_;
  double on_left_;
  // Fixed draws for tests (the variable ORV_DRAWS), Uniform only.
  const char* list_;
  const char* pos_;
};
#endif
