// Stand-in: the sink of customers.
#ifndef ORV_STANDIN_TAMRICK_SINK_HH
#define ORV_STANDIN_TAMRICK_SINK_HH
#include "Routing_Server.hh"
class Tamrick_Sink : public Routing_Server {
 public:
  explicit Tamrick_Sink(double) {}
};
#endif
