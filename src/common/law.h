// Probability laws: a one-letter law name with its parameter vector (and two
// sub-laws for the interrupted Poisson process), built from the readers'
// parameter lists, written back in model notation and evaluated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "common/compact.h"
#include "common/value_list.h"

namespace orv {

// Readers build one law per object, so laws come from a pool, keep their
// first parameter in themselves and their sub-laws by one pointer (see
// common/compact.h).
using Law_Values = Small_Vector<double, 1>;

struct LAW_DESC {
  // Laid out per letter; never empty once built.
  [[no_unique_address]] Law_Values Parameters = Law_Values(1, 0.0);
  char Name = 0;  // in the tail of Parameters
  // Sub-laws: only for 'P', exactly two.
  Compact_Vector<std::unique_ptr<LAW_DESC>> Law_Parameters;

  static void* operator new(std::size_t n) { return Take_Bytes(n); }
  static void operator delete(void* p, std::size_t n) noexcept { Give_Bytes(p, n); }
};

using LawPtr = std::unique_ptr<LAW_DESC>;
// In list order, like the other reader lists (front = last law read).
using LAW_LIST = std::deque<LawPtr>;

// A law with one zeroed parameter slot and no name.
LawPtr New_Law();

// Builds a law from the reader's lists, both in list order (front = last
// value written). Never fails: missing values become 0.0 with a warning.
// A 'P' law always gets exactly two sub-laws (extras dropped, a missing one
// is C 0.0), sub-law 0 being the last one written.
LawPtr Parse_Law(char id, REAL_LIST first, REAL_LIST second, LAW_LIST subs);

// The same from values in the order written (first value first), without
// the lists; for every letter but 'P', which needs its sub-laws.
LawPtr Parse_Law_Written(char id, const std::vector<double>& first,
                         const std::vector<double>& second = {});

// For parsers that read every real list onto one stack: the law of the values
// of `reals` from index `first` on, split into two lists at `second` (or not
// split when it is No_Second_List); those values are then dropped. `a` and `b`
// hold the lists and keep their room from one law to the next.
inline constexpr size_t No_Second_List = SIZE_MAX;
LawPtr Law_From_Tail(char id, std::vector<double>& reals, size_t first, size_t second,
                     std::vector<double>& a, std::vector<double>& b);

// Writes the law in model notation; no newline.
void Write_Law(FILE* out, const LAW_DESC& law);
// The same for text a reader takes back: each real reads as the same double
// (common/exact_real.h).
void Write_Law_Exact(FILE* out, const LAW_DESC& law);

double Mean(const LAW_DESC& law);
double Moment(const LAW_DESC& law, int order);
double Laplace(const LAW_DESC& law, double s);
double DLaplace(const LAW_DESC& law, double s);
// The tail P(X > x).
double CDF(const LAW_DESC& law, double x);

// A new law whose time values are multiplied by factor, or null.
LawPtr Rescale_Law(const LAW_DESC& law, double factor);
LawPtr Copy_Law(const LAW_DESC& law);

// The largest stage count of an Erlang law ('R'): a count of stages that
// fits an int.
inline constexpr double Max_Erlang_Stages = 2147483647.0;

// Why the law's parameters give no finite, non-negative draws (an Erlang
// law with a stage count that is no whole number from 1 to
// Max_Erlang_Stages, a probability outside its range, a negative or
// infinite time), or an empty text when they do. Letters without a
// generator are not judged here.
std::string Law_Parameter_Error(const LAW_DESC& law);

// Prepends law.
void Append_Law(LAW_LIST& list, LawPtr law);

}  // namespace orv
