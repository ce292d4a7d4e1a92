// The assumptions of brodel's method, and the rates and bounds it uses.
#include "brodel.h"
#include "petri/pnl_reader.h"

namespace orv::brodel {

namespace {

size_t idx(int i) { return static_cast<size_t>(i); }

// Reads "id value" pairs until the end of the file. An entry that does not
// convert ends the reading with a warning rather than looping on it.
template <typename V, typename Read, typename Use>
void read_pairs(const Brodel& b, const std::string& name, Read read, Use use) {
  int id = 0;
  V value{};
  int n;
  while ((n = read(id, value)) == 2) use(id, value);
  if (n != EOF)
    std::printf("%s: warning: unreadable entry in %s: rest ignored\n", b.Prog, name.c_str());
}

FILE* open_or_report(const Brodel& b, const std::string& name) {
  FILE* f = std::fopen(name.c_str(), "r");
  if (!f) std::fprintf(stderr, "%s: Error opening file %s.\n", b.Prog, name.c_str());
  return f;
}

}  // namespace

int check_network(Brodel& b, const pn::PetriNet& net) {
  // Nothing to bound (and no objective to write) without transitions.
  if (net.Nb_Trans < 1) return 0;
  // An arc of weight 0 has no place in the constraints (they divide by it).
  for (const auto& p : net.P)
    for (const auto& a : p.Outputs)
      if (a.Weight < 1) return 0;
  for (const auto& t : net.T)
    for (const auto& a : t.Outputs)
      if (a.Weight < 1) return 0;
  for (const auto& p : net.P)
    if (!p.Pl_Law || p.Pl_Law->Name != 'C' || p.Pl_Law->Parameters[0] != 0.0) return 0;
  b.Mu.assign(idx(net.Nb_Trans), 0.0);
  for (int t = 0; t < net.Nb_Trans; ++t) {
    const auto& law = net.T[idx(t)].Tr_Law;
    if (!law || law->Name != 'E' || law->Parameters[0] == 0.0) return 0;
    b.Mu[idx(t)] = 1.0 / law->Parameters[0];
  }

  if (b.Other_Mu) {
    FILE* f = open_or_report(b, b.Mu_File);
    if (!f) return -1;
    auto read = [f](int& t, double& r) { return std::fscanf(f, "%d %lf", &t, &r); };
    read_pairs<double>(b, b.Mu_File, read, [&](int t, double r) {
      if (t >= 0 && t < net.Nb_Trans) {
        b.Mu[idx(t)] = r;
        if (pn::Debug) std::printf("Mu[%d] := %f\n", t, r);
      } else {
        std::printf("%s: warning: Transition Id in mu-file", b.Prog);
        std::printf(" is not valid (%d): ignored\n", t);
      }
    });
    std::fclose(f);
  }

  if (b.Global_Bound || b.Other_Bounds) b.Up_B.assign(idx(net.Nb_Places), b.Bound);
  if (b.Other_Bounds) {
    b.Up_B.assign(idx(net.Nb_Places), No_Bound);
    FILE* f = open_or_report(b, b.B_File);
    if (!f) return -1;
    auto read = [f](int& p, int& bound) { return std::fscanf(f, "%d %d", &p, &bound); };
    read_pairs<int>(b, b.B_File, read, [&](int p, int bound) {
      if (p >= 0 && p < net.Nb_Places) {
        b.Up_B[idx(p)] = bound;
        if (pn::Debug) std::printf("Up_B[%d] := %d\n", p, bound);
      } else {
        std::printf("%s: warning: Place Id in B-file", b.Prog);
        std::printf(" is not valid (%d): ignored\n", p);
      }
    });
    std::fclose(f);
  }
  warn_routing(b, net);
  return 1;
}

void warn_routing(const Brodel& b, const pn::PetriNet& net) {
  for (int p = 0; p < net.Nb_Places; ++p) {
    const auto& pl = net.P[idx(p)];
    // Competition is the race the program models; one output shares nothing.
    if (!pl.Routing || pl.Routing->Type == 'C') continue;
    int outputs = 0;
    for (const auto& a : pl.Outputs)
      if (!a.Is_Inhibitor) ++outputs;
    if (outputs < 2) continue;
    std::fprintf(stderr, "%s: warning: routing at place %d [%s] is not modelled:", b.Prog, p, pl.Name.c_str());
    std::fputs(" the bound is that of a race (a rate file gives the race's weights)\n", stderr);
  }
}

}  // namespace orv::brodel
