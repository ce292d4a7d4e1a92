// The rule of a fusion or fission station. match(c, n): a firing takes n
// waiting customers of class c (for every matched class). split(c, n, prio,
// dest, label): a firing sends n new customers of class c to dest. A rule
// with splits sends its firing's customers to the split destinations only;
// one without splits sends one customer (of the station's output class, or
// of the first matched class) to the station's successors.
#ifndef VALTOR_SM_RULE_HH
#define VALTOR_SM_RULE_HH
#include "Routing_Server.hh"

class SM_Rule {
 public:
  SM_Rule();
  ~SM_Rule();
  void match(int cls, int count);
  void split(int cls, int count, int prio, Routing_Server* dest, const char* label = "");

  int nb_match_;
  int* match_class_;
  int* match_count_;
  int nb_split_;
  int* split_class_;
  int* split_count_;
  int* split_prio_;
  Routing_Server** split_dest_;
};
#endif
