// Stand-in: a queue with servers (start time, server count).
#ifndef ORV_STANDIN_TAMRICK_SERVER_NORMAL_FIFO_HH
#define ORV_STANDIN_TAMRICK_SERVER_NORMAL_FIFO_HH
#include "Routing_Server.hh"
class Tamrick_Server_Normal_FIFO : public Routing_Server {
 public:
  Tamrick_Server_Normal_FIFO(double, int) {}
};
#endif
