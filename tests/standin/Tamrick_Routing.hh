// Stand-in: a zero-time relay.
#ifndef ORV_STANDIN_TAMRICK_ROUTING_HH
#define ORV_STANDIN_TAMRICK_ROUTING_HH
#include "Routing_Server.hh"
class Tamrick_Routing : public Routing_Server {
 public:
  explicit Tamrick_Routing(double) {}
};
#endif
