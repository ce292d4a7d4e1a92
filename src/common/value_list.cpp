#include "common/value_list.h"

#include <ctime>

namespace orv {

void Append_Real(REAL_LIST& list, double value) { list.push_front(value); }
void Append_Integer(INT_LIST& list, int value) { list.push_front(value); }

REAL_LIST Concat_Real_Lists(REAL_LIST first, REAL_LIST second) {
  if (first.empty()) return second;
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

REAL_LIST Expand_Real_List(double value, int n) {
  return n > 0 ? REAL_LIST(static_cast<size_t>(n), value) : REAL_LIST();
}

std::string todays_date() {
  tzset();
  std::time_t now = std::time(nullptr);
  std::tm tm_now{};
  localtime_r(&now, &tm_now);
  char buf[40];
  size_t n = std::strftime(buf, sizeof buf, " %d %b %y at %T", &tm_now);
  return std::string(buf, n);
}

}  // namespace orv
