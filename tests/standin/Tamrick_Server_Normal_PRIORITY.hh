// Stand-in: a queue with servers (start time, server count).
#ifndef ORV_STANDIN_TAMRICK_SERVER_NORMAL_PRIORITY_HH
#define ORV_STANDIN_TAMRICK_SERVER_NORMAL_PRIORITY_HH
#include "Routing_Server.hh"
class Tamrick_Server_Normal_PRIORITY : public Routing_Server {
 public:
  Tamrick_Server_Normal_PRIORITY(double, int) {}
};
#endif
