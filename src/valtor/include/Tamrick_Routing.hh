// A relay: it passes each customer on at the instant it arrives.
#ifndef VALTOR_TAMRICK_ROUTING_HH
#define VALTOR_TAMRICK_ROUTING_HH
#include "Routing_Server.hh"

class Tamrick_Routing : public Routing_Server {
 public:
  explicit Tamrick_Routing(double start = 0.0);
};
#endif
