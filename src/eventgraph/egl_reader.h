// The EGL reader: builders of the event-graph model, the reader entry points
// and the debugging dump.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/event_graph.h"
#include "common/law.h"
#include "common/value_list.h"

// Line counter of the EGL scanner: 1 at start, never reset, so a second
// read in the same process keeps counting.
extern int EGL_lineno;

namespace orv::eg {

// Trace flag set by "-debug".
extern int Debug;

// Most initial tokens one graph may hold (each carries a lag): beyond it
// the read stops with a message and no graph.
extern long Max_Read_Tokens;
// Thrown by the builders when a read passes its bound, after the message.
struct Read_Bound {};

using TransPtr = std::unique_ptr<TRANS_DESC>;
using PlacePtr = std::unique_ptr<PLACE_DESC>;

// A token declaration on its way into a place.
struct POPULATION {
  int Pop = 0;
  Compact_Vector<double> Delais;  // handed whole to the place as its Lag_Times
};

// While a file is read, the places of every line sit in one array in
// written order and each transition holds the range of its line's; the
// graph takes them over in Parse_EG. The list order the model follows is
// the reverse of written order, for transitions and for the places of a
// line.
struct Transition_Cell {
  TransPtr Trans;
  unsigned First_Place = 0;
  unsigned Nb_Places = 0;
};
struct Read_Cells {
  std::vector<Transition_Cell> Transitions;
  std::vector<PlacePtr> Places;
};

// Reads an EGL model; an empty path reads standard input. Null after a
// message when the file cannot be opened, has a syntax error or describes
// no sound graph.
EventGraphPtr Read_Network(const std::string& path);
// The same from an open stream (left open) or from text in memory.
EventGraphPtr Read_Network(FILE* in);
EventGraphPtr Read_Network_Text(std::string_view text);

// Null after the messages when the identifiers do not make a graph
// (see egl_reader.cpp).
EventGraphPtr Parse_EG(int size, Read_Cells cells);

// size empty transition slots; null when it cannot be allocated.
EventGraphPtr New_Event_Graph(int size);
TransPtr New_Transition();
PlacePtr New_Place();

TransPtr Parse_Transition(int id, LawPtr law, std::string_view name, std::string_view data);
PlacePtr Parse_Place(int downstream_id, LawPtr law, POPULATION population,
                     std::string_view name, std::string_view data1, std::string_view data2);

// lags in written order. ok turns false when the lag array cannot be
// allocated.
POPULATION Parse_Init_Pop(int count, const std::vector<double>& lags, bool* ok = nullptr);

void dumpe_network(const EventGraph& g, FILE* out = stdout);

}  // namespace orv::eg
