// Small-footprint storage for the records a model reader builds by the
// million (laws, arcs, names): fixed-size blocks from per-size pools, a
// vector held by one pointer, a vector keeping its first elements in itself,
// and a text held by one pointer. The programs are single-threaded; the
// pools are not locked.
#pragma once

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <iosfwd>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define ORV_POOL_POISON(p, n) ASAN_POISON_MEMORY_REGION((p), (n))
#define ORV_POOL_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
#else
#define ORV_POOL_POISON(p, n) ((void)(p), (void)(n))
#define ORV_POOL_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace orv {

// Blocks of Size bytes (a multiple of 8) carved from chunks, recycled
// through a free list. Once every block is back, every chunk but one is
// returned to the heap, so heap figures stay true within one chunk a size;
// the one kept spares a record taken and given back by itself a trip to the
// heap each time.
template <std::size_t Size>
class Block_Pool {
  static_assert(Size % 8 == 0 && Size >= 8);
  // Chunks stay below the size the heap would map on its own.
  static constexpr std::size_t per_chunk = 65536 / Size;
  struct Chunk {
    Chunk* next;
    alignas(8) unsigned char bytes[Size * per_chunk];
  };
  static inline void* free_ = nullptr;
  static inline Chunk* chunks_ = nullptr;
  static inline unsigned char* bump_ = nullptr;
  static inline unsigned char* bump_end_ = nullptr;
  static inline std::size_t live_ = 0;

 public:
  static void* take() {
    void* p;
    if (free_) {
      p = free_;
      ORV_POOL_UNPOISON(p, Size);
      free_ = *static_cast<void**>(p);
    } else {
      if (bump_ == bump_end_) {
        auto* c = static_cast<Chunk*>(::operator new(sizeof(Chunk)));
        c->next = chunks_;
        chunks_ = c;
        bump_ = c->bytes;
        bump_end_ = c->bytes + sizeof c->bytes;
        ORV_POOL_POISON(bump_, sizeof c->bytes);
      }
      p = bump_;
      bump_ += Size;
      ORV_POOL_UNPOISON(p, Size);
    }
    ++live_;
    return p;
  }

  static void give(void* p) noexcept {
    if (--live_ == 0) {
      release();
      return;
    }
    *static_cast<void**>(p) = free_;
    free_ = p;
    ORV_POOL_POISON(static_cast<unsigned char*>(p) + sizeof(void*), Size - sizeof(void*));
  }

 private:
  // Every block is back: the newest chunk starts afresh, the others go.
  [[gnu::noinline]] static void release() noexcept {
    Chunk* kept = chunks_;
    Chunk* c = kept->next;
    while (c) {
      Chunk* next = c->next;
      ORV_POOL_UNPOISON(c->bytes, sizeof c->bytes);
      ::operator delete(c);
      c = next;
    }
    kept->next = nullptr;
    free_ = nullptr;
    bump_ = kept->bytes;
    bump_end_ = kept->bytes + sizeof kept->bytes;
    ORV_POOL_POISON(bump_, sizeof kept->bytes);
  }
};

// Raw storage of n bytes: small sizes from the pool of their size rounded
// up to 8, larger ones from the heap. The same n must be given back.
namespace compact_detail {
inline constexpr std::size_t Max_Pooled = 256;

template <std::size_t... I>
void* take_class(std::size_t cls, std::index_sequence<I...>) {
  void* p = nullptr;
  ((cls == I ? (p = Block_Pool<(I + 1) * 8>::take(), true) : false) || ...);
  return p;
}
template <std::size_t... I>
void give_class(std::size_t cls, void* p, std::index_sequence<I...>) noexcept {
  ((cls == I ? (Block_Pool<(I + 1) * 8>::give(p), true) : false) || ...);
}
}  // namespace compact_detail

inline void* Take_Bytes(std::size_t n) {
  if (n == 0) n = 1;
  if (n > compact_detail::Max_Pooled) return ::operator new(n);
  return compact_detail::take_class((n - 1) / 8,
                                    std::make_index_sequence<compact_detail::Max_Pooled / 8>{});
}

inline void Give_Bytes(void* p, std::size_t n) noexcept {
  if (!p) return;
  if (n == 0) n = 1;
  if (n > compact_detail::Max_Pooled) {
    ::operator delete(p);
    return;
  }
  compact_detail::give_class((n - 1) / 8, p,
                             std::make_index_sequence<compact_detail::Max_Pooled / 8>{});
}

