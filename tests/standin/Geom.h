// Stand-in: a geometric law object (mean, generator); not drawn from.
#ifndef ORV_STANDIN_GEOM_H
#define ORV_STANDIN_GEOM_H
#include "MLCG.h"
class Geometric {
 public:
  Geometric(double, MLCG*) {}
};
#endif
