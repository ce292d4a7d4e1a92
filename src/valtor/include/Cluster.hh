// Clusters of the distributed kernel. Every cluster is this process.
#ifndef VALTOR_CLUSTER_HH
#define VALTOR_CLUSTER_HH
#include <stddef.h>

class Cluster {
 public:
  Cluster();
  static Cluster* current();
  static void* operator new(size_t size);
  static void* operator new(size_t size, const char* host);
  static void operator delete(void* p);
  static void operator delete(void* p, const char* host);
};
#endif