// What the compact vectors share: the part of std::vector the programs use,
// written once over the storage operations each supplies (data, size,
// capacity, regrow to a capacity, set_size, free_all; drop_tail where
// destroying elements must be told apart from setting the size).
template <class D, class T>
class Vector_Ops {
  D& d() noexcept { return static_cast<D&>(*this); }
  const D& d() const noexcept { return static_cast<const D&>(*this); }

 public:
  using value_type = T;
  using size_type = std::size_t;
  using difference_type = std::ptrdiff_t;
  using reference = T&;
  using const_reference = const T&;
  using pointer = T*;
  using const_pointer = const T*;
  using iterator = T*;
  using const_iterator = const T*;
  using reverse_iterator = std::reverse_iterator<iterator>;
  using const_reverse_iterator = std::reverse_iterator<const_iterator>;

  // For the callers that want a std::vector.
  explicit operator std::vector<T>() const
    requires std::is_copy_constructible_v<T>
  {
    return std::vector<T>(begin(), end());
  }

  bool empty() const noexcept { return d().size() == 0; }
  iterator begin() noexcept { return d().data(); }
  iterator end() noexcept { return d().data() + d().size(); }
  const_iterator begin() const noexcept { return d().data(); }
  const_iterator end() const noexcept { return d().data() + d().size(); }
  const_iterator cbegin() const noexcept { return begin(); }
  const_iterator cend() const noexcept { return end(); }
  reverse_iterator rbegin() noexcept { return reverse_iterator(end()); }
  reverse_iterator rend() noexcept { return reverse_iterator(begin()); }
  const_reverse_iterator rbegin() const noexcept { return const_reverse_iterator(end()); }
  const_reverse_iterator rend() const noexcept { return const_reverse_iterator(begin()); }
  T& operator[](size_type i) noexcept { return d().data()[i]; }
  const T& operator[](size_type i) const noexcept { return d().data()[i]; }
  T& front() noexcept { return d().data()[0]; }
  const T& front() const noexcept { return d().data()[0]; }
  T& back() noexcept { return d().data()[d().size() - 1]; }
  const T& back() const noexcept { return d().data()[d().size() - 1]; }

  void reserve(size_type n) {
    if (n > d().capacity()) d().regrow(n);
  }
  void clear() noexcept {
    if (empty()) return;
    d().drop_tail(0);
  }
  template <class... A>
  T& emplace_back(A&&... a) {
    size_type n = d().size();
    if (n == d().capacity()) {
      // The value may live in this vector: build it before moving house.
      T v(std::forward<A>(a)...);
      d().regrow(n == 0 ? 1 : 2 * n);
      ::new (static_cast<void*>(d().data() + n)) T(std::move(v));
    } else {
      ::new (static_cast<void*>(d().data() + n)) T(std::forward<A>(a)...);
    }
    d().set_size(n + 1);
    return d().data()[n];
  }
  void push_back(const T& v) { d().emplace_back(v); }
  void push_back(T&& v) { d().emplace_back(std::move(v)); }
  void pop_back() noexcept { d().drop_tail(d().size() - 1); }
  void resize(size_type n) {
    size_type s = d().size();
    if (n < s) {
      d().drop_tail(n);
      return;
    }
    reserve(n);
    for (size_type i = s; i < n; ++i) {
      ::new (static_cast<void*>(d().data() + i)) T();
      d().set_size(i + 1);
    }
  }
  void resize(size_type n, const T& v) {
    size_type s = d().size();
    if (n <= s) {
      resize(n);
      return;
    }
    T copy(v);
    reserve(n);
    for (size_type i = s; i < n; ++i) {
      ::new (static_cast<void*>(d().data() + i)) T(copy);
      d().set_size(i + 1);
    }
  }
  void assign(size_type n, const T& v) {
    T copy(v);
    clear();
    resize(n, copy);
  }
  template <class It>
  void assign(It first, It last) {
    D fresh;
    fresh.reserve(static_cast<size_type>(std::distance(first, last)));
    for (; first != last; ++first) fresh.emplace_back(*first);
    d() = std::move(fresh);
  }
  iterator erase(const_iterator first, const_iterator last) {
    T* f = begin() + (first - cbegin());
    T* l = begin() + (last - cbegin());
    if (f == l) return f;
    T* e = std::move(l, end(), f);
    d().drop_tail(static_cast<size_type>(e - begin()));
    return f;
  }
  iterator erase(const_iterator pos) { return erase(pos, pos + 1); }
  iterator insert(const_iterator pos, T v) {
    size_type at = static_cast<size_type>(pos - cbegin());
    d().emplace_back(std::move(v));
    std::rotate(begin() + at, end() - 1, end());
    return begin() + at;
  }
  template <class It, class = decltype(*std::declval<It>(), ++std::declval<It&>())>
  iterator insert(const_iterator pos, It first, It last) {
    size_type at = static_cast<size_type>(pos - cbegin());
    size_type old = d().size();
    reserve(old + static_cast<size_type>(std::distance(first, last)));
    for (; first != last; ++first) d().emplace_back(*first);
    std::rotate(begin() + at, begin() + old, end());
    return begin() + at;
  }

