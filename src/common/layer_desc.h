// One evaluation layer of a net: the transitions that can be computed once
// every earlier layer is known. Shared by the Petri-net and event-graph
// models so that a program converting one into the other sees one type.
#pragma once

#include <vector>

namespace orv {

struct LAYER_DESC {
  int Nb_Nodes = 0;
  // 0-based transition indices, in evaluation order.
  std::vector<int> Node_Id;
};

}  // namespace orv
