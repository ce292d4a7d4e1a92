// A source on a cluster (every cluster is this process).
#ifndef VALTOR_PCM_TAMRICK_SOURCE_HH
#define VALTOR_PCM_TAMRICK_SOURCE_HH
#include "../Cluster.hh"
#include "../Tamrick_Source.hh"

class PCM_Tamrick_Source : public Tamrick_Source {
 public:
  explicit PCM_Tamrick_Source(Cluster* where);
};
#endif
