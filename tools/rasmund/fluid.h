// rasmund: the on-off source, the levels of the report and the simulation.
#pragma once

#include <string>
#include <vector>

#include "common/law.h"
#include "common/output_guard.h"

namespace orv::rasmund {

inline const char* const kProg = "rasmund";

struct SOURCE {
  orv::LawPtr On_Law, Off_Law;
  double Peak_Rate = 1.0;
};

struct RANGE_INFO {
  double Start = 0.0, Stop = 10.0, Step = 0.5;
  bool Queue = false, Log = false, Log10 = false;
};

extern bool Debug;
extern bool NewLine;  // "-nonewline" clears it

// Reads a law in command-line notation from argv[i]; returns the index after
// it, or -1 after a message.
int Parse_Law_From_Args(char** argv, int i, int argc, orv::LawPtr& law);
orv::LawPtr make_law(char name, std::vector<double> p);

// Checks the model and the levels, simulates nbcycles on and off periods and
// prints the report on stdout (redirected to out_name when one is given).
// Returns the exit status.
int Run(const SOURCE& src, RANGE_INFO R, double capacity, int nbcycles, bool traj, bool conf,
        const std::string& out_name, orv::Output_Guard& out);

}  // namespace orv::rasmund
