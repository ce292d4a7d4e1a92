// Stand-in: a fusion or fission rule (classes matched, classes split off).
#ifndef ORV_STANDIN_SM_RULE_HH
#define ORV_STANDIN_SM_RULE_HH
#include "Routing_Server.hh"
class SM_Rule {
 public:
  void match(int, int) {}
  void split(int, int, int, Routing_Server*, const char*) {}
};
#endif