  friend bool operator==(const D& a, const D& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }
  friend bool operator==(const D& a, const std::vector<T>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }

 protected:
  // Destroys the elements from n on.
  void drop_tail(size_type n) noexcept {
    std::destroy(begin() + n, end());
    d().set_size(n);
  }
};

// A vector held by one pointer (null when it has never held anything), its
// size and capacity kept in front of the elements. Iterators are pointers;
// the interface is the part of std::vector the programs use.
template <class T>
class Compact_Vector : public Vector_Ops<Compact_Vector<T>, T> {
  static_assert(alignof(T) <= 8);
  using Ops = Vector_Ops<Compact_Vector<T>, T>;
  friend Ops;
  struct Head {
    std::uint32_t size;
    std::uint32_t cap;
  };
  static constexpr std::size_t head_bytes = 8;
  unsigned char* block_ = nullptr;

  Head* head() const { return reinterpret_cast<Head*>(block_); }
  static std::size_t bytes_for(std::size_t cap) { return head_bytes + cap * sizeof(T); }

 public:
  using size_type = std::size_t;
  using Ops::assign;
  using Ops::begin;
  using Ops::end;

  Compact_Vector() noexcept = default;
  Compact_Vector(size_type n, const T& v) { assign(n, v); }
  explicit Compact_Vector(size_type n) { this->resize(n); }
  Compact_Vector(std::initializer_list<T> l) { assign(l.begin(), l.end()); }
  template <class It, class = decltype(*std::declval<It>(), ++std::declval<It&>())>
  Compact_Vector(It first, It last) {
    assign(first, last);
  }
  Compact_Vector(const std::vector<T>& v) { assign(v.begin(), v.end()); }
  Compact_Vector(const Compact_Vector& o)
    requires std::is_copy_constructible_v<T>
  : Ops() {
    assign(o.begin(), o.end());
  }
  Compact_Vector(Compact_Vector&& o) noexcept : block_(std::exchange(o.block_, nullptr)) {}
  Compact_Vector& operator=(const Compact_Vector& o)
    requires std::is_copy_constructible_v<T>
  {
    if (this != &o) assign(o.begin(), o.end());
    return *this;
  }
  Compact_Vector& operator=(Compact_Vector&& o) noexcept {
    if (this != &o) {
      free_all();
      block_ = std::exchange(o.block_, nullptr);
    }
    return *this;
  }
  Compact_Vector& operator=(const std::vector<T>& v) {
    assign(v.begin(), v.end());
    return *this;
  }
  Compact_Vector& operator=(std::initializer_list<T> l) {
    assign(l.begin(), l.end());
    return *this;
  }
  ~Compact_Vector() { free_all(); }

  size_type size() const noexcept { return block_ ? head()->size : 0; }
  size_type capacity() const noexcept { return block_ ? head()->cap : 0; }
  T* data() noexcept { return block_ ? reinterpret_cast<T*>(block_ + head_bytes) : nullptr; }
  const T* data() const noexcept {
    return block_ ? reinterpret_cast<const T*>(block_ + head_bytes) : nullptr;
  }

  void shrink_to_fit() {
    if (capacity() > size()) {
      if (this->empty())
        free_all();
      else
        regrow(size());
    }
  }
  void swap(Compact_Vector& o) noexcept { std::swap(block_, o.block_); }

