// Stand-in: the object holding an equational part, with the methods a
// generated class overrides.
#ifndef ORV_STANDIN_EQ_THING_HH
#define ORV_STANDIN_EQ_THING_HH
#include "iostream.h"
#include "Routing_Server.hh"

typedef double Time;

class EQ_Thing : public Routing_Server {
 public:
  EQ_Thing() {}
  explicit EQ_Thing(Time) {}
  EQ_Thing(Time, Time, int) {}

 protected:
  virtual void Init() {}
  virtual void Arrival(int, double) {}
  virtual void Increment() {}
  virtual void Increment_Initial() {}
  virtual void Increment_Regular() {}
  virtual Routing_Server* Next_Departure() { return 0; }
  virtual void Terminate() {}
  virtual void Compute_Stat() {}
  virtual void Report_Stat(ostream&) {}
  virtual void Report_Trans_Stat(ostream&, int, char*, int, int) {}
};
#endif
