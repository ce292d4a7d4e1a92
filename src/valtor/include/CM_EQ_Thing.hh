// The distributed variants of the equational object and of the objects
// that can be created by name (see Runtime.hh). All clusters run in this
// process, so a distributed object is an ordinary one.
#ifndef VALTOR_CM_EQ_THING_HH
#define VALTOR_CM_EQ_THING_HH
#include "bool.h"
#include "EQ_Thing.hh"

class DSim_Obj {
 public:
  virtual ~DSim_Obj();
};

class Comm_Object : public DSim_Obj {
 public:
  virtual ~Comm_Object();
};

class CM_EQ_Thing : public EQ_Thing, public Comm_Object {
 public:
  CM_EQ_Thing(Time activation = 0, Time step = 1.0, int stacksize = 0x8000);
  virtual ~CM_EQ_Thing();
  // The connection points of a generated class; these defaults have none.
  virtual int Register_Input(int input);
  virtual bool Register_Output(int output, CM_Routing_Server* dest);
};
#endif
