// Stand-in: an on-off law object (three parameters, generator).
#ifndef ORV_STANDIN_ONOFF_HH
#define ORV_STANDIN_ONOFF_HH
#include "MLCG.h"
class OnOff {
 public:
  OnOff(double, double, double, MLCG*) {}
};
#endif
