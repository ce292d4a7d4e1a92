// The end of the customers' paths: it counts and recycles them.
#ifndef VALTOR_TAMRICK_SINK_HH
#define VALTOR_TAMRICK_SINK_HH
#include "Routing_Server.hh"

class Tamrick_Sink : public Routing_Server {
 public:
  explicit Tamrick_Sink(double start = 0.0);
};
#endif
