// Stand-in: uniform variates on [lo, hi) drawn from an MLCG. With the
// variable ORV_DRAWS set ("0.25,0.8,..."), the values of the list are
// returned in turn instead (a test fixes its draws that way).
#ifndef ORV_STANDIN_UNIFORM_H
#define ORV_STANDIN_UNIFORM_H
#include <cmath>
#include <cstdlib>
#include "MLCG.h"

class Uniform {
 public:
  Uniform(double lo, double hi, MLCG* g) : lo_(lo), hi_(hi), g_(g), list_(std::getenv("ORV_DRAWS")) {
    pos_ = list_;
  }
  double operator()() {
    if (list_ && *list_) {
      if (!*pos_) pos_ = list_;
      char* end;
      double v = std::strtod(pos_, &end);
      pos_ = *end == ',' ? end + 1 : end;
      return v;
    }
    return lo_ + (hi_ - lo_) * g_->next();
  }

 private:
  double lo_, hi_;
  MLCG* g_;
  const char* list_;
  const char* pos_;
};
#endif
