// morvane's two ways of simulating an interaction graph read from standard
// input. Both return the program's status.
#pragma once

#include <string>

#include "common/output_guard.h"

// In process, on the graph's Bernoulli product: the growth rate of every
// node over Sim_Length steps, averaged over the replications (with a 95%
// interval under Stats).
int Simulate_Graph(orv::Output_Guard& out, const std::string& out_name, int Sim_Length,
                   int Nb_Replicates, bool Stats);

// Through a C simulator: pelmark writes it, gcc compiles it and it runs on
// the common standard output. Keep leaves the work folder in place.
int Compile_Graph_And_Run(orv::Output_Guard& out, const std::string& out_name, int Sim_Length,
                          bool Keep);
