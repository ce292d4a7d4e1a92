// Stand-in: the pre-standard stream manipulators.
#ifndef ORV_STANDIN_IOMANIP_H
#define ORV_STANDIN_IOMANIP_H
#include <iomanip>
#include "iostream.h"
#endif
