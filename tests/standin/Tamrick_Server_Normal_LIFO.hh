// Stand-in: a queue with servers (start time, server count).
#ifndef ORV_STANDIN_TAMRICK_SERVER_NORMAL_LIFO_HH
#define ORV_STANDIN_TAMRICK_SERVER_NORMAL_LIFO_HH
#include "Routing_Server.hh"
class Tamrick_Server_Normal_LIFO : public Routing_Server {
 public:
  Tamrick_Server_Normal_LIFO(double, int) {}
};
#endif
