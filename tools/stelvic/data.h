// The description of the routed queues that stelvic reads.
#pragma once

#include <cstdio>
#include <vector>

namespace stelvic {

struct Data {
  double lambda = 0.0;
  int N = 0;
  std::vector<double> service, weight;  // 1 .. N, index 0 holds 0
  std::vector<int> Routing;             // P values, 0 = leaves the system
};

// Reads lambda, the queues' service times and weights, the period and the
// routing; -1 after a message on stderr. With force, a routing entry out of
// bounds is a rejection (0) with a warning instead of an error.
int Read_Data(FILE* in, Data& d, bool force);

}  // namespace stelvic
