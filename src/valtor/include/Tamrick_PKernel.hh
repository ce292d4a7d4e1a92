// The queueing kernel that also reports the run's cost.
#ifndef VALTOR_TAMRICK_PKERNEL_HH
#define VALTOR_TAMRICK_PKERNEL_HH
#include "Tamrick_Kernel.hh"

class Tamrick_PKernel : public Tamrick_Kernel {
 public:
  void compute_profile();
  void report_profile();

 private:
  double started_;
};
#endif
