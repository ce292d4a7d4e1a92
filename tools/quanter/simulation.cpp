#include "simulation.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

#include "common/random_variates.h"
#include "petri/analysis.h"
#include "common/physical_memory.h"

namespace quanter {

using orv::pn::LINK_LIST;
using orv::pn::PL_DES;
using orv::pn::TR_DES;

namespace {

// rint(Scale x the law's constant), kept within int; the checks before the
// run make it exact.
long long ticks_of(double value, int Scale) {
  double t = std::rint(value * Scale);
  if (!(t >= 0)) return 0;
  if (t > static_cast<double>(INT_MAX)) return INT_MAX;
  return static_cast<long long>(t);
}

bool build_tables(Simulation& sim, const PetriNet& net, const LAYER_STRUCT& layers) {
  const int NT = sim.Nb_Trans, NP = sim.Nb_Places, S = sim.Scale;
  sim.Fire_Time.assign(NT, 0);
  sim.Hold_Time.assign(NP, 0);
  for (int t = 0; t < NT; ++t)
    sim.Fire_Time[t] = static_cast<int>(ticks_of(orv::pn::Delay_Of(net.T[t].Tr_Law.get()), S));
  for (int p = 0; p < NP; ++p)
    sim.Hold_Time[p] = static_cast<int>(ticks_of(orv::pn::Delay_Of(net.P[p].Pl_Law.get()), S));

  sim.Is_Routing.assign(NP, 0);
  sim.HH_Row.assign(NP, -1);
  sim.Count.assign(NP, 0);
  sim.Phase.assign(NP, 0);
  int rows = 0;
  for (int p = 0; p < NP; ++p) {
    const PL_DES& pl = net.P[p];
    if (pl.Routing && pl.Routing->Type != 'C') {
      sim.Is_Routing[p] = 1;
      sim.HH_Row[p] = rows++;
    }
  }
  sim.HH.assign(static_cast<std::size_t>(rows) * NT, 0);

  sim.Place_In_Start.assign(NP + 1, 0);
  sim.Place_Out_Start.assign(NP + 1, 0);
  sim.Lag_Start.assign(NP + 1, 0);
  sim.Place_In.clear();
  sim.Place_Out.clear();
  sim.Lag_Tick.clear();
  for (int p = 0; p < NP; ++p) {
    const PL_DES& pl = net.P[p];
    sim.Place_In_Start[p] = static_cast<int>(sim.Place_In.size());
    for (const LINK_LIST& arc : pl.Inputs) {
      if (arc.Dest < 0 || arc.Dest >= NT) continue;
      long long d = static_cast<long long>(sim.Hold_Time[p]) + sim.Fire_Time[arc.Dest];
      // Every look-back must stay inside the buffer; the driver sizes it so.
      if (d >= sim.Buf_Size) return false;
      sim.Place_In.push_back({arc.Dest, arc.Weight, static_cast<int>(d)});
    }
    sim.Place_Out_Start[p] = static_cast<int>(sim.Place_Out.size());
    for (const LINK_LIST& arc : pl.Outputs)
      if (arc.Dest >= 0 && arc.Dest < NT) sim.Place_Out.push_back({arc.Dest, arc.Weight});
    sim.Lag_Start[p] = static_cast<int>(sim.Lag_Tick.size());
    int n = std::min<int>(pl.Init_Pop, static_cast<int>(pl.Lag_Times.size()));
    for (int k = 0; k < n; ++k)
      sim.Lag_Tick.push_back(static_cast<int>(ticks_of(pl.Lag_Times[k], S)));
    // Tokens the reader gave no lag are there from the start.
    for (int k = n; k < pl.Init_Pop; ++k) sim.Lag_Tick.push_back(0);
    std::sort(sim.Lag_Tick.begin() + sim.Lag_Start[p], sim.Lag_Tick.end());
  }
  sim.Place_In_Start[NP] = static_cast<int>(sim.Place_In.size());
  // The recursion reads back as far as the longest delay; the dump shows the
  // last ticks, up to one more than the largest initial marking, within the
  // buffer asked for. Rows beyond both would only cost memory and cache.
  int look_back = 0, max_pop = 0;
  for (const Simulation::In_Arc& a : sim.Place_In) look_back = std::max(look_back, a.Delay);
  for (const PL_DES& pl : net.P) max_pop = std::max(max_pop, pl.Init_Pop);
  sim.Rows = std::max(look_back + 1, std::min(sim.Buf_Size, max_pop + 1));
  sim.Dump_From = static_cast<int>(
      std::max<long long>({0LL, static_cast<long long>(sim.Last_Tick) - max_pop,
                           static_cast<long long>(sim.Last_Tick) - sim.Buf_Size + 1}));
  sim.YY.assign(static_cast<std::size_t>(sim.Rows) * NT, 0);
  sim.Place_Out_Start[NP] = static_cast<int>(sim.Place_Out.size());
  sim.Lag_Start[NP] = static_cast<int>(sim.Lag_Tick.size());

  sim.Trans_In_Start.assign(NT + 1, 0);
  sim.Trans_In.clear();
  for (int t = 0; t < NT; ++t) {
    sim.Trans_In_Start[t] = static_cast<int>(sim.Trans_In.size());
    for (const LINK_LIST& arc : net.T[t].Inputs)
      if (arc.Dest >= 0 && arc.Dest < NP) sim.Trans_In.push_back({arc.Dest, arc.Weight});
  }
  sim.Trans_In_Start[NT] = static_cast<int>(sim.Trans_In.size());

  sim.Order.clear();
  for (int l = 0; l < layers.Nb_Levels && l < static_cast<int>(layers.Level.size()); ++l) {
    if (!layers.Level[l]) continue;
    for (int t : layers.Level[l]->Node_Id)
      if (t >= 0 && t < NT) sim.Order.push_back(t);
  }

  sim.Plan.clear();
  for (int t : sim.Order) {
    sim.Plan.push_back(t);
    sim.Plan.push_back(sim.Trans_In_Start[t + 1] - sim.Trans_In_Start[t]);
    for (int k = sim.Trans_In_Start[t]; k < sim.Trans_In_Start[t + 1]; ++k) {
      const int p = sim.Trans_In[k].Other;
      sim.Plan.push_back(p);
      sim.Plan.push_back(sim.Trans_In[k].Weight);
      sim.Plan.push_back(sim.Lag_Start[p + 1] - sim.Lag_Start[p]);
      sim.Plan.push_back(sim.Is_Routing[p]);
      sim.Plan.push_back(sim.Place_In_Start[p + 1] - sim.Place_In_Start[p]);
      for (int j = sim.Place_In_Start[p]; j < sim.Place_In_Start[p + 1]; ++j) {
        sim.Plan.push_back(sim.Place_In[j].Trans);
        sim.Plan.push_back(sim.Place_In[j].Weight);
        sim.Plan.push_back(sim.Place_In[j].Delay);
      }
    }
  }
  return true;
}

// A transition that no input holds back (only arcs of weight 0).
constexpr std::int64_t NO_BOUND = INT64_MAX;

// Stores the count of transition t; false when it no longer fits the
// counters, as the counts of a net whose tokens multiply soon do.
bool store_count(int* row, int t, std::int64_t y) {
  if (y == NO_BOUND) y = INT_MAX;
  if (y > INT_MAX) return false;
  row[t] = static_cast<int>(std::max<std::int64_t>(y, INT_MIN));
  return true;
}

// Tokens that have reached place p by tick i (row r), the initial ones
// available by then included. Look-backs before tick 0 find nothing.
std::int64_t arrived(const Simulation& sim, int p, int i, int r) {
  std::int64_t A = Nb_Available(sim, p, i);
  const int B = sim.Rows;
  const Simulation::In_Arc* a = sim.Place_In.data() + sim.Place_In_Start[p];
  const Simulation::In_Arc* end = sim.Place_In.data() + sim.Place_In_Start[p + 1];
  for (; a != end; ++a) {
    if (a->Delay > i) continue;
    int rr = r - a->Delay;
    if (rr < 0) rr += B;
    A += static_cast<std::int64_t>(a->Weight) *
         sim.YY[static_cast<std::size_t>(rr) * sim.Nb_Trans + a->Trans];
  }
  return A;
}

// Routes what has reached routing place p for transition t; the tokens
// allotted to t so far.
std::int64_t route(Simulation& sim, const PetriNet& net, int p, int t, int i, std::int64_t A) {
  const char type = net.P[p].Routing->Type;
  if (type == 'R' || type == 'D') {
    while (sim.Count[p] < A) {
      if (!Draw_Routing(sim, net, p, t, i)) break;
      ++sim.Count[p];
    }
  } else {
    Draw_Routing(sim, net, p, t, i);
  }
  return sim.HH[static_cast<std::size_t>(sim.HH_Row[p]) * sim.Nb_Trans + t];
}

// A tick of the steady phase, read from the plan: every initial token is
// there and every look-back falls at or after tick 0, so the tests of
// initial_step drop out. Returns the transition whose count overflowed, or
// -1.
int steady_step(Simulation& sim, const PetriNet& net, int i) {
  const int B = sim.Rows;
  const std::size_t NT = static_cast<std::size_t>(sim.Nb_Trans);
  const int r = i % B;
  int* const YY = sim.YY.data();
  int* const row = YY + static_cast<std::size_t>(r) * NT;
  if (B > 1)
    std::memcpy(row, YY + static_cast<std::size_t>(r == 0 ? B - 1 : r - 1) * NT, sizeof(int) * NT);
  const int* q = sim.Plan.data();
  const int* const end = q + sim.Plan.size();
  while (q != end) {
    const int t = *q++;
    const int inputs = *q++;
    std::int64_t y = NO_BOUND;
    for (int k = 0; k < inputs; ++k) {
      const int p = q[0], w = q[1], routing = q[3], arcs = q[4];
      std::int64_t A = q[2];
      q += 5;
      for (int j = 0; j < arcs; ++j, q += 3) {
        int rr = r - q[2];
        if (rr < 0) rr += B;
        A += static_cast<std::int64_t>(q[1]) * YY[static_cast<std::size_t>(rr) * NT + q[0]];
      }
      if (routing) A = route(sim, net, p, t, i, A);
      if (w == 1)
        y = std::min(y, A);
      else if (w > 0)
        y = std::min(y, A / w);
    }
    if (!store_count(row, t, y)) return t;
  }
  return -1;
}

// A tick of the initial phase, while look-backs may reach before tick 0;
// returns as steady_step.
int initial_step(Simulation& sim, const PetriNet& net, int i) {
  const int r = i % sim.Rows;
  int* row = sim.Y(r);
  if (i > 0 && sim.Rows > 1) {
    const int prev = r == 0 ? sim.Rows - 1 : r - 1;
    std::memcpy(row, sim.Y(prev), sizeof(int) * static_cast<std::size_t>(sim.Nb_Trans));
  }
  for (int t : sim.Order) {
    std::int64_t y = NO_BOUND;
    const Simulation::Out_Arc* a = sim.Trans_In.data() + sim.Trans_In_Start[t];
    const Simulation::Out_Arc* end = sim.Trans_In.data() + sim.Trans_In_Start[t + 1];
    for (; a != end; ++a) {
      const int p = a->Other;
      std::int64_t A = arrived(sim, p, i, r);
      if (sim.Is_Routing[p]) A = route(sim, net, p, t, i, A);
      // An arc of weight 0 takes nothing and so never holds a firing back.
      // Most arcs weigh 1: spare them the division.
      if (a->Weight == 1)
        y = std::min(y, A);
      else if (a->Weight > 0)
        y = std::min(y, A / a->Weight);
    }
    if (!store_count(row, t, y)) return t;
  }
  return -1;
}

// The first tick of the steady phase: every initial token is there by then.
long long first_steady_tick(const PetriNet& net, int Scale) {
  double l0 = std::rint(Max(orv::pn::Max_Lag(net), orv::pn::Max_Delay(net)) * Scale);
  return l0 > 0 ? static_cast<long long>(std::min(l0, 2e9)) : 0;
}

// The tables of the change-driven run; false when the net needs the
// every-tick walk: a transition listed twice in the layers, an initial token
// later than the steady phase (which counts every token as there), or a
// zero-delay arc whose place has readers both before and after its producer.
// A zero-delay arc read only by transitions at or before its producer in the
// layer order is read one tick late, as a delay of 1.
bool build_change_tables(Simulation& sim, const PetriNet& net, long long L0) {
  const int NT = sim.Nb_Trans, NP = sim.Nb_Places;
  const int n = static_cast<int>(sim.Order.size());
  sim.Pos.assign(NT, -1);
  for (int k = 0; k < n; ++k) {
    if (sim.Pos[sim.Order[k]] >= 0) return false;
    sim.Pos[sim.Order[k]] = k;
  }
  for (int x : sim.Lag_Tick)
    if (x > L0) return false;

  // Readers of each place: the positions of the transitions whose inputs
  // list it, once each.
  std::vector<int> count(NP + 1, 0);
  std::vector<int> last_pos(NP, -1);
  for (int k = 0; k < n; ++k) {
    const int t = sim.Order[k];
    for (int j = sim.Trans_In_Start[t]; j < sim.Trans_In_Start[t + 1]; ++j)
      if (last_pos[sim.Trans_In[j].Other] != k) {
        last_pos[sim.Trans_In[j].Other] = k;
        ++count[sim.Trans_In[j].Other];
      }
  }
  sim.Reader_Start.assign(NP + 1, 0);
  for (int p = 0; p < NP; ++p) sim.Reader_Start[p + 1] = sim.Reader_Start[p] + count[p];
  sim.Readers.assign(sim.Reader_Start[NP], 0);
  std::vector<int> fill(sim.Reader_Start.begin(), sim.Reader_Start.end() - 1);
  last_pos.assign(NP, -1);
  for (int k = 0; k < n; ++k) {
    const int t = sim.Order[k];
    for (int j = sim.Trans_In_Start[t]; j < sim.Trans_In_Start[t + 1]; ++j) {
      const int p = sim.Trans_In[j].Other;
      if (last_pos[p] == k) continue;
      last_pos[p] = k;
      sim.Readers[fill[p]++] = k;  // ascending: readers are added in position order
    }
  }

  // What each transition feeds, from the arcs as the places see them.
  int ring = 2;
  std::vector<int> feeds(NT + 1, 0);
  for (const Simulation::In_Arc& a : sim.Place_In) ++feeds[a.Trans];
  sim.Feed_Start.assign(NT + 1, 0);
  for (int t = 0; t < NT; ++t) sim.Feed_Start[t + 1] = sim.Feed_Start[t] + feeds[t];
  sim.Feeds.assign(sim.Feed_Start[NT], {0, 0, 0});
  std::vector<int> at(sim.Feed_Start.begin(), sim.Feed_Start.end() - 1);
  for (int p = 0; p < NP; ++p) {
    for (int j = sim.Place_In_Start[p]; j < sim.Place_In_Start[p + 1]; ++j) {
      const Simulation::In_Arc& a = sim.Place_In[j];
      int delay = a.Delay;
      if (delay == 0) {
        const int from = sim.Pos[a.Trans];
        bool before = false, after = false;
        for (int k = sim.Reader_Start[p]; k < sim.Reader_Start[p + 1]; ++k)
          (sim.Readers[k] > from && from >= 0 ? after : before) = true;
        if (before && after) return false;
        if (!after) delay = 1;
      }
      ring = std::max(ring, delay + 1);
      sim.Feeds[at[a.Trans]++] = {p, a.Weight, delay};
    }
  }

  // Priority routing hands out tokens at every evaluation, whatever arrived;
  // a routing the run does not know reports at every evaluation. Their
  // readers are evaluated at every tick.
  const std::size_t words = (static_cast<std::size_t>(n) + 63) / 64;
  sim.Always.assign(words, 0);
  for (int k = 0; k < n; ++k) {
    const int t = sim.Order[k];
    for (int j = sim.Trans_In_Start[t]; j < sim.Trans_In_Start[t + 1]; ++j) {
      const int p = sim.Trans_In[j].Other;
      if (sim.Is_Routing[p] && net.P[p].Routing->Type != 'R' && net.P[p].Routing->Type != 'D')
        sim.Always[k >> 6] |= std::uint64_t{1} << (k & 63);
    }
  }
  sim.Dirty.assign(words, 0);
  sim.Dirty_Words.assign((words + 63) / 64, 0);

  sim.Lag_Events.clear();
  for (int p = 0; p < NP; ++p)
    for (int k = sim.Lag_Start[p]; k < sim.Lag_Start[p + 1]; ++k)
      sim.Lag_Events.emplace_back(sim.Lag_Tick[k], p);
  std::sort(sim.Lag_Events.begin(), sim.Lag_Events.end());

  sim.Arrived.assign(NP, 0);
  sim.Now.assign(NT, 0);
  sim.Due.assign(ring, {});
  return true;
}

inline void wake_position(Simulation& sim, int k) {
  sim.Dirty[k >> 6] |= std::uint64_t{1} << (k & 63);
  sim.Dirty_Words[k >> 12] |= std::uint64_t{1} << ((k >> 6) & 63);
}

void wake_readers(Simulation& sim, int p) {
  for (int k = sim.Reader_Start[p]; k < sim.Reader_Start[p + 1]; ++k)
    wake_position(sim, sim.Readers[k]);
}

void arrive(Simulation& sim, int p, std::int64_t tokens) {
  sim.Arrived[p] += tokens;
  wake_readers(sim, p);
}

// Evaluates the transition at position k at tick i and passes a change of
// its count on; false when the count outgrew its counter.
bool evaluate(Simulation& sim, const PetriNet& net, int k, int i) {
  const int t = sim.Order[k];
  std::int64_t y = NO_BOUND;
  for (int j = sim.Trans_In_Start[t]; j < sim.Trans_In_Start[t + 1]; ++j) {
    const int p = sim.Trans_In[j].Other;
    const int w = sim.Trans_In[j].Weight;
    std::int64_t A = sim.Arrived[p];
    if (sim.Is_Routing[p]) A = route(sim, net, p, t, i, A);
    if (w == 1)
      y = std::min(y, A);
    else if (w > 0)
      y = std::min(y, A / w);
  }
  const int before = sim.Now[t];
  if (!store_count(sim.Now.data(), t, y)) return false;
  const std::int64_t change = static_cast<std::int64_t>(sim.Now[t]) - before;
  if (change == 0) return true;
  const int ring = static_cast<int>(sim.Due.size());
  for (int j = sim.Feed_Start[t]; j < sim.Feed_Start[t + 1]; ++j) {
    const Simulation::Feed& f = sim.Feeds[j];
    if (f.Weight == 0) continue;
    const std::int64_t tokens = change * f.Weight;
    if (f.Delay == 0) {
      arrive(sim, f.Place, tokens);
    } else {
      int slot = i % ring + f.Delay;
      if (slot >= ring) slot -= ring;
      sim.Due[slot].push_back({f.Place, tokens});
    }
  }
  return true;
}

// One tick of the change-driven run; returns the transition whose count
// overflowed, or -1.
int change_step(Simulation& sim, const PetriNet& net, int i, std::size_t& next_lag) {
  while (next_lag < sim.Lag_Events.size() && sim.Lag_Events[next_lag].first <= i)
    arrive(sim, sim.Lag_Events[next_lag++].second, 1);
  std::vector<Simulation::Due_Tokens>& due = sim.Due[i % sim.Due.size()];
  for (const Simulation::Due_Tokens& d : due) arrive(sim, d.Place, d.Tokens);
  due.clear();
  const std::size_t words = sim.Dirty.size();
  if (i == 0) {
    for (std::size_t w = 0; w < words; ++w) {
      const int left = static_cast<int>(sim.Order.size()) - static_cast<int>(w) * 64;
      sim.Dirty[w] = left >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << left) - 1;
      if (sim.Dirty[w]) sim.Dirty_Words[w >> 6] |= std::uint64_t{1} << (w & 63);
    }
  } else {
    for (std::size_t w = 0; w < words; ++w)
      if (sim.Always[w]) {
        sim.Dirty[w] |= sim.Always[w];
        sim.Dirty_Words[w >> 6] |= std::uint64_t{1} << (w & 63);
      }
  }
  // Lowest position first: an evaluation wakes only later positions.
  for (std::size_t top = 0; top < sim.Dirty_Words.size(); ++top) {
    while (sim.Dirty_Words[top]) {
      const std::size_t w = top * 64 + static_cast<std::size_t>(std::countr_zero(sim.Dirty_Words[top]));
      const std::uint64_t bits = sim.Dirty[w];
      sim.Dirty[w] = bits & (bits - 1);
      if (!sim.Dirty[w]) sim.Dirty_Words[top] &= ~(std::uint64_t{1} << (w & 63));
      const int k = static_cast<int>(w * 64) + std::countr_zero(bits);
      if (!evaluate(sim, net, k, i)) {
        std::fill(sim.Dirty.begin(), sim.Dirty.end(), 0);
        std::fill(sim.Dirty_Words.begin(), sim.Dirty_Words.end(), 0);
        return sim.Order[k];
      }
    }
  }
  // A net without transitions has no row to fill (and no buffer).
  if (i >= sim.Dump_From && sim.Nb_Trans > 0)
    std::memcpy(sim.Y(sim.row(i)), sim.Now.data(),
                sizeof(int) * static_cast<std::size_t>(sim.Nb_Trans));
  return -1;
}

}  // namespace

