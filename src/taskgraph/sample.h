// One draw of a law by its letter, for the task-graph tools.
#pragma once

#include "common/law.h"

namespace orv::tg {

// As the common Sample, except that "G" (GEOSHIFT) counts from 1, as the
// simulator's tables draw it.
double Sample(const LAW_DESC& law);

}  // namespace orv::tg