 private:
  // Only called with a block in place, or for n == 0 on an empty vector.
  void set_size(size_type n) noexcept {
    if (block_) head()->size = static_cast<std::uint32_t>(n);
  }
  void regrow(size_type cap) {
    if (cap > UINT32_MAX) throw std::bad_alloc();
    auto* nb = static_cast<unsigned char*>(Take_Bytes(bytes_for(cap)));
    size_type n = size();
    T* to = reinterpret_cast<T*>(nb + head_bytes);
    if (block_) {
      std::uninitialized_move(begin(), end(), to);
      std::destroy(begin(), end());
      Give_Bytes(block_, bytes_for(capacity()));
    }
    block_ = nb;
    head()->size = static_cast<std::uint32_t>(n);
    head()->cap = static_cast<std::uint32_t>(cap);
  }
  void free_all() noexcept {
    if (!block_) return;
    std::destroy(begin(), end());
    Give_Bytes(block_, bytes_for(capacity()));
    block_ = nullptr;
  }
};

// A vector keeping its first N elements in itself, for lists that mostly
// hold one or two (a law's parameters). Moving it moves those elements, so
// pointers to them do not survive a move of the vector. Its capacity on the
// heap is a power of two, kept as its logarithm: the vector ends in three
// bytes of tail padding, where an owner declaring it [[no_unique_address]]
// can keep a small member of its own. Same interface as Compact_Vector.
template <class T, std::size_t N>
class Small_Vector : public Vector_Ops<Small_Vector<T, N>, T> {
  static_assert(N >= 1);
  using Ops = Vector_Ops<Small_Vector<T, N>, T>;
  friend Ops;
  union {
    T local_[N];
    T* heap_;
  };
  std::uint32_t size_ = 0;
  std::uint8_t shift_ = 0;  // 0: in place, capacity N; else capacity 1 << shift_

  bool inline_() const noexcept { return shift_ == 0; }

 public:
  using size_type = std::size_t;
  using Ops::assign;
  using Ops::begin;
  using Ops::end;

  Small_Vector() noexcept {}
  Small_Vector(size_type n, const T& v) { assign(n, v); }
  explicit Small_Vector(size_type n) { this->resize(n); }
  Small_Vector(std::initializer_list<T> l) { assign(l.begin(), l.end()); }
  template <class It, class = decltype(*std::declval<It>(), ++std::declval<It&>())>
  Small_Vector(It first, It last) {
    assign(first, last);
  }
  Small_Vector(const std::vector<T>& v) { assign(v.begin(), v.end()); }
  Small_Vector(const Small_Vector& o)
    requires std::is_copy_constructible_v<T>
  : Ops() {
    assign(o.begin(), o.end());
  }
  Small_Vector(Small_Vector&& o) noexcept { take(o); }
  Small_Vector& operator=(const Small_Vector& o)
    requires std::is_copy_constructible_v<T>
  {
    if (this != &o) assign(o.begin(), o.end());
    return *this;
  }
  Small_Vector& operator=(Small_Vector&& o) noexcept {
    if (this != &o) {
      free_all();
      take(o);
    }
    return *this;
  }
  Small_Vector& operator=(const std::vector<T>& v) {
    assign(v.begin(), v.end());
    return *this;
  }
  Small_Vector& operator=(std::initializer_list<T> l) {
    assign(l.begin(), l.end());
    return *this;
  }
  ~Small_Vector() { free_all(); }

  size_type size() const noexcept { return size_; }
  size_type capacity() const noexcept { return inline_() ? N : size_type{1} << shift_; }
  T* data() noexcept { return inline_() ? local_ : heap_; }
  const T* data() const noexcept { return inline_() ? local_ : heap_; }

  void shrink_to_fit() {
    if (!inline_() && size_ < capacity()) regrow(size_);
  }
  void swap(Small_Vector& o) noexcept {
    Small_Vector t(std::move(o));
    o = std::move(*this);
    *this = std::move(t);
  }

