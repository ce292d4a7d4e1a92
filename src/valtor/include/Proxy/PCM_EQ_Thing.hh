// The proxy of a distributed equational object: built on a cluster with a
// class name, it creates its object through the registry the program filled
// (Runtime::memo_comm_object) and every call reaches that object.
#ifndef VALTOR_PCM_EQ_THING_HH
#define VALTOR_PCM_EQ_THING_HH
#include "../Cluster.hh"
#include "../CM_EQ_Thing.hh"

class Proxy_Comm_Object;
class Entity_Id {};

class PCM_EQ_Thing : public Routing_Server {
 public:
  PCM_EQ_Thing(Cluster* where, const char* class_name);
  explicit PCM_EQ_Thing(DSim_Obj* local);
  PCM_EQ_Thing(Entity_Id& id, Cluster* where, Proxy_Comm_Object* pco);
  int Register_Input(int input);
  bool Register_Output(int output, CM_Routing_Server* dest);
  CM_EQ_Thing* object() const { return object_; }

 private:
  CM_EQ_Thing* object_;
};
#endif
