// Marking bounds of a Petri net from its state equation, one linear program
// per place (or one for the whole population), solved by lp_solve.
#pragma once

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "common/output_guard.h"
#include "common/petri_net.h"

namespace orv::sabrel {

inline constexpr int Unbounded = INT_MAX;  // no finite bound known

struct Run {
  const char* Prog = "sabrel";
  bool Total = false;
  bool Minimum = false;
  std::vector<int> The_Bound;  // per place, Unbounded until a solve gives one
  bool Failed = false;         // some solve gave no answer
  int Solvers = 0;             // solvers at once for all places (0: one per core)
};

// Arcs the state equation below cannot express: a weight other than 1 in
// either direction, or an inhibitor arc.
bool Has_Weights_Or_Inhibitors(const pn::PetriNet& net);

void gen_lin_code(FILE* out, const pn::PetriNet& net, int place, bool total, bool minimum);

// Solves for every place, for one (place >= 0), or for the total. False
// when the single place does not exist (message printed). The place is wide
// enough for any "-place" value minus 1.
bool gen_solve_analyze(Run& run, const pn::PetriNet& net, bool single_place, long long place);

// False (message printed) when the file cannot be opened. The file is the
// guard's: it takes its name when the run ends well.
bool write_B_file(Output_Guard& out, const Run& run, const pn::PetriNet& net,
                  const std::string& file,
                  bool single_place, long long place);

}  // namespace orv::sabrel
