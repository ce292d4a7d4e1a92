#ifndef VALTOR_CM_DD_KERNEL_HH
#define VALTOR_CM_DD_KERNEL_HH
#include "CM_Kernel.hh"
class CM_DD_Kernel : public CM_Kernel {};
#endif
