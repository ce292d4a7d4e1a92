// Stand-in: an exponential law object (mean, generator); not drawn from.
#ifndef ORV_STANDIN_NEGEXP_H
#define ORV_STANDIN_NEGEXP_H
#include "MLCG.h"
class NegativeExpntl {
 public:
  NegativeExpntl(double, MLCG*) {}
};
#endif
