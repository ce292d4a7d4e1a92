// yarrisk's in-process simulation: the dater recursion of a stochastic
// event graph over circular tables of B events.
#pragma once

#include <sys/time.h>

#include <vector>

#include "common/event_graph.h"
#include "eventgraph/mp_tables.h"

namespace yarrisk {

// The date of an event that depends on nothing.
inline constexpr double EPS_DATE = -1e12;

struct Simulation {
  struct Input {
    int u;               // upstream transition, 0-based
    int m;               // initial tokens of the place
    const double* lags;  // m lags, file order
    const double* hold;  // the place's holding-time table
    int hold_step;       // 0 for a constant table (one entry), else 1
  };
  int Size = 0;
  int Buf_Size = 0;
  int Sim_Length = 0;
  int Max_Pop_Init = 0;
  std::vector<double> X;  // date of event k of t at X[t * Buf_Size + k mod Buf_Size]
  orv::eg::Draw_Tables Tables;
  std::vector<int> Order;     // transitions in layer order
  std::vector<int> In_Start;  // inputs of Order[i] are In[In_Start[i] .. In_Start[i+1])
  std::vector<Input> In;

  double date(int t, int k) const {
    return X[static_cast<size_t>(t) * static_cast<size_t>(Buf_Size) +
             static_cast<size_t>(k % Buf_Size)];
  }
};

// Allocates and fills every table; false when they do not fit.
bool init_simulation(Simulation& sim, const orv::EventGraph& Reseau, int B, bool Debug);

// Runs n events of every transition; false (after the message) when the
// tables could not be allocated.
bool simulate(Simulation& sim, const orv::EventGraph& Reseau, int n, int B, bool Debug);

void dumpe_simulation(const Simulation& sim);
void write_stat_results(const Simulation& sim, const timeval& start, const timeval& end);

double elapsed_time(const timeval& start, const timeval& end);

}  // namespace yarrisk
