// Stand-in: an Erlang law object (two parameters, generator).
#ifndef ORV_STANDIN_ERLANG_H
#define ORV_STANDIN_ERLANG_H
#include "MLCG.h"
class Erlang {
 public:
  Erlang(double, double, MLCG*) {}
};
#endif
