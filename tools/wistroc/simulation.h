// wistroc: one trajectory of a Markov chain, with the share of time spent in
// each state and the average reward.
#pragma once

#include "markov/markov.h"

namespace orv::wistroc {

inline const char* const kProg = "wistroc";

// Simulates the chain up to T_Max and prints the trajectory (Traj), the
// statistics (Stats) or the increments; returns the exit status.
int Sim_Chain(const orv::mc::MARKOV_CHAIN& C, double T_Max, bool Stats, bool Traj,
              bool Increments);

}  // namespace orv::wistroc
