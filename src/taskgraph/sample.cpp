#include "taskgraph/sample.h"

#include "common/random_variates.h"

namespace orv::tg {

double Sample(const LAW_DESC& law) {
  if (law.Name == 'G') return 1.0 + Geometric(law.Parameters.empty() ? 0.0 : law.Parameters[0]);
  return orv::Sample(law);
}

}  // namespace orv::tg
