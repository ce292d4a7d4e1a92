// Times quanter's in-process simulation against a plain loop over the same
// net: a token count per place, arrivals kept per tick in a ring, and each
// tick every transition fires as often as its input places allow (tokens
// moved, counters per transition); and against quanter's own walk over every
// transition at every tick. All start from the read and layered net (reading
// is not timed), and the final firing counts must agree.
//
// quanter_bench [-tmax N] [-scale S] [-bs B] [-reps K] FILE.pnl...
// prints per file the median times, transition-ticks per second and the ratio
// to the plain loop.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "petri/analysis.h"
#include "petri/flatten.h"
#include "petri/pnl_reader.h"
#include "simulation.h"

namespace {

using orv::pn::PetriNet;

long long ticks(double v, int scale) { return std::llround(v * scale); }

// The plain loop; returns the firing counts after tick last.
std::vector<std::int64_t> reference(const PetriNet& net, const orv::pn::LAYER_STRUCT& layers,
                                    int scale, int last) {
  const int NT = net.Nb_Trans, NP = net.Nb_Places;
  std::vector<int> fire(NT), hold(NP);
  for (int t = 0; t < NT; ++t)
    fire[t] = static_cast<int>(ticks(orv::pn::Delay_Of(net.T[t].Tr_Law.get()), scale));
  for (int p = 0; p < NP; ++p)
    hold[p] = static_cast<int>(ticks(orv::pn::Delay_Of(net.P[p].Pl_Law.get()), scale));
  struct Arc {
    int place, weight, delay;
  };
  std::vector<int> in_start(NT + 1), out_start(NT + 1);
  std::vector<Arc> in, out;
  int ring = 1;
  for (int t = 0; t < NT; ++t) {
    in_start[t] = static_cast<int>(in.size());
    for (const auto& a : net.T[t].Inputs) in.push_back({a.Dest, a.Weight, 0});
    out_start[t] = static_cast<int>(out.size());
    for (const auto& a : net.T[t].Outputs) {
      int d = fire[t] + hold[a.Dest];
      ring = std::max(ring, d + 1);
      out.push_back({a.Dest, a.Weight, d});
    }
  }
  in_start[NT] = static_cast<int>(in.size());
  out_start[NT] = static_cast<int>(out.size());
  std::vector<std::int64_t> tokens(NP, 0);
  for (const auto& p : net.P)
    for (double lag : p.Lag_Times) ring = std::max<long long>(ring, ticks(lag, scale) + 1);
  // pending[slot * NP + p]: tokens reaching p at the tick of that slot.
  std::vector<std::int64_t> pending(static_cast<std::size_t>(ring) * NP, 0);
  for (int p = 0; p < NP; ++p)
    for (int k = 0; k < net.P[p].Init_Pop; ++k) {
      long long at = k < static_cast<int>(net.P[p].Lag_Times.size())
                         ? std::max(0LL, ticks(net.P[p].Lag_Times[k], scale))
                         : 0;
      pending[static_cast<std::size_t>(at) * NP + p] += 1;
    }
  std::vector<int> order;
  for (const auto& level : layers.Level)
    if (level) order.insert(order.end(), level->Node_Id.begin(), level->Node_Id.end());
  std::vector<std::int64_t> count(NT, 0);
  for (int i = 0; i <= last; ++i) {
    std::int64_t* arrive = pending.data() + static_cast<std::size_t>(i % ring) * NP;
    for (int p = 0; p < NP; ++p) {
      tokens[p] += arrive[p];
      arrive[p] = 0;
    }
    for (int t : order) {
      std::int64_t f = INT64_MAX;
      for (int k = in_start[t]; k < in_start[t + 1]; ++k)
        f = std::min(f, tokens[in[k].place] / in[k].weight);
      if (f == INT64_MAX || f == 0) continue;
      for (int k = in_start[t]; k < in_start[t + 1]; ++k) tokens[in[k].place] -= f * in[k].weight;
      count[t] += f;
      for (int k = out_start[t]; k < out_start[t + 1]; ++k) {
        const Arc& a = out[k];
        if (a.delay == 0)
          tokens[a.place] += f * a.weight;
        else
          pending[static_cast<std::size_t>((i + a.delay) % ring) * NP + a.place] += f * a.weight;
      }
    }
  }
  return count;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int tmax = 1000, scale_asked = 10, reps = 5, bs = 1024;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "-tmax" && i + 1 < argc) tmax = std::atoi(argv[++i]);
    else if (a == "-scale" && i + 1 < argc) scale_asked = std::atoi(argv[++i]);
    else if (a == "-bs" && i + 1 < argc) bs = std::atoi(argv[++i]);
    else if (a == "-reps" && i + 1 < argc) reps = std::max(1, std::atoi(argv[++i]));
    else files.push_back(a);
  }
  using clock = std::chrono::steady_clock;
  int status = 0;
  for (const auto& file : files) {
    orv::pn::NetPtr net = orv::pn::Read_Network(file);
    if (!net) {
      std::fprintf(stderr, "quanter_bench: cannot read %s\n", file.c_str());
      return 1;
    }
    if (net->Nb_Submodels > 0) orv::pn::Flatten_PN(*net, 1);
    const int scale = orv::pn::Find_Time_Scale(*net, 1, scale_asked, 0, nullptr);
    orv::pn::LAYER_STRUCT layers;
    if (scale <= 0 || !orv::pn::topological_analysis(*net, &layers)) {
      std::fprintf(stderr, "quanter_bench: %s cannot be simulated\n", file.c_str());
      return 1;
    }
    if (!net->Sim_Params) net->Sim_Params = std::make_unique<orv::pn::Sim_Control>();
    net->Sim_Params->Nb_Firings = tmax;
    // As the driver sizes it.
    const double D = std::max(orv::pn::Max_Delay(*net), orv::pn::Max_Lag(*net));
    const double m = D > 0 ? std::rint(D * scale) : 0;
    const int buffer = static_cast<int>(std::max<double>(bs, m + 1));
    const int last = scale * tmax;

    std::vector<double> sim_s, ref_s, walk_s;
    bool agree = true;
    int rows = 0;
    for (int r = 0; r < reps; ++r) {
      auto t0 = clock::now();
      quanter::Simulation sim;
      bool ran = quanter::simulate(sim, *net, layers, scale, buffer);
      auto t1 = clock::now();
      std::vector<std::int64_t> ref = reference(*net, layers, scale, last);
      auto t2 = clock::now();
      quanter::Simulation walk;
      ran = quanter::simulate_every_tick(walk, *net, layers, scale, buffer) && ran;
      auto t3 = clock::now();
      if (!ran) {
        std::fprintf(stderr, "quanter_bench: simulation of %s failed\n", file.c_str());
        return 1;
      }
      rows = sim.Rows;
      const int* y = sim.Y(sim.row(last));
      const int* w = walk.Y(walk.row(last));
      for (int t = 0; t < net->Nb_Trans; ++t) agree = agree && y[t] == ref[t] && w[t] == ref[t];
      sim_s.push_back(std::chrono::duration<double>(t1 - t0).count());
      ref_s.push_back(std::chrono::duration<double>(t2 - t1).count());
      walk_s.push_back(std::chrono::duration<double>(t3 - t2).count());
    }
    const double work = static_cast<double>(net->Nb_Trans) * (last + 1);
    const double s = median(sim_s), r = median(ref_s);
    std::printf("%s: %d transitions, %d ticks, buffer %d (rows kept %d): quanter %.3f s "
                "(%.2e transition-ticks/s), plain loop %.3f s, ratio %.2f, "
                "every-tick walk %.3f s%s\n",
                file.c_str(), net->Nb_Trans, last + 1, buffer, rows, s, work / s, r, s / r,
                median(walk_s), agree ? "" : "  COUNTS DIFFER");
    if (!agree) status = 1;
  }
  return status;
}
