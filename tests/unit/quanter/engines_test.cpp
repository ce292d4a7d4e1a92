// quanter's change-driven run against the walk over every transition at every
// tick, on random nets of constant delays: routings of every kind, weights,
// lags, sources, delays that round to no tick, small and large buffers. The
// two must print the same: the counts the results and the debugging dump
// read, the messages, and the same random draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "petri/analysis.h"
#include "petri/pnl_reader.h"
#include "simulation.h"

namespace {

using orv::pn::NetPtr;

struct Outcome {
  bool ok = false;
  bool every_tick = false;
  std::string out;                // what the run printed
  std::vector<int> rows;          // the counts of the dumped ticks, tick by tick
  long next_draw = 0;             // the generator's next value after the run
};

// The net as quanter prepares it; null when quanter would refuse it.
struct Prepared {
  NetPtr net;
  orv::pn::LAYER_STRUCT layers;
  int scale = 0;
  int buffer = 0;
};

bool prepare(const std::string& text, int scale_asked, int tmax, int bs, Prepared& p) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  p.net = orv::pn::Read_Network_Buffer(text, "random.pnl");
  bool ok = p.net && orv::pn::Has_All_Deterministic_Objects(*p.net, 0, nullptr) &&
            orv::pn::Has_Simulable_Places(*p.net, 0, nullptr) &&
            orv::pn::Has_Real_Sources(*p.net, 0, nullptr);
  if (ok) p.scale = orv::pn::Find_Time_Scale(*p.net, 1, scale_asked, 0, nullptr);
  ok = ok && p.scale > 0 && orv::pn::topological_analysis(*p.net, &p.layers);
  testing::internal::GetCapturedStdout();
  testing::internal::GetCapturedStderr();
  if (!ok) return false;
  if (!p.net->Sim_Params) p.net->Sim_Params = std::make_unique<orv::pn::Sim_Control>();
  p.net->Sim_Params->Nb_Firings = tmax;
  const double D = quanter::Max(orv::pn::Max_Delay(*p.net), orv::pn::Max_Lag(*p.net));
  const double m = D > 0 ? std::rint(D * p.scale) : 0;
  p.buffer = static_cast<int>(std::max<double>(bs, m + 1));
  return true;
}

template <class Engine>
Outcome run(const Prepared& p, Engine engine) {
  Outcome r;
  quanter::Simulation sim;
  srandom(1);
  testing::internal::CaptureStdout();
  r.ok = engine(sim, *p.net, p.layers, p.scale, p.buffer);
  r.out = testing::internal::GetCapturedStdout();
  r.next_draw = random();
  r.every_tick = sim.Every_Tick;
  if (r.ok)
    for (int j = sim.Dump_From; j <= sim.Last_Tick; ++j)
      r.rows.insert(r.rows.end(), sim.Y(sim.row(j)), sim.Y(sim.row(j)) + sim.Nb_Trans);
  return r;
}

