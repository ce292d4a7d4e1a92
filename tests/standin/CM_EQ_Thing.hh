// Stand-in: the distributed variants of the receiving object and of the
// equational object.
#ifndef ORV_STANDIN_CM_EQ_THING_HH
#define ORV_STANDIN_CM_EQ_THING_HH
#include "bool.h"
#include "EQ_Thing.hh"

class Comm_Object {
 public:
  virtual ~Comm_Object() {}
};

class CM_Routing_Server : public Routing_Server {};

class CM_EQ_Thing : public EQ_Thing, public Comm_Object {
 public:
  CM_EQ_Thing(Time a, Time s, int st) : EQ_Thing(a, s, st) {}

 protected:
  virtual CM_Routing_Server* Next_Departure() { return 0; }
};
#endif
