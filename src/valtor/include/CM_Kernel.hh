// The distributed kernel: the simulation of this process.
#ifndef VALTOR_CM_KERNEL_HH
#define VALTOR_CM_KERNEL_HH
#include "Kernel.hh"
#include "Cluster.hh"

class CM_Kernel : public Kernel {
 public:
  static void check_virtual_machine();
  void set_succ(Cluster* from, Cluster* to);
  void set_max_simulation_time(double t);
  void halt();
};
#endif
