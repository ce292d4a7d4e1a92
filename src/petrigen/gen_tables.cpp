#include "petrigen/gen_tables.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "petri/analysis.h"
#include "petri/pnl_reader.h"

namespace orv::gen {

namespace {

// rint(scale * x) as an int; out-of-range values saturate (the checks before
// generation keep delays integral and small).
int ticks_of(double x, int scale) {
  double v = std::rint(x * scale);
  if (!(v < INT_MAX)) return INT_MAX;
  if (!(v > INT_MIN)) return INT_MIN;
  return static_cast<int>(v);
}

bool valid_trans(const pn::PetriNet& net, int t) { return t >= 0 && t < net.Nb_Trans; }
bool valid_place(const pn::PetriNet& net, int p) { return p >= 0 && p < net.Nb_Places; }

int comb(int a, int b) {
  if (a == 0 || b == 0) return std::max(a, b);
  return pn::gcd(a, b);
}

}  // namespace

void Tag_Objects(pn::PetriNet& net, int Valtor_Class) {
  auto tagged = [&](const std::string& name) {
    return !Valtor_Class && name.compare(0, 7, "VALTOR|") == 0 ? 1 : 0;
  };
  for (int p = 0; p < net.Nb_Places; ++p) {
    net.P[p].Tag = tagged(net.P[p].Name);
    if (pn::Debug && net.P[p].Tag)
      std::printf("Place #%d (%s) tagged Valtor\n", p, net.P[p].Name.c_str());
  }
  for (int t = 0; t < net.Nb_Trans; ++t) {
    net.T[t].Tag = tagged(net.T[t].Name);
    if (pn::Debug && net.T[t].Tag)
      std::printf("Trans #%d (%s) tagged Valtor\n", t, net.T[t].Name.c_str());
  }
}

int Arc_Delay(const Gen_Context& ctx, const pn::PetriNet& net, int u, int p) {
  int d = ctx.Hold_Time[p];
  if (!ctx.Is_Source[u] && net.T[u].Tag == 0) d += ctx.Fire_Time[u];
  return d;
}

void Init_Generation(Gen_Context& ctx, const pn::PetriNet& net, int Max_Delay, int Scale,
                     const Table_Options& options) {
  const int np = net.Nb_Places, nt = net.Nb_Trans;
  ctx.Hold_Time.assign(np, 0);
  ctx.Is_Compet_Pl.assign(np, 0);
  ctx.Is_Interface_Pl.assign(np, 0);
  ctx.Already_Visited.assign(np, 0);
  ctx.Fire_Time.assign(nt, 0);
  ctx.Is_Compet_Tr.assign(nt, 0);
  ctx.Is_Interface_Tr.assign(nt, 0);
  ctx.Is_Source.assign(nt, 0);

  for (int p = 0; p < np; ++p) {
    const pn::PL_DES& pl = net.P[p];
    ctx.Hold_Time[p] = ticks_of(pn::Delay_Of(pl.Pl_Law.get()), Scale);
    if (pl.Tag == 1)
      for (const pn::LINK_LIST& a : pl.Inputs)
        if (valid_trans(net, a.Dest) && net.T[a.Dest].Tag == 0) ctx.Is_Interface_Pl[p] = 1;
  }
  for (int t = 0; t < nt; ++t) {
    const pn::TR_DES& tr = net.T[t];
    for (const pn::LINK_LIST& a : tr.Inputs) {
      if (!valid_place(net, a.Dest)) continue;
      const pn::PL_DES& pl = net.P[a.Dest];
      if (pl.Routing && pl.Routing->Type == 'P' &&
          (options.Any_Priority_Competes || pl.Outdegree > 1))
        ctx.Is_Compet_Tr[t] = 1;
      if (tr.Tag == 1 && pl.Tag == 0) ctx.Is_Interface_Tr[t] = 1;
    }
    ctx.Is_Source[t] = pn::Is_Source_Transition(net, t);
    ctx.Fire_Time[t] = ctx.Is_Source[t] ? 0 : ticks_of(pn::Delay_Of(tr.Tr_Law.get()), Scale);
    if (ctx.Is_Compet_Tr[t])
      for (const pn::LINK_LIST& a : tr.Inputs)
        if (valid_place(net, a.Dest)) ctx.Is_Compet_Pl[a.Dest] = 1;
  }

  int size = std::max(Max_Delay, 1);
  if (options.Firing_Time_Slots)
    for (int t = 0; t < nt; ++t)
      if (net.T[t].Tag == 0) size = std::max(size, ctx.Fire_Time[t]);
  ctx.Delay_Table.assign(static_cast<size_t>(size) + 1, 0);
  ctx.Delay_Table[1] = 1;
  for (int p = 0; p < np; ++p)
    for (const pn::LINK_LIST& a : net.P[p].Inputs) {
      if (!valid_trans(net, a.Dest)) continue;
      int d = Arc_Delay(ctx, net, a.Dest, p);
      if (d >= 0 && d <= Max_Delay) ctx.Delay_Table[d] = 1;
    }
  if (options.Firing_Time_Slots)
    for (int t = 0; t < nt; ++t)
      if (net.T[t].Tag == 0 && ctx.Fire_Time[t] >= 1) ctx.Delay_Table[ctx.Fire_Time[t]] = 1;

  ctx.TSP.assign(np, 0);
  ctx.TST.assign(nt, 0);
}

void Free_Memory(Gen_Context& ctx) {
  for (std::vector<int>* v :
       {&ctx.Hold_Time, &ctx.Fire_Time, &ctx.Delay_Table, &ctx.Is_Compet_Pl, &ctx.Is_Compet_Tr,
        &ctx.Is_Interface_Pl, &ctx.Is_Interface_Tr, &ctx.Is_Source, &ctx.Already_Visited, &ctx.TSP,
        &ctx.TST}) {
    v->clear();
    v->shrink_to_fit();
  }
}

int Max_Read_Back(const Gen_Context& ctx) {
  return ctx.Delay_Table.empty() ? 0 : static_cast<int>(ctx.Delay_Table.size()) - 1;
}

int Nb_EQ_Trans_Succ(const pn::PetriNet& net, int p) {
  int n = 0;
  for (const pn::LINK_LIST& a : net.P[p].Outputs)
    if (valid_trans(net, a.Dest) && net.T[a.Dest].Tag == 0) ++n;
  return n;
}

int Has_EQ_Trans_Succ(const pn::PetriNet& net, int p) { return Nb_EQ_Trans_Succ(net, p) > 0; }

int Has_EQ_Place_Succ(const pn::PetriNet& net, int t) {
  for (const pn::LINK_LIST& a : net.T[t].Outputs)
    if (valid_place(net, a.Dest) && net.P[a.Dest].Tag == 0) return 1;
  return 0;
}

int Has_Valtor_Trans_Succ(const pn::PetriNet& net, int p) {
  for (const pn::LINK_LIST& a : net.P[p].Outputs)
    if (valid_trans(net, a.Dest) && net.T[a.Dest].Tag == 1) return 1;
  return 0;
}

int Is_Input_Number(const pn::PetriNet& net, char kind, int number) {
  int found = -1;
  for (size_t i = 0; i < net.Inputs.size(); ++i) {
    const pn::ADDRESS* a = net.Inputs[i].get();
    if (a && a->Type == kind && a->Number == number) found = static_cast<int>(i);
  }
  return found;
}

int Original_Trans_Time_Scale(const Gen_Context& ctx, const pn::PetriNet& net, int t, int Scale,
                              int Valtor_Class) {
  if (!ctx.Is_Source[t]) return ctx.Fire_Time[t];
  if (Valtor_Class) return 1;
  const LAW_DESC* law = net.T[t].Tr_Law.get();
  if (!law) return 0;
  const auto& par = law->Parameters;
  switch (law->Name) {
    case 'C':
      return ticks_of(par.empty() ? 0.0 : par[0], Scale);
    case 'B':
    case 'G':
      return Scale;
    case 'D': {
      int g = Scale;
      int n = par.empty() ? 0 : ticks_of(par[0], 1);
      for (int j = 1; j <= n && j < static_cast<int>(par.size()); ++j)
        g = pn::gcd(g, ticks_of(par[j], Scale));
      return g;
    }
    default:
      return 0;
  }
}

void Spread_Time_Scales(Gen_Context& ctx, const pn::PetriNet& net) {
  const int np = net.Nb_Places, nt = net.Nb_Trans;
  // Each pass is a function of the values alone, so a pass that changes
  // nothing ends the iteration with the same result as running every pass.
  for (int pass = 0; pass < nt + np; ++pass) {
    bool changed = false;
    for (int p = 0; p < np; ++p) {
      int v = 0;
      for (const pn::LINK_LIST& a : net.P[p].Inputs)
        if (valid_trans(net, a.Dest)) v = comb(v, ctx.TST[a.Dest]);
      int n = comb(ctx.TSP[p], v);
      if (n != ctx.TSP[p]) changed = true;
      ctx.TSP[p] = n;
    }
    for (int t = 0; t < nt; ++t) {
      int v = 0;
      for (const pn::LINK_LIST& a : net.T[t].Inputs)
        if (valid_place(net, a.Dest)) v = comb(v, ctx.TSP[a.Dest]);
      int n = comb(ctx.TST[t], v);
      if (n != ctx.TST[t]) changed = true;
      ctx.TST[t] = n;
    }
    if (!changed) break;
  }

  std::vector<int> scales;
  for (int t = 0; t < nt; ++t) {
    if (ctx.Is_Source[t]) continue;
    auto it = std::lower_bound(scales.begin(), scales.end(), ctx.TST[t]);
    if (it == scales.end() || *it != ctx.TST[t]) scales.insert(it, ctx.TST[t]);
  }
  ctx.The_Scales.assign(1, static_cast<int>(scales.size()));
  ctx.The_Scales.insert(ctx.The_Scales.end(), scales.begin(), scales.end());
}

void TimeScale(Gen_Context& ctx, const pn::PetriNet& net, int Scale, int Valtor_Class) {
  const int np = net.Nb_Places, nt = net.Nb_Trans;
  ctx.TSP.assign(np, 0);
  ctx.TST.assign(nt, 0);
  for (int p = 0; p < np; ++p)
    ctx.TSP[p] = net.P[p].Tag == 0 ? ticks_of(pn::Delay_Of(net.P[p].Pl_Law.get()), Scale) : Scale;
  for (int t = 0; t < nt; ++t)
    ctx.TST[t] =
        net.T[t].Tag == 0 ? Original_Trans_Time_Scale(ctx, net, t, Scale, Valtor_Class) : Scale;

  Spread_Time_Scales(ctx, net);
  const std::vector<int> scales(ctx.The_Scales.begin() + 1, ctx.The_Scales.end());

  if (pn::Debug) {
    std::printf("Found %d different time scales:", ctx.The_Scales[0]);
    for (int s : scales) std::printf(" %d", s);
    std::printf("\n");
    std::printf("Time Scales:\n");
    for (int p = 0; p < np; ++p) {
      std::printf("Pl %2d (%8s) = %2d    ", p, net.P[p].Name.c_str(), ctx.TSP[p]);
      if (p % 2 == 1) std::printf("\n");
    }
    std::printf("\n");
    for (int t = 0; t < nt; ++t) {
      std::printf("Tr %2d (%8s) = %2d    ", t, net.T[t].Name.c_str(), ctx.TST[t]);
      if (t % 2 == 1) std::printf("\n");
    }
    std::printf("\n");
  }
}

int is_null_time(const LAW_DESC* law) {
  return law && law->Name == 'C' && !law->Parameters.empty() && law->Parameters[0] == 0.0;
}

int is_recycling_place(const pn::PL_DES& place) {
  if (place.Indegree != 1 || place.Outdegree != 1) return 0;
  if (place.Inputs.size() != 1 || place.Outputs.size() != 1) return 0;
  const pn::LINK_LIST& in = place.Inputs.front();
  const pn::LINK_LIST& out = place.Outputs.front();
  return in.Dest == out.Dest && in.Dest >= 0 && in.Weight == 1 && out.Weight == 1 &&
         is_null_time(place.Pl_Law.get());
}

// A transition owns a recycling place only when one of its input places is
// that zero-time self-loop; a place merely feeding it in zero time is a real
// input and must keep its station.
int is_recycled(const pn::PetriNet& net, int t) {
  for (const pn::LINK_LIST& a : net.T[t].Inputs)
    if (valid_place(net, a.Dest) && is_recycling_place(net.P[a.Dest]) &&
        net.P[a.Dest].Outputs.front().Dest == t)
      return 1;
  return 0;
}

int server_degree(const pn::PetriNet& net, int t) {
  int best = -1;
  for (const pn::LINK_LIST& a : net.T[t].Inputs) {
    if (!valid_place(net, a.Dest)) continue;
    const pn::PL_DES& pl = net.P[a.Dest];
    if (!is_recycling_place(pl) || pl.Outputs.front().Dest != t) continue;
    if (best < 0 || pl.Init_Pop < best) best = pl.Init_Pop;
  }
  return best;
}

int Has_Sinks(const Gen_Context& ctx, const pn::PetriNet& net) {
  for (int t = 0; t < net.Nb_Trans; ++t)
    if (net.T[t].Tag == 1 && t < static_cast<int>(ctx.Real_Outdegree.size()) &&
        ctx.Real_Outdegree[t] == 0)
      return 1;
  for (int p = 0; p < net.Nb_Places; ++p)
    if (net.P[p].Tag == 1 && net.P[p].Outdegree == 0) return 1;
  return 0;
}

void init_place_status(Gen_Context& ctx, const pn::PetriNet& net) {
  ctx.Place_Exists.assign(net.Nb_Places, 0);
  for (int p = 0; p < net.Nb_Places; ++p) {
    const pn::PL_DES& pl = net.P[p];
    if (is_recycling_place(pl)) {
      if (pn::Debug)
        std::printf("Recycling place Pl %d (of Tr %d) removed\n", p, pl.Outputs.front().Dest);
      continue;
    }
    // Only a place between two discrete-event transitions may go: a place
    // on the border carries the tokens that cross between the two parts.
    if (ctx.Optimize && pl.Indegree == 1 && pl.Outdegree == 1 && pl.Inputs.size() == 1 &&
        pl.Outputs.size() == 1 && is_null_time(pl.Pl_Law.get()) &&
        valid_trans(net, pl.Outputs.front().Dest) && net.T[pl.Outputs.front().Dest].Tag == 1 &&
        valid_trans(net, pl.Inputs.front().Dest) && net.T[pl.Inputs.front().Dest].Tag == 1 &&
        pl.Tag == 1) {
      if (pn::Debug) std::printf("Pl %d removed\n", p);
      continue;
    }
    ctx.Place_Exists[p] = 1;
  }
  ctx.Real_Indegree.assign(net.Nb_Trans, 0);
  ctx.Real_Outdegree.assign(net.Nb_Trans, 0);
  for (int t = 0; t < net.Nb_Trans; ++t) {
    ctx.Real_Indegree[t] = net.T[t].Indegree;
    ctx.Real_Outdegree[t] = net.T[t].Outdegree;
    if (is_recycled(net, t)) {
      --ctx.Real_Indegree[t];
      --ctx.Real_Outdegree[t];
    }
  }
}

namespace {

// The real arc of a transition with one real input (or output): the arc
// that is not its recycling place, else null.
const pn::LINK_LIST* single_real_arc(const pn::PetriNet& net, const pn::ARC_LIST& arcs, int t) {
  const pn::LINK_LIST* found = nullptr;
  for (const pn::LINK_LIST& a : arcs) {
    if (valid_place(net, a.Dest) && is_recycling_place(net.P[a.Dest]) &&
        net.P[a.Dest].Outputs.front().Dest == t)
      continue;
    if (found) return nullptr;
    found = &a;
  }
  return found;
}

}  // namespace

int Needs_Fusion(const Gen_Context& ctx, const pn::PetriNet& net, int t) {
  if (ctx.Real_Indegree[t] > 1) return 1;
  if (ctx.Real_Indegree[t] != 1) return 0;
  const pn::LINK_LIST* a = single_real_arc(net, net.T[t].Inputs, t);
  return a && a->Weight > 1;
}

int Needs_Fission(const Gen_Context& ctx, const pn::PetriNet& net, int t) {
  if (ctx.Real_Outdegree[t] > 1) return 1;
  if (ctx.Real_Outdegree[t] != 1) return 0;
  const pn::LINK_LIST* a = single_real_arc(net, net.T[t].Outputs, t);
  return a && a->Weight > 1;
}

int Is_Relay_Trans(const Gen_Context& ctx, const pn::PetriNet& net, int t) {
  return is_null_time(net.T[t].Tr_Law.get()) && ctx.Real_Indegree[t] == 1 &&
         !Needs_Fusion(ctx, net, t) && ctx.Real_Outdegree[t] <= 1;
}

int Is_Routing_Place(const pn::PetriNet& net, int p) {
  return is_null_time(net.P[p].Pl_Law.get()) && !net.P[p].Outputs.empty();
}

int Is_Dummy(const pn::PL_DES& place) {
  return place.Name.compare(0, 12, "_Dummy_Place") == 0 ? 1 : 0;
}

std::string write_trans_name(const pn::TR_DES& t) {
  return t.Name.empty() ? "_TR_" + std::to_string(t.Tr_Id) : t.Name;
}

std::string c_lit(const std::string& s) {
  std::string r;
  for (char c : s) {
    if (c == '\\' || c == '"') r += '\\';
    r += c;
  }
  return r;
}

std::string c_fmt(const std::string& s) {
  std::string r;
  for (char c : c_lit(s)) {
    if (c == '%') r += '%';
    r += c;
  }
  return r;
}

std::string c_comment(const std::string& s) {
  std::string r;
  for (size_t i = 0; i < s.size(); ++i) {
    r += s[i];
    if (s[i] == '*' && i + 1 < s.size() && s[i + 1] == '/') r += ' ';
  }
  return r;
}

Discrete_Law Sort_Discrete_Law(const LAW_DESC& law) {
  Discrete_Law r;
  const auto& par = law.Parameters;
  int n = par.empty() ? 0 : static_cast<int>(std::rint(par[0]));
  n = std::max(0, std::min(n, (static_cast<int>(par.size()) - 1) / 2));
  for (int j = 1; j <= n; ++j) {
    double v = par[j], pr = par[j + n];
    if (v == 0.0) {
      r.pr_zero += pr;
      continue;
    }
    auto it = std::find_if(r.sorted.begin(), r.sorted.end(),
                           [&](const std::pair<double, double>& e) { return e.second <= pr; });
    r.sorted.insert(it, {v, pr});
  }
  return r;
}

}  // namespace orv::gen
