// quanter's run: the checks that a net can be simulated on an integer clock,
// the time scale, and the choice between the two simulators.
#include "run.h"

#include <sys/time.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "petri/analysis.h"
#include "petri/flatten.h"
#include "petri/pnl_reader.h"
#include "simulation.h"

namespace quanter {

namespace {

void refuse() {
  std::printf("%s: the network doesn't satisfy the assumptions. ", kProg);
  std::printf("No simulation.\n");
}

// The least q > 0 that makes q * x whole within the tolerance of the
// time-scale check, 0 past INT_MAX. Such a q is a best approximation of x, so
// it is among the denominators of x's continued fraction.
long long least_whole_multiplier(double x) {
  x = std::fabs(x);
  long long q0 = 0, q1 = 1;  // denominators of the last two convergents
  double rest = x;
  for (int step = 0; step < 64; ++step) {
    if (q1 > INT_MAX) return 0;
    if (orv::pn::Is_Integer(x * static_cast<double>(q1))) return q1;
    const double a = std::floor(rest);
    const double frac = rest - a;
    if (frac <= 0) return 0;
    rest = 1 / frac;
    const double next = std::floor(rest) * static_cast<double>(q1) + static_cast<double>(q0);
    if (next > INT_MAX) return 0;
    q0 = q1;
    q1 = static_cast<long long>(next);
  }
  return 0;
}

// The least -scale at which every delay and lag of the net is a whole number
// of ticks that fits an int, 0 when there is none.
int whole_scale(const orv::pn::PetriNet& net) {
  std::vector<double> values;
  for (int i = 0; i < net.Nb_Trans; ++i) {
    const orv::pn::TR_DES& t = net.T[i];
    const orv::LAW_DESC* law = t.Tr_Law.get();
    if (t.Tag || !law) continue;
    if (law->Name == 'C') {
      values.push_back(orv::pn::Delay_Of(law));
    } else if (law->Name == 'D') {
      const auto& par = law->Parameters;
      const double n = par.empty() ? 0 : std::rint(par[0]);
      for (int k = 1; k <= n && k < static_cast<int>(par.size()); ++k) values.push_back(par[k]);
    }
  }
  for (int j = 0; j < net.Nb_Places; ++j) {
    const orv::pn::PL_DES& p = net.P[j];
    if (p.Tag) continue;
    values.push_back(orv::pn::Delay_Of(p.Pl_Law.get()));
    for (double lag : p.Lag_Times) values.push_back(lag);
  }
  // Each value that is not whole at the scale so far multiplies it by the
  // least factor that makes it so; for exact fractions that is the least
  // common multiple of their denominators. The tolerance is on the product,
  // so a factor can undo an earlier value: pass again until none moves.
  long long scale = 1;
  for (int pass = 0; pass < 8; ++pass) {
    bool moved = false;
    for (double x : values) {
      const double v = x * static_cast<double>(scale);
      if (!(std::fabs(v) < INT_MAX)) return 0;
      if (orv::pn::Is_Integer(v)) continue;
      const long long m = least_whole_multiplier(v);
      if (m == 0 || scale * m > INT_MAX) return 0;
      scale *= m;
      moved = true;
    }
    if (!moved) return static_cast<int>(scale);
  }
  return 0;
}

// Inhibitor arcs have no meaning in the counter recursion.
// The arcs are scanned whatever the net's flag says, so that the place can be
// named.
bool has_no_inhibitor(const orv::pn::PetriNet& net) {
  for (int p = 0; p < net.Nb_Places; ++p)
    for (const orv::pn::LINK_LIST& arc : net.P[p].Outputs)
      if (arc.Is_Inhibitor) {
        std::printf("Place %d (%s) has an inhibitor arc.\n", p, net.P[p].Name.c_str());
        return false;
      }
  return true;
}

}  // namespace

int Run(const Options& o) {
  const bool debug = orv::pn::Debug != 0;

  // The listing needs no net: it comes before the net is read (which may
  // wait on standard input).
  if (o.compile && o.checking) return List_Resources(debug) ? 0 : -2;

  // The fixed line is kept for scripts that look for it; the next one says
  // whether the file could not be opened or held no net the reader accepts.
  FILE* in = orv::pn::Open_PNL_File(o.file);
  if (!in) {
    const int err = errno;
    std::fprintf(stderr, "%s: Error opening file %s.\n", kProg, o.file.c_str());
    std::fprintf(stderr, "%s: cannot open %s: %s\n", kProg, o.file.c_str(), std::strerror(err));
    return -2;
  }
  orv::pn::NetPtr net = orv::pn::Read_Network_Stream(in, o.file);
  if (in != stdin) std::fclose(in);
  if (!net) {
    std::fprintf(stderr, "%s: Error opening file %s.\n", kProg, o.file.c_str());
    std::fprintf(stderr, "%s: %s holds no net the PNL reader accepts (see its message)\n", kProg,
                 o.file.empty() ? "standard input" : o.file.c_str());
    return -2;
  }
  // Both modes work on one flat net: the PNL handed to the code generator
  // carries no bindings.
  if (net->Nb_Submodels > 0) orv::pn::Flatten_PN(*net, 1);

  int scale = 0;
  bool time_scale_checked = false;
  if (orv::pn::Has_All_Deterministic_Objects(*net, 0, nullptr) &&
      orv::pn::Has_Simulable_Places(*net, 0, nullptr) &&
      orv::pn::Has_Real_Sources(*net, 0, nullptr) && has_no_inhibitor(*net)) {
    time_scale_checked = true;
    scale = orv::pn::Find_Time_Scale(*net, 1, o.run.Scale, 0, nullptr);
  }
  if (scale == 0) {
    refuse();
    if (time_scale_checked) {
      if (const int whole = whole_scale(*net))
        std::fprintf(stderr, "%s: -scale %d makes every delay a whole number of ticks.\n", kProg,
                     whole);
      else
        std::fprintf(stderr, "%s: no -scale makes every delay a whole number of ticks.\n", kProg);
    }
    return -1;
  }

  orv::pn::LAYER_STRUCT layers;
  if (!orv::pn::topological_analysis(*net, &layers)) {
    std::printf("%s: zero time cycle encountered. No simulation.\n", kProg);
    return -1;
  }
  if (debug) orv::pn::Dump_Layer_Struct(layers);

  if (!net->Sim_Params) net->Sim_Params = std::make_unique<orv::pn::Sim_Control>();
  net->Sim_Params->Nb_Firings = o.run.Tmax;
  if (static_cast<long long>(scale) * o.run.Tmax > INT_MAX) {
    std::printf("%s: error: -tmax %d is too long at time scale %d. No simulation.\n", kProg,
                o.run.Tmax, scale);
    return -1;
  }

  // The buffer holds every counter the recursion looks back to.
  const double D = Max(orv::pn::Max_Delay(*net), orv::pn::Max_Lag(*net));
  const double m = D > 0 ? std::rint(D * scale) : 0;
  const double buffer = std::max<double>(o.run.Buf_Size, m + 1);

  if (o.compile) {
    switch (Compile_PN(*net, o.file, o.checking, o.tmp_dir, o.keep, o.run, debug)) {
      case COMPILE_DONE:
        return 0;
      default:
        return -2;
    }
  }

  Simulation sim;
  timeval start{}, end{};
  gettimeofday(&start, nullptr);
  bool ran = buffer < INT_MAX &&
             simulate(sim, *net, layers, scale, static_cast<int>(buffer));
  gettimeofday(&end, nullptr);
  if (!ran) {
    if (buffer >= INT_MAX) std::printf("Could not allocate space. Simulation not launched.\n");
    return -2;
  }
  if (debug) dumpe_simulation(sim, *net);
  write_stat_results(sim, *net, start, end);
  return 0;
}

}  // namespace quanter