// A random PNL net. Delays of 1e-8 are no tick at any scale yet make no
// zero-time dependency, so that a zero-delay count can be read before it is
// computed. Routing deals tokens out one at a time, so a net with routings
// must not multiply its tokens: each transition then feeds one place at
// most, with weight 1. A net without routing has weights of 1 and 2, several
// outputs, and its counts soon outgrow their counters.
std::string random_net(std::mt19937& rnd, bool routed) {
  auto pick = [&](auto... v) {
    const double a[] = {static_cast<double>(v)...};
    return a[rnd() % sizeof...(v)];
  };
  auto below = [&](int n) { return static_cast<int>(rnd() % static_cast<unsigned>(n)); };
  const int nt = 1 + below(12);
  std::vector<double> fire(nt);
  std::vector<std::ostringstream> trans(nt);  // the output arcs
  std::vector<int> fed(nt, 0);                // places each transition feeds
  std::vector<std::string> places;
  for (int t = 0; t < nt; ++t) fire[t] = pick(0.0, 0.0, 0.1, 0.5, 1.0, 1.5, 3.0, 1e-8);
  // Every transition reads at least one place.
  std::vector<int> unfed(nt);
  for (int t = 0; t < nt; ++t) unfed[t] = t;
  std::shuffle(unfed.begin(), unfed.end(), rnd);
  auto add_place = [&](const std::vector<int>& cons, char kind) {
    const int p = static_cast<int>(places.size()) + 1;
    const int nprod = 1 + below(3);
    for (int k = 0; k < nprod; ++k) {
      const int t = below(nt);
      if (routed && fed[t] > 0) continue;
      ++fed[t];
      trans[t] << " , " << p << " " << (routed ? 1 : 1 + below(2));
    }
    std::ostringstream line;
    line << std::fixed << "P " << p << " C " << pick(0.0, 0.0, 0.5, 1.0, 2.5, 1e-8);
    const int tokens = below(4) == 0 ? 0 : below(5);
    line << " " << tokens;
    for (int k = 0; k < tokens; ++k) line << " " << pick(0.0, 0.0, 0.5, 1.0, 3.0, 7.5);
    if (kind == 'R') {
      line << " Random [";
      int left = 100;
      for (std::size_t k = 0; k + 1 < cons.size(); ++k) {
        const int share = below(left + 1);
        left -= share;
        line << " " << share / 100.0;
      }
      line << " " << left / 100.0 << " ]";
    } else if (kind == 'D') {
      // Each output at least once, in some order, with repeats.
      std::vector<int> cycle = cons;
      for (int k = below(3); k > 0; --k) cycle.push_back(cons[below(static_cast<int>(cons.size()))]);
      std::shuffle(cycle.begin(), cycle.end(), rnd);
      line << " Cyclic [";
      for (int t : cycle) line << " " << t + 1;
      line << " ]";
    } else if (kind == 'P') {
      // Priority is settled within the instant: immediate outputs.
      std::vector<int> order = cons;
      std::shuffle(order.begin(), order.end(), rnd);
      line << " Competition Priority [";
      for (int t : order) {
        line << " " << t + 1;
        fire[t] = 0.0;
      }
      line << " ]";
    }
    for (int t : cons) line << " , " << t + 1 << " " << 1 + below(3) / 2;
    line << " ;";
    places.push_back(line.str());
  };
  while (!unfed.empty()) {
    const char kind = routed ? "1RDP"[below(4)] : '1';
    const int n = kind == '1' ? 1 : std::min<int>(static_cast<int>(unfed.size()), 2 + below(2));
    std::vector<int> cons(unfed.begin(), unfed.begin() + n);
    unfed.erase(unfed.begin(), unfed.begin() + n);
    add_place(cons, n == 1 ? '1' : kind);
  }
  // Second inputs; with routings, also shared ones, so that a transition
  // may be dealt tokens by two routings at once.
  for (int t = 0; t < nt; ++t)
    if (below(3) == 0) add_place({t}, '1');
  for (int k = routed && nt > 1 ? below(3) : 0; k > 0; --k) {
    std::vector<int> cons(nt);
    for (int t = 0; t < nt; ++t) cons[t] = t;
    std::shuffle(cons.begin(), cons.end(), rnd);
    cons.resize(std::min(nt, 2 + below(2)));
    add_place(cons, "RDP"[below(3)]);
  }
  std::ostringstream text;
  text << "Transitions <- " << nt << "\nPlaces <- " << places.size() << "\n";
  for (int t = 0; t < nt; ++t)
    text << std::fixed << "T " << t + 1 << " C " << fire[t] << trans[t].str() << " ;\n";
  for (const std::string& p : places) text << p << "\n";
  return text.str();
}

