// prennic's description: the transitions split into those with one input
// place and the synchronisations, and the matrices joining them.
#include "description.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

namespace prennic {

namespace {

const int NO_PLACE = INT_MAX;  // absorbing in min-plus sums

// tormial reads the names as whitespace-separated words: an unnamed
// transition gets "T<number>", and blanks inside a name become '_'.
std::string word_of(const orv::pn::TR_DES& t) {
  if (t.Name.empty()) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "T%d", t.Tr_Id + 1);
    return buf;
  }
  std::string w = t.Name;
  for (char& c : w)
    if (std::isspace(static_cast<unsigned char>(c))) c = '_';
  return w;
}

void write_matrix(const Matrix& m) {
  for (const auto& row : m) {
    for (int v : row) std::printf("%d ", v);
    std::printf("\n");
  }
  std::printf("\n");
}

}  // namespace

// Every transition needs an input place, and the input places of a
// synchronisation (a transition with several) must each join one transition
// to it alone. Every transition is checked before the verdict.
bool conform(const PetriNet& net) {
  bool ok = true;
  for (int t = 0; t < net.Nb_Trans; ++t) {
    const auto& inputs = net.T[t].Inputs;
    if (inputs.empty()) {
      std::fprintf(stderr, "The network is not in canonical form (transition %d has no input place)\n", t);
      ok = false;
    } else if (inputs.size() > 1) {
      // All input places, not only the first: one routing place among them
      // gives a description that stands for another net.
      for (const auto& arc : inputs) {
        const auto& p = net.P[arc.Dest];
        if (p.Indegree + p.Outdegree > 2) {
          std::fprintf(stderr,
                       "The network is not in canonical form (transition %d has several input routing places\n",
                       t);
          ok = false;
          break;
        }
      }
      // The description gives a synchronisation's input places only as
      // arcs from the transitions feeding them: a place that none feeds
      // would vanish from it, and with it the bound its tokens set.
      for (const auto& arc : inputs)
        if (net.P[arc.Dest].Inputs.empty()) {
          std::fprintf(stderr,
                       "The network is not in canonical form (transition %d has an input place that no "
                       "transition feeds)\n",
                       t);
          ok = false;
          break;
        }
    }
  }
  return ok;
}

// Weights and inhibitor arcs have no place in the description: a net with
// them would be judged as another net.
bool ordinary(const PetriNet& net) {
  for (const auto& t : net.T)
    for (const auto& a : t.Outputs)
      if (a.Weight != 1 || a.Is_Inhibitor) return false;
  for (const auto& p : net.P)
    for (const auto& a : p.Outputs)
      if (a.Weight != 1 || a.Is_Inhibitor) return false;
  return true;
}


void partition(const PetriNet& net, Description& d) {
  d.cls.assign(net.Nb_Trans, 0);
  d.number.assign(net.Nb_Trans, 0);
  for (int t = 0; t < net.Nb_Trans; ++t) {
    bool one = net.T[t].Inputs.size() == 1;
    std::vector<int>& v = one ? d.T1 : d.T2;
    d.cls[t] = one ? 1 : 2;
    d.number[t] = static_cast<int>(v.size());
    v.push_back(t);
  }
}

void allocate(Description& d) {
  size_t n1 = d.T1.size(), n2 = d.T2.size();
  d.A.assign(n2, std::vector<int>(n2, NO_PLACE));
  d.B.assign(n2, std::vector<int>(n1, NO_PLACE));
  d.P.assign(n1, std::vector<int>(n1, 0));
  d.Q.assign(n1, std::vector<int>(n2, 0));
  d.M.assign(n1, 0);
  d.Bullet.assign(n1, 0);
}

void generate_mat(const PetriNet& net, Description& d) {
  for (int t = 0; t < net.Nb_Trans; ++t) {
    int rt = d.number[t];
    for (const auto& in : net.T[t].Inputs) {
      const auto& p = net.P[in.Dest];
      int m = p.Init_Pop;
      for (const auto& feed : p.Inputs) {
        int u = feed.Dest, cu = d.number[u];
        if (d.cls[t] == 2) {
          int& e = d.cls[u] == 2 ? d.A[rt][cu] : d.B[rt][cu];
          if (m < e) e = m;
        } else {
          int& e = d.cls[u] == 1 ? d.P[rt][cu] : d.Q[rt][cu];
          ++e;
        }
      }
    }
  }
  for (size_t k = 0; k < d.T1.size(); ++k) {
    const auto& place = net.P[net.T[d.T1[k]].Inputs.front().Dest];
    d.M[k] = place.Init_Pop;
    d.Bullet[k] = place.Pl_Id;
  }
}

void write(const PetriNet& net, const Description& d) {
  std::printf("%d \n", static_cast<int>(d.T2.size()));
  std::printf(" \n");
  std::printf("%d \n", static_cast<int>(d.T1.size()));
  std::printf(" \n");
  write_matrix(d.A);
  write_matrix(d.B);
  write_matrix(d.P);
  write_matrix(d.Q);
  for (int v : d.M) std::printf("%d ", v);
  std::printf("\n");
  for (int v : d.Bullet) std::printf("%d ", v);
  std::printf("\n");
  for (const std::vector<int>* cls : {&d.T2, &d.T1})
    for (int t : *cls) std::printf("%s\n ", word_of(net.T[t]).c_str());
  std::printf("\n");
  std::printf("\n");
  for (const std::vector<int>* cls : {&d.T2, &d.T1})
    for (int t : *cls) std::printf("%d ", net.T[t].Tr_Id);
  std::printf("\n");
}

}  // namespace prennic
