// wistroc's simulation of a discrete- or continuous-time Markov chain.
#include "simulation.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "common/random_variates.h"

namespace orv::wistroc {

namespace mc = orv::mc;

namespace {

// This program's own exponential, by its rate; a rate of 0 never leaves
// and takes no draw.
double Exponential(double rate) {
  if (rate == 0.0) return 1e38;
  double u = orv::U_0_1();
  while (u == 0.0) u = orv::U_0_1();
  return (0.0 - std::log(u)) / rate;
}

int Sim_Disc_Time_Chain(const mc::MARKOV_CHAIN& C, double T_Max, bool Stats, bool Traj) {
  const double steps = std::rint(T_Max);
  // Counters are 64-bit; a count beyond that could never be run anyway.
  if (!(std::fabs(steps) <= 1e18)) {
    std::fprintf(stderr, "%s: error: too many steps (%g).\n", kProg, T_Max);
    return -1;
  }
  const long long n = static_cast<long long>(steps);
  const bool rewards = C.Has_Rewards();
  const mc::SP_REAL_MATRIX& G = C.Generator;
  std::vector<long long> visits(Stats ? C.State_Space_Size : 0, 0);
  double reward_sum = 0.0;
  int state = C.Init_State;
  for (long long k = 0; k < n; ++k) {
    if (Traj) std::printf("%6lld %4d\n", k, state);
    if (Stats) ++visits[state];
    double u = orv::U_0_1();
    const std::vector<double>& p = G.Vals[state];
    // Rows are never empty: the reader refuses such a discrete chain.
    std::size_t e = 0;
    for (; e + 1 < p.size(); ++e) {
      u -= p[e];
      if (u <= 0) break;
    }
    if (rewards) {
      const std::vector<double>& r = C.Reward.Vals[state];
      if (e < r.size()) reward_sum += r[e];
    }
    state = G.Elts[state][e];
  }
  if (Traj) std::printf("%6lld %4d\n", n, state);
  if (Stats && n > 0) {
    for (int s = 0; s < C.State_Space_Size; ++s)
      std::printf("State %3d:   cum time = %5lld   ( %8.4f%%)\n", s, visits[s],
                  100.0 * static_cast<double>(visits[s]) / static_cast<double>(n));
    if (rewards) std::printf("Average reward: %f\n", reward_sum / static_cast<double>(n));
  }
  return 0;
}

int Sim_Cont_Time_Chain(const mc::MARKOV_CHAIN& C, double T, bool Stats, bool Traj,
                        bool Increments) {
  const mc::SP_REAL_MATRIX& G = C.Generator;
  const int N = C.State_Space_Size;
  // The leaving rate of each state: minus its diagonal, the row's last one.
  std::vector<double> rate(N);
  for (int s = 0; s < N; ++s) rate[s] = -mc::Get_Sparse_Matrix_Entry(G, s, s);
  std::vector<double> cum(Stats ? N : 0, 0.0);
  int state = C.Init_State, at_T = state;
  double t = 0.0, h = 0.0;
  do {
    const double r = rate[state];
    h = Exponential(r);
    double m = orv::U_0_1() * r;
    int next = state;
    const std::vector<int>& col = G.Elts[state];
    const std::vector<double>& val = G.Vals[state];
    for (std::size_t e = 0; e < col.size(); ++e) {
      if (m <= 0) break;
      if (col[e] != state) m -= val[e];
      next = col[e];
    }
    if (Stats) cum[state] += t + h >= T ? T - t : h;
    if (Traj) {
      std::printf("%12.6f %4d", t, state);
      if (Increments) std::printf(" %10.6f", h);
      std::printf("\n");
    }
    // The jump that passes the limit comes after it: at T the chain is
    // still in the state it left.
    at_T = state;
    state = next;
    t += h;
  } while (t < T);
  if (Traj) {
    std::printf("%12.6f %4d", T, at_T);
    if (Increments) std::printf(" %10.6f", h);
    std::printf("\n");
  }
  // Shares of an empty horizon mean nothing, as with no step in discrete time.
  if (Stats && T > 0)
    for (int s = 0; s < N; ++s)
      std::printf("State %3d:   cum time = %5f   ( %8.4f%% )\n", s, cum[s], 100.0 * cum[s] / T);
  return 0;
}

}  // namespace

int Sim_Chain(const mc::MARKOV_CHAIN& C, double T_Max, bool Stats, bool Traj, bool Increments) {
  switch (C.Time_Type) {
    case mc::DISCRETE_TIME:
      return Sim_Disc_Time_Chain(C, T_Max, Stats, Traj);
    case mc::CONTINUOUS_TIME:
      return Sim_Cont_Time_Chain(C, T_Max, Stats, Traj, Increments);
    default:
      std::printf("%s: error: unknown Chain type (%d). No simulation.\n", kProg, C.Time_Type);
      return 0;
  }
}


}  // namespace orv::wistroc
