// Stand-in: the queueing kernel.
#ifndef ORV_STANDIN_TAMRICK_KERNEL_HH
#define ORV_STANDIN_TAMRICK_KERNEL_HH
#include "Kernel.hh"
class Tamrick_Kernel : public Kernel {
 public:
  void init_stat() {}
};
#endif
