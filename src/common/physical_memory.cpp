#include "common/physical_memory.h"

#include <unistd.h>

namespace orv {

double Physical_Memory() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long page = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || page <= 0) return 1e18;
  return static_cast<double>(pages) * static_cast<double>(page);
}

}  // namespace orv
