#include "common/event_graph.h"

#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define ORV_POOL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORV_POOL_ASAN 1
#endif
#endif

#ifdef ORV_POOL_ASAN
#include <sanitizer/asan_interface.h>
#define POOL_POISON(p, n) ASAN_POISON_MEMORY_REGION((p), (n))
#define POOL_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
#else
#define POOL_POISON(p, n) ((void)(p), (void)(n))
#define POOL_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace orv {

namespace {

// Slots of one size carved from chunks that grow up to a bound; a freed
// slot is reused first. Once no slot is in use every chunk goes back to the
// heap, so a program that drops its graphs gets the memory back. The
// programs are single-threaded. Free slots stay poisoned for the address
// sanitizer, so a record used after its delete is still caught.
class Slot_Pool {
 public:
  explicit constexpr Slot_Pool(std::size_t slot) : slot_(slot) {}

  void* get() {
    void* p;
    if (free_ != nullptr) {
      p = free_;
      POOL_UNPOISON(p, slot_);
      free_ = *static_cast<void**>(p);
    } else {
      if (next_ == end_) grow();
      p = next_;
      POOL_UNPOISON(p, slot_);
      next_ += slot_;
    }
    ++live_;
    return p;
  }

  void put(void* p) noexcept {
    *static_cast<void**>(p) = free_;
    free_ = p;
    POOL_POISON(p, slot_);
    if (--live_ == 0) release();
  }

 private:
  // Ahead of the slots of each chunk; keeps them aligned for any record.
  struct alignas(std::max_align_t) Chunk {
    Chunk* next;
    std::size_t slots;
  };
  static constexpr std::size_t First_Slots = 32;
  // A bound keeps the unused tail of the last chunk small.
  static constexpr std::size_t Max_Slots = 4096;

  void grow() {
    const std::size_t slots = chunk_slots_ == 0 ? First_Slots : chunk_slots_;
    auto* c = static_cast<Chunk*>(::operator new(sizeof(Chunk) + slots * slot_));
    c->next = chunks_;
    c->slots = slots;
    chunks_ = c;
    next_ = reinterpret_cast<char*>(c + 1);
    end_ = next_ + slots * slot_;
    POOL_POISON(next_, slots * slot_);
    chunk_slots_ = slots < Max_Slots ? 2 * slots : Max_Slots;
  }

  void release() noexcept {
    while (chunks_ != nullptr) {
      Chunk* c = chunks_;
      chunks_ = c->next;
      POOL_UNPOISON(c + 1, c->slots * slot_);
      ::operator delete(c);
    }
    free_ = nullptr;
    next_ = end_ = nullptr;
    chunk_slots_ = 0;
  }

  std::size_t slot_;
  void* free_ = nullptr;
  char* next_ = nullptr;
  char* end_ = nullptr;
  Chunk* chunks_ = nullptr;
  std::size_t live_ = 0;
  std::size_t chunk_slots_ = 0;
};

static_assert(sizeof(PLACE_DESC) % alignof(PLACE_DESC) == 0 && alignof(PLACE_DESC) <= alignof(std::max_align_t));
static_assert(sizeof(TRANS_DESC) % alignof(TRANS_DESC) == 0 && alignof(TRANS_DESC) <= alignof(std::max_align_t));

// Trivially destructible, so records freed by other static destructors
// still find their pool.
constinit Slot_Pool place_pool(sizeof(PLACE_DESC));
constinit Slot_Pool trans_pool(sizeof(TRANS_DESC));

}  // namespace

// A class derived from a record (none today) is not the pool's size.
void* PLACE_DESC::operator new(std::size_t size) {
  return size == sizeof(PLACE_DESC) ? place_pool.get() : ::operator new(size);
}

void PLACE_DESC::operator delete(void* p, std::size_t size) noexcept {
  if (p == nullptr) return;
  if (size == sizeof(PLACE_DESC))
    place_pool.put(p);
  else
    ::operator delete(p);
}

void* TRANS_DESC::operator new(std::size_t size) {
  return size == sizeof(TRANS_DESC) ? trans_pool.get() : ::operator new(size);
}

void TRANS_DESC::operator delete(void* p, std::size_t size) noexcept {
  if (p == nullptr) return;
  if (size == sizeof(TRANS_DESC))
    trans_pool.put(p);
  else
    ::operator delete(p);
}

}  // namespace orv
