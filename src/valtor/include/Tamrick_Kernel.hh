// The queueing kernel.
#ifndef VALTOR_TAMRICK_KERNEL_HH
#define VALTOR_TAMRICK_KERNEL_HH
#include "Kernel.hh"

class Tamrick_Kernel : public Kernel {
 public:
  Tamrick_Kernel();
};
#endif