 private:
  void set_size(size_type n) noexcept { size_ = static_cast<std::uint32_t>(n); }
  // Takes o's elements; o is left empty, in place.
  void take(Small_Vector& o) noexcept {
    size_ = o.size_;
    shift_ = o.shift_;
    if (o.inline_()) {
      std::uninitialized_move(o.local_, o.local_ + o.size_, local_);
      std::destroy(o.local_, o.local_ + o.size_);
    } else {
      heap_ = o.heap_;
      o.shift_ = 0;
    }
    o.size_ = 0;
  }
  void regrow(size_type cap) {
    if (cap < size_) cap = size_;
    if (cap <= N) {
      if (inline_()) return;
      T* old = heap_;
      size_type old_cap = capacity();
      // The union's pointer gives way to the elements.
      std::uninitialized_move(old, old + size_, local_);
      std::destroy(old, old + size_);
      shift_ = 0;
      Give_Bytes(old, old_cap * sizeof(T));
      return;
    }
    // The size must stay countable in 32 bits.
    if (cap > (size_type{1} << 31)) throw std::bad_alloc();
    const int shift = std::bit_width(cap - 1);
    if (!inline_() && shift == shift_) return;
    cap = size_type{1} << shift;
    T* fresh = static_cast<T*>(Take_Bytes(cap * sizeof(T)));
    T* from = data();
    std::uninitialized_move(from, from + size_, fresh);
    std::destroy(from, from + size_);
    if (!inline_()) Give_Bytes(heap_, capacity() * sizeof(T));
    heap_ = fresh;
    shift_ = static_cast<std::uint8_t>(shift);
  }
  void free_all() noexcept {
    std::destroy(begin(), end());
    if (!inline_()) Give_Bytes(heap_, capacity() * sizeof(T));
    size_ = 0;
    shift_ = 0;
  }
};

// A vector keeping one element in itself at no cost in size, for the arc
// lists of model objects (most hold one arc). It tells its element apart
// from a heap block by one byte of the element, which a live element never
// sets to Spare::value: Spare<T> gives that byte's offset and value. A
// block's pointer, size and capacity are kept in the element's room, before
// that byte. Moving it moves the element, so pointers to that element do
// not survive a move of the vector. Same interface as Compact_Vector.
template <class T>
struct Spare;

template <class T>
class One_Vector : public Vector_Ops<One_Vector<T>, T> {
  using Ops = Vector_Ops<One_Vector<T>, T>;
  friend Ops;
  struct Block {
    T* data;  // null: empty, with room for the element in place
    std::uint32_t size;
    std::uint32_t cap;
  };
  static constexpr std::size_t mark_at = Spare<T>::offset;
  static constexpr unsigned char mark = Spare<T>::value;
  static_assert(mark_at >= sizeof(Block) && mark_at < sizeof(T));
  // Building an element in place overwrites the block: that must not fail
  // half-way (emplace_back builds anything else aside first).
  static_assert(std::is_nothrow_move_constructible_v<T> &&
                std::is_nothrow_default_constructible_v<T> &&
                (!std::is_copy_constructible_v<T> || std::is_nothrow_copy_constructible_v<T>));
  alignas(T) alignas(Block) unsigned char room_[sizeof(T)];

  bool holds_one() const noexcept { return room_[mark_at] != mark; }
  // An element whose byte is the mark would be taken for a block once in
  // the room: every element is checked as it comes in.
  static bool unmarked(const T& e) noexcept {
    return reinterpret_cast<const unsigned char*>(&e)[mark_at] != mark;
  }
  Block block() const noexcept {
    Block b;
    std::memcpy(&b, room_, sizeof b);
    return b;
  }
  void set_block(T* data, std::size_t size, std::size_t cap) noexcept {
    const Block b{data, static_cast<std::uint32_t>(size), static_cast<std::uint32_t>(cap)};
    std::memcpy(room_, &b, sizeof b);
    room_[mark_at] = mark;
  }
  // The room (no element there yet, or none at all), and the element in it.
  T* slot() noexcept { return reinterpret_cast<T*>(room_); }
  const T* slot() const noexcept { return reinterpret_cast<const T*>(room_); }
  T* one() noexcept { return std::launder(slot()); }
  const T* one() const noexcept { return std::launder(slot()); }

 public:
  using size_type = std::size_t;
  using Ops::assign;
  using Ops::begin;
  using Ops::end;

