// The machine of the distributed kernel.
#ifndef VALTOR_SYSTEM_HH
#define VALTOR_SYSTEM_HH
#include "Computer.hh"
class System {};
#endif