double Max(double a, double b) { return a > b ? a : b; }

double elapsed_time(const timeval& start, const timeval& end) {
  return (static_cast<double>(end.tv_sec - start.tv_sec) * 1000000.0 +
          static_cast<double>(end.tv_usec - start.tv_usec)) /
         1000000.0;
}

bool init_simulation(Simulation& sim, const PetriNet& Reseau, const LAYER_STRUCT& layers,
                     int Scale, int Buf_Size) {
  sim.Nb_Trans = Reseau.Nb_Trans;
  sim.Nb_Places = Reseau.Nb_Places;
  sim.Scale = Scale;
  sim.Buf_Size = Buf_Size;
  const int N = Reseau.Sim_Params ? Reseau.Sim_Params->Nb_Firings : 0;
  sim.Last_Tick = static_cast<int>(static_cast<long long>(Scale) * N);
  if (Buf_Size < 1 || Scale < 1 || N < 0) return false;
  // A buffer asked for beyond the machine's memory stays refused, as users
  // know it, though fewer rows are kept.
  double bytes = static_cast<double>(Buf_Size) * Reseau.Nb_Trans * sizeof(int);
  if (bytes > orv::Physical_Memory()) return false;
  try {
    return build_tables(sim, Reseau, layers);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
}

std::int64_t Nb_Available(const Simulation& sim, int place, int Time) {
  auto first = sim.Lag_Tick.begin() + sim.Lag_Start[place];
  auto last = sim.Lag_Tick.begin() + sim.Lag_Start[place + 1];
  return std::upper_bound(first, last, Time) - first;
}

std::int64_t Place_Marking(const Simulation& sim, int place, int Time) {
  std::int64_t m;
  const int* row;
  if (sim.Change_Driven) {
    m = sim.Arrived[place];
    row = sim.Now.data();
  } else {
    m = arrived(sim, place, Time, sim.row(Time));
    row = sim.Y(sim.row(Time));
  }
  for (int k = sim.Place_Out_Start[place]; k < sim.Place_Out_Start[place + 1]; ++k)
    m -= static_cast<std::int64_t>(sim.Place_Out[k].Weight) * row[sim.Place_Out[k].Other];
  return m;
}

int Draw_Routing(Simulation& sim, const PetriNet& Reseau, int Place_Id, int Trans_Id, int Time) {
  const PL_DES& pl = Reseau.P[Place_Id];
  const auto& routing = *pl.Routing;
  std::int64_t* hh = sim.HH.data() + static_cast<std::size_t>(sim.HH_Row[Place_Id]) * sim.Nb_Trans;
  switch (routing.Type) {
    case 'R': {
      const int first = sim.Place_Out_Start[Place_Id];
      const int n = sim.Place_Out_Start[Place_Id + 1] - first;
      if (n <= 0) return 0;
      // Probabilities the file left out count as 0.
      auto proba = [&](int k) {
        return k < static_cast<int>(routing.Probas.size()) ? routing.Probas[k] : 0.0;
      };
      double d = orv::U_0_1() - proba(0);
      int k = 0;
      while (d >= 0 && k < n - 1) {
        d -= proba(k + 1);
        ++k;
      }
      hh[sim.Place_Out[first + k].Other] += 1;
      return 1;
    }
    case 'D': {
      const int period = std::min<int>(routing.Period, static_cast<int>(routing.Cycle.size()));
      if (period <= 0) return 0;
      if (sim.Phase[Place_Id] >= period) sim.Phase[Place_Id] = 0;
      const auto& entry = routing.Cycle[sim.Phase[Place_Id]];
      if (!entry || entry->Number < 0 || entry->Number >= sim.Nb_Trans) return 0;
      hh[entry->Number] += 1;
      sim.Phase[Place_Id] = (sim.Phase[Place_Id] + 1) % period;
      return 1;
    }
    case 'P': {
      std::int64_t m = INT64_MAX;
      int weight = 1;
      for (int k = sim.Trans_In_Start[Trans_Id]; k < sim.Trans_In_Start[Trans_Id + 1]; ++k) {
        const Simulation::Out_Arc& a = sim.Trans_In[k];
        if (a.Other == Place_Id && weight == 1) weight = a.Weight;
        if (a.Weight > 0) m = std::min(m, Place_Marking(sim, a.Other, Time) / a.Weight);
      }
      if (m <= 0 || m == INT64_MAX) return 0;
      // m is counted in firings; the place gives up m firings' worth of tokens.
      const std::int64_t tokens = m * std::max(weight, 1);
      hh[Trans_Id] += tokens;
      sim.Count[Place_Id] += tokens;
      return 1;
    }
    default:
      std::printf("%s: error: shouldn't have to compute routing for place %d", "quanter",
                  Place_Id);
      if (!pl.Name.empty())
        std::printf(" (%s)\n", pl.Name.c_str());
      else
        std::printf("\n");
      return 0;
  }
}

namespace {

bool overflowed(int over, int i) {
  if (over < 0) return false;
  std::printf("quanter: error: the firing count of transition %d exceeds %d at tick %d. "
              "No results.\n", over, INT_MAX, i);
  return true;
}

bool run_every_tick(Simulation& sim, const PetriNet& Reseau, long long L0) {
  const int H = sim.Last_Tick;
  int i = 0;
  int over = -1;  // the transition whose count overflowed, at tick i
  for (; i <= H && i < L0; ++i)
    if ((over = initial_step(sim, Reseau, i)) >= 0) break;
  for (; over < 0 && i <= H; ++i) {
    if ((over = steady_step(sim, Reseau, i)) >= 0 || i == INT_MAX) break;
  }
  return !overflowed(over, i);
}

// Whether most transitions fire at most ticks, so that following changes
// costs more than visiting every transition at every tick. In a cycle the
// firings per tick are its tokens over its delays in ticks; over the whole
// net, tokens over the sum of the firing and holding times estimates it.
bool busy_net(const PetriNet& net, int Scale) {
  double tokens = 0, ticks = 0;
  for (const PL_DES& pl : net.P) {
    tokens += pl.Init_Pop;
    ticks += static_cast<double>(ticks_of(orv::pn::Delay_Of(pl.Pl_Law.get()), Scale));
  }
  for (const TR_DES& tr : net.T)
    ticks += std::max(1.0, static_cast<double>(ticks_of(orv::pn::Delay_Of(tr.Tr_Law.get()), Scale)));
  return tokens > 0.25 * ticks;
}

void refuse_allocation() {
  std::printf("Could not allocate space. Simulation not launched.\n");
}

}  // namespace

bool simulate_every_tick(Simulation& sim, const PetriNet& Reseau, const LAYER_STRUCT& layers,
                         int Scale, int Buf_Size) {
  if (!init_simulation(sim, Reseau, layers, Scale, Buf_Size)) {
    refuse_allocation();
    return false;
  }
  sim.Every_Tick = true;
  return run_every_tick(sim, Reseau, first_steady_tick(Reseau, Scale));
}

bool simulate(Simulation& sim, const PetriNet& Reseau, const LAYER_STRUCT& layers, int Scale,
              int Buf_Size) {
  return busy_net(Reseau, Scale) ? simulate_every_tick(sim, Reseau, layers, Scale, Buf_Size)
                                 : simulate_change_driven(sim, Reseau, layers, Scale, Buf_Size);
}

bool simulate_change_driven(Simulation& sim, const PetriNet& Reseau, const LAYER_STRUCT& layers,
                            int Scale, int Buf_Size) {
  if (!init_simulation(sim, Reseau, layers, Scale, Buf_Size)) {
    refuse_allocation();
    return false;
  }
  const long long L0 = first_steady_tick(Reseau, Scale);
  try {
    sim.Every_Tick = !build_change_tables(sim, Reseau, L0);
  } catch (const std::bad_alloc&) {
    refuse_allocation();
    return false;
  }
  if (sim.Every_Tick) return run_every_tick(sim, Reseau, L0);
  sim.Change_Driven = true;
  const int H = sim.Last_Tick;
  std::size_t next_lag = 0;
  int i = 0;
  int over = -1;
  for (;; ++i)
    if ((over = change_step(sim, Reseau, i, next_lag)) >= 0 || i >= H) break;
  return !overflowed(over, i);
}

void dumpe_simulation(const Simulation& sim, const PetriNet& Reseau) {
  int max_pop = 0;
  for (const PL_DES& pl : Reseau.P) max_pop = std::max(max_pop, pl.Init_Pop);
  const int H = sim.Last_Tick;
  // The last ticks of a buffer of Buf_Size rows (the rows kept cover them).
  long long from = std::max<long long>({0LL, static_cast<long long>(H) - max_pop,
                                        static_cast<long long>(H) - sim.Buf_Size + 1});
  for (int t = 0; t < sim.Nb_Trans; ++t) {
    std::printf("Transition %d ...\n", t);
    for (long long j = from; j <= H; ++j) {
      int v = sim.Y(static_cast<int>(j % sim.Rows))[t];
      if (v > 100000)
        std::printf("oo ");
      else
        std::printf("%8.3f", static_cast<double>(v));
      std::printf("\n");
    }
  }
}

void write_stat_results(const Simulation& sim, const PetriNet& Reseau, const timeval& start,
                        const timeval& end) {
  const int H = sim.Last_Tick;
  const int S = sim.Scale;
  const int* last = sim.Y(sim.row(H));
  double total = 0;
  for (int t = 0; t < sim.Nb_Trans; ++t) {
    const int Y = last[t];
    total += Y;
    std::printf("Y_%1d[%1d] = %5d      Cycle time: ", t, H / S, Y);
    if (Y == 0)
      std::printf("    oo    ");
    else
      std::printf("%10.4f", static_cast<double>(H) / Y / S);
    const TR_DES& tr = Reseau.T[t];
    if (!tr.Name.empty())
      std::printf("  (%s)\n", tr.Name.c_str());
    else
      std::printf("\n");
  }
  const double time = elapsed_time(start, end);
  std::printf("Total execution time: %f", time);
  // A run shorter than the clock's resolution has no measurable rate.
  if (time > 0)
    std::printf("\t\t(%f evt/sec)\n", total / time);
  else
    std::printf("\t\t(- evt/sec)\n");
}

}  // namespace quanter
