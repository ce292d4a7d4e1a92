// A FIFO server on a cluster (every cluster is this process); its server
// count and its least service time are set after it is made.
#ifndef VALTOR_PCM_TAMRICK_SERVER_NORMAL_FIFO_HH
#define VALTOR_PCM_TAMRICK_SERVER_NORMAL_FIFO_HH
#include "../Cluster.hh"
#include "../Tamrick_Server_Normal_FIFO.hh"

class PCM_Tamrick_Server_Normal_FIFO : public Tamrick_Server_Normal_FIFO {
 public:
  explicit PCM_Tamrick_Server_Normal_FIFO(Cluster* where);
};
#endif
