// A queue in front of n servers, served in PRIORITY order. The server count
// INFINI (100) means as many servers as customers come; 0 never serves.
// Each service time is drawn from the law of set_service when the service
// starts.
#ifndef VALTOR_TAMRICK_SERVER_NORMAL_PRIORITY_HH
#define VALTOR_TAMRICK_SERVER_NORMAL_PRIORITY_HH
#include "Routing_Server.hh"

class Tamrick_Server_Normal_PRIORITY : public Routing_Server {
 public:
  explicit Tamrick_Server_Normal_PRIORITY(double start = 0.0, int servers = 1);
};
#endif
