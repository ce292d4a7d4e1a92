// The task-graph model: tasks with random durations joined by DATA links
// (a precedence with a random transfer delay) and PROGRAM links (a
// dependency on an earlier iteration, lagged by Depth). These names are
// the task-graph library's own; the Petri-net and event-graph libraries use
// some of them for other things, so no program links two of them.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/law.h"

namespace orv::tg {

inline constexpr int DATA = 1;
inline constexpr int PROGRAM = 2;
inline constexpr int NECESSARY = 1;  // the target waits for all: max
inline constexpr int OPTIONAL = 2;   // the first one releases it: min

struct LINK_DESC {
  int Link_Id = 0;
  std::string Link_Name;
  int Link_Type = 0;
  int Synchro_Type = 0;
  int Task_From = 0;
  int Task_To = 0;
  LawPtr Link_Law;  // null for a PROGRAM link
  int Depth = 0;
  double Val = 0.0;
  int Is_Critical = 0;
};
using Link_Desc = LINK_DESC*;
using LinkPtr = std::unique_ptr<LINK_DESC>;

// A task's outgoing links in list order: the reader prepends, so the front
// is the link written last. The dump, the simulator's choice among parallel
// links and the Quelm link numbers all depend on this order.
using LINK_LIST = std::vector<LinkPtr>;

// A layer, or the predecessor set of a task: task numbers, ascending.
struct LAYER_DESC {
  int Nb_Tasks = 0;
  std::vector<int> Task_Id;
};
using Layer_Desc = std::unique_ptr<LAYER_DESC>;

struct TASK {
  int Task_Id = 0;
  std::string Task_Name;
  std::optional<std::string> Task_Given_Name;
  LawPtr Task_Law;
  LINK_LIST Neighbors;
  Layer_Desc Prev;  // null until the topology has run
  int Is_Critical = 0;
};

struct Graph {
  int Size = 0;
  int Nb_Events = 0;
  std::vector<TASK> T;
  std::vector<LAYER_DESC> Level;
  int Nb_Layers = 0;  // 0 when the DATA links hold a cycle
  int Max_Dependency = 0;
};
using GraphPtr = std::unique_ptr<Graph>;

struct Parametres {
  int Size = 0;
  int Nb_Events = 0;
};

}  // namespace orv::tg
