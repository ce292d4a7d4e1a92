// A host of the distributed kernel.
#ifndef VALTOR_COMPUTER_HH
#define VALTOR_COMPUTER_HH
#include "Cluster.hh"
class Computer {};
#endif