  One_Vector() noexcept { set_block(nullptr, 0, 1); }
  One_Vector(size_type n, const T& v) : One_Vector() { assign(n, v); }
  explicit One_Vector(size_type n) : One_Vector() { this->resize(n); }
  One_Vector(std::initializer_list<T> l) : One_Vector() { assign(l.begin(), l.end()); }
  template <class It, class = decltype(*std::declval<It>(), ++std::declval<It&>())>
  One_Vector(It first, It last) : One_Vector() {
    assign(first, last);
  }
  One_Vector(const std::vector<T>& v) : One_Vector() { assign(v.begin(), v.end()); }
  One_Vector(const One_Vector& o)
    requires std::is_copy_constructible_v<T>
  : One_Vector() {
    assign(o.begin(), o.end());
  }
  One_Vector(One_Vector&& o) noexcept { take(o); }
  One_Vector& operator=(const One_Vector& o)
    requires std::is_copy_constructible_v<T>
  {
    if (this != &o) assign(o.begin(), o.end());
    return *this;
  }
  One_Vector& operator=(One_Vector&& o) noexcept {
    if (this != &o) {
      free_all();
      take(o);
    }
    return *this;
  }
  One_Vector& operator=(const std::vector<T>& v) {
    assign(v.begin(), v.end());
    return *this;
  }
  One_Vector& operator=(std::initializer_list<T> l) {
    assign(l.begin(), l.end());
    return *this;
  }
  ~One_Vector() { free_all(); }

  size_type size() const noexcept { return holds_one() ? 1 : block().size; }
  size_type capacity() const noexcept { return holds_one() ? 1 : block().cap; }
  T* data() noexcept {
    if (holds_one()) return one();
    T* d = block().data;
    return d ? d : slot();
  }
  const T* data() const noexcept {
    if (holds_one()) return one();
    const T* d = block().data;
    return d ? d : slot();
  }

  template <class... A>
  T& emplace_back(A&&... a) {
#ifdef NDEBUG
    constexpr bool in_place = std::is_nothrow_constructible_v<T, A&&...>;
#else
    constexpr bool in_place = false;  // looked at before it can pass for a block
#endif
    if constexpr (in_place) {
      return Ops::emplace_back(std::forward<A>(a)...);
    } else {
      T v(std::forward<A>(a)...);
      assert(unmarked(v));
      return Ops::emplace_back(std::move(v));
    }
  }
  void resize(size_type n) {
    assert(unmarked(T()));
    Ops::resize(n);
  }
  void resize(size_type n, const T& v) {
    assert(unmarked(v));
    Ops::resize(n, v);
  }
  void assign(size_type n, const T& v) {
    assert(unmarked(v));
    Ops::assign(n, v);
  }
  void shrink_to_fit() {
    if (size() < capacity()) regrow(size());
  }
  void swap(One_Vector& o) noexcept {
    One_Vector t(std::move(o));
    o = std::move(*this);
    *this = std::move(t);
  }

 private:
  // After an element was built at data() + n - 1: an element built in place
  // has already replaced the block by itself.
  void set_size(size_type n) noexcept {
    if (holds_one()) return;
    Block b = block();
    set_block(b.data, n, b.cap);
  }
  // Told before the elements go: once the element in place is destroyed, its
  // byte tells nothing.
  void drop_tail(size_type n) noexcept {
    if (holds_one()) {
      if (n == 0) {
        std::destroy_at(one());
        set_block(nullptr, 0, 1);
      }
      return;
    }
    Block b = block();
    if (n >= b.size) return;
    std::destroy(b.data + n, b.data + b.size);
    set_block(b.data, n, b.cap);
  }
  void take(One_Vector& o) noexcept {
    if (o.holds_one()) {
      ::new (static_cast<void*>(room_)) T(std::move(*o.one()));
      std::destroy_at(o.one());
    } else {
      const Block b = o.block();
      set_block(b.data, b.size, b.cap);
    }
    o.set_block(nullptr, 0, 1);
  }
  void regrow(size_type cap) {
    const size_type n = size();
    cap = std::max(cap, n);
    const bool on_heap = !holds_one() && block().data;
    if (cap <= 1) {
      if (!on_heap) return;
      // Back in place.
      const Block b = block();
      if (n == 1) {
        ::new (static_cast<void*>(room_)) T(std::move(b.data[0]));
        std::destroy_at(b.data);
      } else {
        set_block(nullptr, 0, 1);
      }
      Give_Bytes(b.data, b.cap * sizeof(T));
      return;
    }
    if (on_heap && cap == block().cap) return;
    if (cap > UINT32_MAX) throw std::bad_alloc();
    T* fresh = static_cast<T*>(Take_Bytes(cap * sizeof(T)));
    if (holds_one()) {
      ::new (static_cast<void*>(fresh)) T(std::move(*one()));
      std::destroy_at(one());
    } else if (on_heap) {
      const Block b = block();
      std::uninitialized_move(b.data, b.data + b.size, fresh);
      std::destroy(b.data, b.data + b.size);
      Give_Bytes(b.data, b.cap * sizeof(T));
    }
    set_block(fresh, n, cap);
  }
  void free_all() noexcept {
    if (holds_one()) {
      std::destroy_at(one());
    } else if (const Block b = block(); b.data) {
      std::destroy(b.data, b.data + b.size);
      Give_Bytes(b.data, b.cap * sizeof(T));
    }
    set_block(nullptr, 0, 1);
  }
};

