// One-value lists as the model readers build them. A reader adds each value
// in front of the list (the builders prepend), so a list holds its values in
// the reverse of the order read, and the law builder, the routing
// probabilities and the arc lists depend on that order. The lists are deques
// kept in that list order: front() is the node a linked list would start with.
#pragma once

#include <deque>
#include <string>

namespace orv {

using REAL_LIST = std::deque<double>;
using INT_LIST = std::deque<int>;

// Prepends value (the name is historical).
void Append_Real(REAL_LIST& list, double value);
void Append_Integer(INT_LIST& list, int value);

// first's values, then second's.
REAL_LIST Concat_Real_Lists(REAL_LIST first, REAL_LIST second);

// n copies of value; empty for n <= 0.
REAL_LIST Expand_Real_List(double value, int n);

// The local time as " %d %b %y at %T" (note the leading blank), after tzset.
std::string todays_date();

}  // namespace orv
