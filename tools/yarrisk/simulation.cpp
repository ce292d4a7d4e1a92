#include "simulation.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <stdexcept>

#include "common/random_variates.h"
#include "common/physical_memory.h"

namespace yarrisk {

namespace {

size_t idx(int i) { return static_cast<size_t>(i); }

// Tables beyond physical memory would only be met lazily by the system and
// end with the process killed; refuse them instead.
bool fits_in_memory(double doubles) {
  return doubles * static_cast<double>(sizeof(double)) < orv::Physical_Memory();
}

bool build(Simulation& sim, const orv::EventGraph& g, int B, bool Debug) {
  using orv::eg::is_constant;
  const size_t n = idx(g.Size);
  const size_t np = g.P.size();
  orv::eg::Draw_Tables& t = sim.Tables;
  t.T_Dont_Do_It.assign(n, 0);
  t.P_Dont_Do_It.assign(np, 0);
  double wanted = static_cast<double>(n) * B;
  for (size_t i = 0; i < n; ++i) {
    t.T_Dont_Do_It[i] = g.T[i] && is_constant(g.T[i]->Trans_Law.get());
    if (!t.T_Dont_Do_It[i]) wanted += B;
  }
  for (size_t q = 0; q < np; ++q) {
    t.P_Dont_Do_It[q] = is_constant(g.P[q]->Place_Law.get()) != 0;
    if (!t.P_Dont_Do_It[q]) wanted += B;
  }
  if (!fits_in_memory(wanted)) return false;

  // A constant table holds its one value; the others B draws. Constant
  // laws take no random draw, so filling them now or with the others leaves
  // the sequence of draws unchanged.
  t.Fire_Times.resize(n);
  t.Hold_Times.resize(np);
  for (size_t i = 0; i < n; ++i) t.Fire_Times[i].assign(t.T_Dont_Do_It[i] ? 1 : idx(B), 0.0);
  for (size_t q = 0; q < np; ++q) t.Hold_Times[q].assign(t.P_Dont_Do_It[q] ? 1 : idx(B), 0.0);
  t.Length = B;
  sim.X.assign(n * idx(B), EPS_DATE);

  for (size_t i = 0; i < n; ++i)
    if (t.T_Dont_Do_It[i] && g.T[i]->Trans_Law)
      orv::draw_iid_table_with_discrete(t.Fire_Times[i].data(), 1, *g.T[i]->Trans_Law);
  for (size_t q = 0; q < np; ++q)
    if (t.P_Dont_Do_It[q] && g.P[q]->Place_Law)
      orv::draw_iid_table_with_discrete(t.Hold_Times[q].data(), 1, *g.P[q]->Place_Law);
  orv::eg::Fill_Tables(g, t, B);

  if (Debug) {
    for (size_t i = 0; i < n; ++i) {
      if (t.T_Dont_Do_It[i]) std::printf("Won't draw tables again for trans. %d\n", static_cast<int>(i));
      for (const orv::PLACE_DESC* p : g.T[i]->Outputs)
        if (t.P_Dont_Do_It[idx(p->Place_Id)])
          std::printf("Won't draw tables again for Place (%1d->%1d).\n", static_cast<int>(i),
                      p->Trans_Id - 1);
    }
  }

  sim.Order.clear();
  sim.In.clear();
  sim.In_Start.assign(1, 0);
  for (const orv::LAYER_DESC& level : g.Level) {
    for (int d : level.Node_Id) {
      sim.Order.push_back(d);
      for (const orv::PLACE_DESC* q : g.T[idx(d)]->Inputs) {
        const size_t p = idx(q->Place_Id);
        sim.In.push_back(Simulation::Input{q->Input_Id - 1, q->Init_Pop, q->Lag_Times.data(),
                                           t.Hold_Times[p].data(), t.P_Dont_Do_It[p] ? 0 : 1});
      }
      sim.In_Start.push_back(static_cast<int>(sim.In.size()));
    }
  }
  return true;
}

// One round of events: every transition's event k in layer order, so that a
// token-free input reads the same round's date of its upstream transition.
template <bool Early>
void round(Simulation& sim, int k, int j) {
  const int B = sim.Buf_Size;
  double* X = sim.X.data();
  const Simulation::Input* in = sim.In.data();
  const orv::eg::Draw_Tables& t = sim.Tables;
  for (size_t i = 0; i < sim.Order.size(); ++i) {
    const int d = sim.Order[i];
    double x = EPS_DATE;
    const Simulation::Input* end = in + sim.In_Start[i + 1];
    for (const Simulation::Input* a = in + sim.In_Start[i]; a != end; ++a) {
      double c;
      if (Early && k < a->m) {
        c = a->lags[k];
      } else {
        int r = j - a->m;
        if (r < 0) r += B;
        c = X[idx(a->u) * idx(B) + idx(r)];
      }
      c += a->hold[j * a->hold_step];
      if (c > x) x = c;
    }
    X[idx(d) * idx(B) + idx(j)] = x + t.fire(d, j);
  }
}

}  // namespace

double elapsed_time(const timeval& start, const timeval& end) {
  return (static_cast<double>(end.tv_sec - start.tv_sec) * 1000000.0 +
          static_cast<double>(end.tv_usec - start.tv_usec)) /
         1000000.0;
}

bool init_simulation(Simulation& sim, const orv::EventGraph& Reseau, int B, bool Debug) {
  sim.Size = Reseau.Size;
  sim.Buf_Size = B;
  sim.Max_Pop_Init = Reseau.Max_Pop_Init;
  if (B < 1) return false;
  try {
    return build(sim, Reseau, B, Debug);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
}

bool simulate(Simulation& sim, const orv::EventGraph& Reseau, int n, int B, bool Debug) {
  sim.Sim_Length = n;
  if (!init_simulation(sim, Reseau, B, Debug)) {
    std::printf("Could not allocate space. Simulation not launched.\n");
    return false;
  }
  int j = 0;
  for (int k = 0; k < n; ++k) {
    if (k < sim.Max_Pop_Init)
      round<true>(sim, k, j);
    else
      round<false>(sim, k, j);
    if (++j == B) {
      orv::eg::Fill_Tables(Reseau, sim.Tables, B);
      j = 0;
    }
  }
  return true;
}

void dumpe_simulation(const Simulation& sim) {
  const int n = sim.Sim_Length;
  for (int t = 0; t < sim.Size; ++t) {
    std::printf("Transition %d ...\n", t);
    for (int k = std::max(0, n - sim.Max_Pop_Init - 1); k < n; ++k) {
      const double v = sim.date(t, k);
      // Dates of no event lie at EPS_DATE plus a few durations.
      if (v <= EPS_DATE / 10)
        std::printf(" eps");
      else
        std::printf("%8.3f", v);
      std::printf("\n");
    }
  }
}

void write_stat_results(const Simulation& sim, const timeval& start, const timeval& end) {
  const int n = sim.Sim_Length;
  for (int t = 0; t < sim.Size; ++t) {
    // Without an event there is no last date to read.
    const double last = n >= 1 ? sim.date(t, n - 1) : EPS_DATE;
    // A transition that waits for no token (no input place, or only places
    // from such transitions) never fires: its "dates" are EPS_DATE plus
    // durations, and no cycle time follows from them.
    if (n >= 1 && last <= EPS_DATE / 10) {
      std::printf("Y_%1d[%1d] = eps    Cycle time: impossible to estimate\n", t, n);
      std::fprintf(stderr, "yarrisk: warning: transition %d never fires: no token reaches it.\n", t + 1);
      continue;
    }
    std::printf("Y_%1d[%1d] = %f    ", t, n, last);
    if (n >= 1)
      std::printf("Cycle time: %f\n", last / n);
    else
      std::printf("Cycle time: impossible to estimate\n");
  }
  const double time = elapsed_time(start, end);
  std::printf("Total execution time: %f", time);
  // A run shorter than the clock's resolution has no measurable rate.
  if (time > 0)
    std::printf("\t\t(%f evt/sec)\n", static_cast<double>(n) * sim.Size / time);
  else
    std::printf("\t\t(- evt/sec)\n");
}

}  // namespace yarrisk
