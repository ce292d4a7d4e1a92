// The pre-standard stream manipulators.
#ifndef VALTOR_IOMANIP_H
#define VALTOR_IOMANIP_H
#include "iostream.h"
#include <iomanip>
#endif
