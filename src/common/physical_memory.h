// The memory the machine has at all. Tables beyond it are refused up front:
// the system would grant them lazily and end the process page by page.
#pragma once

namespace orv {

// In bytes; 1e18 when the system does not tell.
double Physical_Memory();

}  // namespace orv
