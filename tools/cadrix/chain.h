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

// Names the run's files: those whose resource variable is set keep that
// name, the others go into a folder of this run's own under TMP_DIR, so
// that runs side by side never share a file; with Keep that folder stays
// also when a signal ends the run. A named file that is Graph_File (the
// graph read; empty for standard input) is refused. False after a message.
bool Make_Work_Files(int Keep, const std::string& Graph_File);
// Removes what the run made, unless Keep: then, when the folder of its own
// holds files, says where. Files named by their variables are handled as
// each step says (the transient analysis stays).
void End_Work_Files(int Keep);

// The number of time units in one unit of the graph's time that makes
// every constant delay and lag a whole number (1 when they already are,
// or when a law is random), so that the integer analysis loses nothing;
// 0 after a message when no unit down to 1e-6 does, or the sums would not
// fit.
long Time_Scale(const orv::EventGraph& Reseau);
// Every delay and lag multiplied by Scale.
void Scale_Graph(orv::EventGraph& Reseau, long Scale);

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
// Back to the graph's own time unit.
void Unscale_Epochs(Epochs& e, long Scale);

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
