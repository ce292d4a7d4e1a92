// Stand-in: a source of customers (start time, interarrival law, count).
#ifndef ORV_STANDIN_TAMRICK_SOURCE_HH
#define ORV_STANDIN_TAMRICK_SOURCE_HH
#include "Routing_Server.hh"
class Tamrick_Source : public Routing_Server {
 public:
  template <class Law>
  Tamrick_Source(double, Law*, int) {}
};
#endif
