#include "common/event_graph.h"

#include "common/compact.h"

namespace orv {

// Records come from the pools of their size: a graph holds millions of them,
// and once the last one is gone the pools give their memory back.
void* PLACE_DESC::operator new(std::size_t size) { return Take_Bytes(size); }

void PLACE_DESC::operator delete(void* p, std::size_t size) noexcept { Give_Bytes(p, size); }

void* TRANS_DESC::operator new(std::size_t size) { return Take_Bytes(size); }

void TRANS_DESC::operator delete(void* p, std::size_t size) noexcept { Give_Bytes(p, size); }

}  // namespace orv