// In the first two nets T2's firing takes 1e-8, no tick, but orders
// nothing: the transitions share the first layer. T1 reads P2 before T2 has
// fired in the tick, T3 after (in the first, T2's count is read on both sides
// of its computation); in the second, P2's only reader T1 comes before T2.
// In the third, priority hands P1's token to T1 at every tick while T1 waits
// for P2 and T2 for P3's late token, though nothing reaches T1's places; the
// tokens so handed out let T1 fire when P2 deals it three at tick 10.
const char* const Fixed_Nets[] = {
    "Transitions <- 3\nPlaces <- 2\n"
    "T 1 C 0.0 , 1 ;\nT 2 C 0.00000001 , 2 ;\nT 3 C 0.0 , 1 ;\n"
    "P 1 C 1.0 2 0.0 0.0 , 2 ;\nP 2 C 0.0 0 Random [ 0.5 0.5 ] , 1 , 3 ;\n",
    "Transitions <- 2\nPlaces <- 2\n"
    "T 1 C 0.5 , 1 ;\nT 2 C 0.00000001 , 2 ;\n"
    "P 1 C 1.0 2 0.0 1.5 , 2 ;\nP 2 C 0.0 0 , 1 ;\n",
    "Transitions <- 3\nPlaces <- 4\nT 1 C 0.0 ;\nT 2 C 0.0 ;\nT 3 C 0.0 ;\n"
    "P 1 C 0.0 1 0.0 Competition Priority [ 1 2 ] , 1 , 2 ;\n"
    "P 2 C 0.0 4 0.0 1.0 1.0 1.0 Cyclic [ 3 1 1 1 ] , 1 , 3 ;\n"
    "P 3 C 0.0 1 0.5 , 2 ;\nP 4 C 0.0 0 , 3 ;\n",
};

// Fewer random nets under the sanitizers, which run them many times slower:
// the row must stay far inside its time limit on a loaded machine. The
// Release tree runs the whole batch.
#if defined(__SANITIZE_ADDRESS__)
constexpr int Random_Nets = 600;
#else
constexpr int Random_Nets = 3000;
#endif

TEST(QuanterEngines, ChangeDrivenRunPrintsWhatTheEveryTickWalkPrints) {
  std::mt19937 rnd(18);
  int compared = 0, changed_driven = 0, fell_back = 0, overflowed = 0;
  const int fixed = static_cast<int>(std::size(Fixed_Nets));
  for (int k = 0; k < fixed + Random_Nets; ++k) {
    const std::string text = k < fixed ? Fixed_Nets[k] : random_net(rnd, k % 2 == 0);
    const int scale = k < fixed ? 10 : std::vector<int>{10, 20, 40}[rnd() % 3];
    const int tmax = k < fixed ? 30 : static_cast<int>(rnd() % 40);
    const int bs = std::vector<int>{1, 2, 7, 64, 5000}[rnd() % 5];
    Prepared p;
    if (!prepare(text, scale, tmax, bs, p)) {
      ASSERT_GE(k, fixed) << "refused:\n" << text;
      continue;
    }
    const Outcome every = run(p, quanter::simulate_every_tick);
    const Outcome driven = run(p, quanter::simulate_change_driven);
    ++compared;
    (driven.every_tick ? fell_back : changed_driven) += 1;
    overflowed += !every.ok;
    ASSERT_EQ(every.ok, driven.ok) << text;
    ASSERT_EQ(every.out, driven.out) << text;
    ASSERT_EQ(every.rows, driven.rows) << text << "-tmax " << tmax << " -bs " << bs;
    ASSERT_EQ(every.next_draw, driven.next_draw) << text;
  }
  // The comparison means something only if both paths and the failure ran.
  EXPECT_GT(changed_driven, compared / 2);
  EXPECT_GT(fell_back, 0);
  EXPECT_GT(overflowed, 0);
  std::printf("%d nets compared: %d change-driven, %d walked every tick, %d overflowed\n",
              compared, changed_driven, fell_back, overflowed);
}

}  // namespace
