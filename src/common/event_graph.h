// The timed event graph: transitions with firing-time laws, and places that
// each join one upstream to one downstream transition, with a holding-time
// law and initial tokens. Transition identifiers stay 1-based as written
// (transition k sits at T[k-1]); places are numbered from 0.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "common/compact.h"
#include "common/law.h"

namespace orv {

// One evaluation layer: transitions whose token-free inputs all come from
// earlier layers.
struct LAYER_DESC {
  int Nb_Nodes = 0;
  std::vector<int> Node_Id;  // 0-based transition indices, in order
};

// The records of a graph come from the size pools of common/compact.h (see
// event_graph.cpp): a graph holds millions of them and they die together.
// Texts and lists are held by one pointer each (see common/compact.h).
// Members are ordered so that no padding lies between them.
struct PLACE_DESC {
  int Place_Id = -1;  // index in EventGraph::P
  int Trans_Id = -1;  // downstream (consuming) transition, 1-based
  int Input_Id = -1;  // upstream (feeding) transition, 1-based
  int Init_Pop = 0;
  LawPtr Place_Law;
  Compact_Vector<double> Lag_Times;  // Init_Pop entries, file order
  Text Name;  // empty when none
  Text Data1;
  Text Data2;

  static void* operator new(std::size_t size);
  static void operator delete(void* p, std::size_t size) noexcept;
};

// Lists of places in list order: the readers build them by prepending, so
// front() is the last place written. The graph owns the places; these only
// point at them.
using PLACE_LIST = Compact_Vector<PLACE_DESC*>;

struct TRANS_DESC {
  int Trans_Id = -1;  // 1-based
  int Outdegree = 0;
  int Indegree = 0;
  LawPtr Trans_Law;
  PLACE_LIST Outputs;  // places this transition feeds
  PLACE_LIST Inputs;   // places it consumes from; set by the topology
  Text Name;           // empty when none
  Text Data;

  static void* operator new(std::size_t size);
  static void operator delete(void* p, std::size_t size) noexcept;
};

using TRANS_LIST = std::vector<TRANS_DESC*>;

struct EventGraph {
  int Size = 0;       // number of transitions
  int Nb_Places = 0;
  std::vector<std::unique_ptr<TRANS_DESC>> T;  // Size slots
  std::vector<std::unique_ptr<PLACE_DESC>> P;  // Nb_Places slots
  int Nb_Layers = 0;
  std::vector<LAYER_DESC> Level;  // Nb_Layers layers once analysed
  int Max_Pop_Init = 0;
};

using EventGraphPtr = std::unique_ptr<EventGraph>;

}  // namespace orv
