#ifndef VALTOR_CM_AUTO_KERNEL_HH
#define VALTOR_CM_AUTO_KERNEL_HH
#include "CM_Kernel.hh"
class CM_Auto_Kernel : public CM_Kernel {};
#endif
