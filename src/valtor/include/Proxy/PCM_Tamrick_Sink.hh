// A sink on a cluster (every cluster is this process).
#ifndef VALTOR_PCM_TAMRICK_SINK_HH
#define VALTOR_PCM_TAMRICK_SINK_HH
#include "../Cluster.hh"
#include "../Tamrick_Sink.hh"

class PCM_Tamrick_Sink : public Tamrick_Sink {
 public:
  explicit PCM_Tamrick_Sink(Cluster* where);
};
#endif
