// Integer max-plus arithmetic with explicit infinities.
//
// Entries are read as 32-bit quantities, but every path sum, product and
// normalisation is carried in 64 bits so that long paths and long transients
// keep exact values; a result that would leave the 64-bit range is reported
// as an overflow rather than wrapped.
#pragma once

#include <cstdint>
#include <stdexcept>

namespace orv::umbrisk {

using Val = std::int64_t;

inline constexpr Val MINUS_INF = INT64_MIN;  // "eps"
inline constexpr Val PLUS_INF = INT64_MAX;
// Scaled input entries are rejected from this magnitude on (before rounding).
inline constexpr Val ENTRY_LIMIT = 2147483647;

struct Overflow : std::runtime_error {
  Overflow() : std::runtime_error("arithmetic overflow") {}
};

inline bool finite(Val a) { return a != MINUS_INF && a != PLUS_INF; }

// Results equal to a sentinel would be mistaken for an infinity.
inline Val checked_add(Val a, Val b) {
  Val r;
  if (__builtin_add_overflow(a, b, &r) || !finite(r)) throw Overflow();
  return r;
}
inline Val checked_sub(Val a, Val b) {
  Val r;
  if (__builtin_sub_overflow(a, b, &r) || !finite(r)) throw Overflow();
  return r;
}
inline Val checked_mul(Val a, Val b) {
  Val r;
  if (__builtin_mul_overflow(a, b, &r) || !finite(r)) throw Overflow();
  return r;
}

inline Val plus(Val a, Val b) {
  if (a == MINUS_INF || b == MINUS_INF) return MINUS_INF;
  if (a == PLUS_INF || b == PLUS_INF) return PLUS_INF;
  return checked_add(a, b);
}

inline Val max(Val a, Val b) {
  if (a == PLUS_INF || b == PLUS_INF) return PLUS_INF;
  return a > b ? a : b;
}

inline Val moins(Val a, Val b) {
  if (a == MINUS_INF) return MINUS_INF;
  if (b == MINUS_INF) return PLUS_INF;
  if (a == PLUS_INF) return PLUS_INF;
  if (b == PLUS_INF) return MINUS_INF;
  return checked_sub(a, b);
}

// b is an ordinary integer.
inline Val mult(Val a, Val b) {
  if (a == MINUS_INF) return MINUS_INF;
  if (a == PLUS_INF) return b >= 0 ? PLUS_INF : MINUS_INF;
  return checked_mul(a, b);
}

// Whether c/d beats a/b. The floating-point comparison is deliberate: which
// of two equal fractions is kept decides the normalisation used later.
inline bool compa(Val a, Val b, Val c, Val d) {
  if (a == MINUS_INF || c == PLUS_INF) return true;
  return a != PLUS_INF && c != MINUS_INF &&
         static_cast<double>(c) / static_cast<double>(d) >
             static_cast<double>(a) / static_cast<double>(b);
}

inline Val gcd(Val a, Val b) {
  if (a < 0) a = -a;
  if (b < 0) b = -b;
  while (a != 0 && b != 0) {
    if (a > b) a %= b;
    else b %= a;
  }
  return a == 0 ? b : a;
}

inline Val lcm(Val a, Val b) {
  Val g = gcd(a, b);
  if (g == 0) return 0;
  return checked_mul(a / g, b);
}

}  // namespace orv::umbrisk