// An immutable text held by one pointer (null when empty), for the names
// and data strings of model objects, most of them empty or short. It holds
// no NUL: a text assigned one ends there, as it would once printed.
class Text {
  char* s_ = nullptr;

  static std::size_t bytes(std::size_t len) { return len + 1; }
  void set(const char* p, std::size_t n) {
    n = static_cast<std::size_t>(std::find(p, p + n, '\0') - p);
    char* fresh = nullptr;
    if (n) {
      fresh = static_cast<char*>(Take_Bytes(bytes(n)));
      std::memcpy(fresh, p, n);
      fresh[n] = '\0';
    }
    drop();
    s_ = fresh;
  }
  void drop() noexcept {
    if (s_) Give_Bytes(s_, bytes(std::strlen(s_)));
    s_ = nullptr;
  }

 public:
  Text() noexcept = default;
  explicit Text(std::string_view v) { set(v.data(), v.size()); }
  explicit Text(const char* v) { set(v, std::strlen(v)); }
  explicit Text(const std::string& v) { set(v.data(), v.size()); }
  Text(const Text& o) {
    if (o.s_) set(o.s_, std::strlen(o.s_));
  }
  Text(Text&& o) noexcept : s_(std::exchange(o.s_, nullptr)) {}
  Text& operator=(const Text& o) {
    if (this != &o) {
      if (o.s_)
        set(o.s_, std::strlen(o.s_));
      else
        drop();
    }
    return *this;
  }
  Text& operator=(Text&& o) noexcept {
    if (this != &o) {
      drop();
      s_ = std::exchange(o.s_, nullptr);
    }
    return *this;
  }
  Text& operator=(std::string_view v) {
    set(v.data(), v.size());
    return *this;
  }
  Text& operator=(const std::string& v) { return *this = std::string_view(v); }
  Text& operator=(const char* v) { return *this = std::string_view(v); }
  ~Text() { drop(); }

  operator std::string() const { return std::string(view()); }
  std::string_view view() const noexcept { return s_ ? std::string_view(s_) : std::string_view(); }
  const char* c_str() const noexcept { return s_ ? s_ : ""; }
  const char* data() const noexcept { return c_str(); }
  std::size_t size() const noexcept { return s_ ? std::strlen(s_) : 0; }
  std::size_t length() const noexcept { return size(); }
  bool empty() const noexcept { return s_ == nullptr; }
  void clear() noexcept { drop(); }
  char operator[](std::size_t i) const noexcept { return c_str()[i]; }
  int compare(std::size_t pos, std::size_t n, const char* s) const {
    return std::string_view(view()).substr(std::min(pos, size()), n).compare(s);
  }

  friend bool operator==(const Text& a, const Text& b) { return a.view() == b.view(); }
  friend bool operator==(const Text& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const Text& a, const char* b) { return a.view() == b; }
  friend bool operator==(const Text& a, const std::string& b) { return a.view() == b; }
  friend std::string operator+(const std::string& a, const Text& b) {
    std::string r = a;
    r += b.view();
    return r;
  }
  friend std::string operator+(const Text& a, const std::string& b) {
    std::string r(a.view());
    r += b;
    return r;
  }
  friend std::string operator+(const char* a, const Text& b) {
    std::string r = a;
    r += b.view();
    return r;
  }
  friend std::string operator+(const Text& a, const char* b) {
    std::string r(a.view());
    r += b;
    return r;
  }
  template <class C, class Tr>
  friend std::basic_ostream<C, Tr>& operator<<(std::basic_ostream<C, Tr>& o, const Text& t) {
    return o << t.view();
  }
};

}  // namespace orv
