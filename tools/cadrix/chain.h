// cadrix's chain: the graph goes through the flattener, the matrix writer
// and the transient analysis; the chosen transition's firing epochs are read
// back and handed to the queue analysis as a data file.
#pragma once

#include <string>
#include <vector>

#include "common/event_graph.h"

namespace cadrix {

// Each step returns false after its message when the chain must stop.

// Resolves the resources; 1 when every tool is there.
int Initialize_Resources(int Checking, bool Debug);

// The graph rewritten by the flattener with one token a place, read back
// and analysed; null after a message.
orv::EventGraphPtr Flatten_Network(const orv::EventGraph& Reseau, int Keep);

bool Compute_Matrix(const orv::EventGraph& Reseau, int Input_Nb, int Keep);
bool Compute_Transients(int Keep);

// The epochs of transition Trans_Nb (from 1) read from the transient
// analysis: B[0..T] relative to the first, then D increments.
struct Epochs {
  int T = 0;
  int D = 0;
  std::vector<double> B;
  std::vector<double> Inc;
};
bool Extract_Parameters(int Size, int Trans_Nb, Epochs& e);

bool Dump_Data_File(double Lambda, const Epochs& e, int N_Max);

struct Distribution {
  double Lambda = 0;
  bool Value = false;  // "-xval"
  double x_Start = 0.0, x_Stop = 10.0, x_Val = 0.0, x_Step = 0.1;
  bool Moment = false;
  int Order = 1;
  bool Log = false, Queue = false;
};
bool Compute_Distribution(const Distribution& d, int Keep);

}  // namespace cadrix
