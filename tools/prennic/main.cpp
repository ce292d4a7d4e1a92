// prennic: writes the matrix description of a free-choice Petri net in
// canonical form, which tormial reads to decide which transitions are live.
#include <cctype>
#include <climits>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "common/args.h"
#include "common/output_guard.h"
#include "petri/flatten.h"
#include "petri/pnl_reader.h"

namespace {

using orv::pn::PetriNet;
using Matrix = std::vector<std::vector<int>>;

const int NO_PLACE = INT_MAX;  // absorbing in min-plus sums

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

struct Description {
  std::vector<int> T1, T2;       // net numbers of each class, in order
  std::vector<int> cls, number;  // per net transition: class (1 or 2), number within it
  Matrix A, B, P, Q;
  std::vector<int> M, Bullet;
};

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

void write_matrix(const Matrix& m) {
  for (const auto& row : m) {
    for (int v : row) std::printf("%d ", v);
    std::printf("\n");
  }
  std::printf("\n");
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

}  // namespace

int main(int argc, char** argv) {
  const char* prog = "prennic";
  orv::Output_Guard out(prog);
  orv::Args args(argc, argv, argv[0], stderr);
  std::string in_file, out_file;
  bool to_file = false;
  auto usage = [&] {
    std::printf("usage: %s [-f inputfile] [-o outputfile] \nIf -o is used the ouputfile is reset so old "
                "version(if any) is lost.\nThe inputfile must be a description of a petri net in pnl.\n",
                argv[0]);
  };
  const orv::Args::Standard standard{usage, orv::ORV_VERSION, true, prog};
  while (args.next()) {
    if (args.is("-f")) {
      args.take_word(in_file, "%s: usage:filename expected after %s\n");
    } else if (args.is("-o")) {
      to_file = args.take_word(out_file, "usage: %s: filename expected after %s\n");
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);

  orv::pn::NetPtr net = orv::pn::Read_Network(in_file);
  if (!net) {
    std::fprintf(stderr, "%s: Error reading network. No translation.\n", prog);
    return out.finish(-2);
  }
  // The arcs through submodel ports are arcs of the flat net only.
  orv::pn::Flatten_PN(*net, 1);
  if (!ordinary(*net)) {
    std::fprintf(stderr, "%s: error: the network has weighted or inhibitor arcs.\n", prog);
    return out.finish(-3);
  }
  if (!conform(*net)) return out.finish(-3);

  Description d;
  partition(*net, d);
  try {
    allocate(d);
  } catch (const std::bad_alloc&) {
    std::printf("%s: Error: Not enough memory. Abort.\n", prog);
    return out.finish(-1);
  }
  generate_mat(*net, d);

  if (to_file && !out.redirect_stdout(out_file, false)) {
    std::fprintf(stderr, "cannot open file %s\n", out_file.c_str());
    return out.finish(-1);
  }
  write(*net, d);
  return out.finish(0);
}
