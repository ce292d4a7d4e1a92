// Throughput bounds of a Markovian Petri net (exponential transitions,
// immediate places): a linear program over stationary quantities, written
// for lp_solve and optionally solved, with reports of the tight constraints.
#pragma once

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "common/petri_net.h"

namespace orv::brodel {

inline constexpr int No_Bound = INT_MAX;
inline constexpr double Tight = 0.0001;  // sides closer than this are equal

// Summands that also appear in a tightness report keep their value.
struct Term {
  int Var = 0;  // place number of an x
  double Coef = 0.0;
};

// An enabling constraint on q<t>: "q<t> <sense> " then Rhs_Text, whose value
// is Constant + the sum of the x terms.
struct Enabling {
  int T = 0;
  const char* Sense = ">=";
  std::string Comment;  // verbose comment written before it, if any
  std::string Rhs_Text;
  double Constant = 0.0;
  std::vector<Term> X_Terms;
};

struct Brodel {
  const char* Prog = "brodel";
  bool Minimum = false;
  bool Verbose = false;
  bool Global_Bound = false;
  bool Other_Bounds = false;
  bool Other_Mu = false;
  int Bound = 0;
  std::string Mu_File, B_File;

  std::vector<double> Mu;   // per transition
  std::vector<int> Up_B;    // per place, only with bounds; No_Bound when none
  FILE* Lin_Prog = stdout;

  // Values read back from the solver (0 when not listed).
  std::vector<double> X, Q, Th;
  std::vector<std::vector<double>> Y;

  bool Has_Bounds() const { return !Up_B.empty(); }
};

// 1 when the net fits the method, 0 when not, -1 when a rate or bound file
// could not be opened (message printed).
int check_network(Brodel& b, const pn::PetriNet& net);
// Warns, on standard error, of each conflict place whose routing the program
// reads as a race.
void warn_routing(const Brodel& b, const pn::PetriNet& net);

void gen_lin_code(Brodel& b, const pn::PetriNet& net, const std::string& objective, bool variances);

// The enabling constraints, in the order they are written (bounds only).
std::vector<Enabling> enabling_constraints(const Brodel& b, const pn::PetriNet& net);

bool Is_An_Event_Graph(const pn::PetriNet& net);
std::vector<std::vector<int>> Make_Mig_Matrix(const pn::PetriNet& net);
// One row of place signs per independent cycle of the event graph (read as
// an undirected graph on its transitions); a forest when it is not connected.
std::vector<std::vector<int>> Cycle_Base(const pn::PetriNet& net, const std::vector<std::vector<int>>& mig);

struct Inter {
  int T = 0;
  double W = 0.0;  // a product of two weights need not fit an int
};
// Transitions met through non-inhibitor arcs in both lists, one entry per
// pair of arcs, weight w1 * w2.
std::vector<Inter> L_List_Inter(const pn::ARC_LIST& l1, const pn::ARC_LIST& l2);

// Solves and reports. The status: 0 with an answer, 1 without.
int gen_solve_analyze(Brodel& b, const pn::PetriNet& net, const std::string& objective,
                      bool variances, bool check);

}  // namespace orv::brodel
