// A Petri net that is an event graph, written as EGL.
#pragma once

#include <cstdio>

#include "common/petri_net.h"

namespace orv::pn {

// What keeps a net from being written as EGL.
enum class Egl_Refusal { None, Inhibitor_Arcs, Weighted_Arcs, Not_An_Event_Graph };

// Arcs in either direction count: a weight or an inhibitor mark on a
// transition-to-place arc has no EGL form either.
bool Has_Any_Inhibitor(const PetriNet& net);
bool Has_Any_Weight(const PetriNet& net);

// Every place has exactly one input and one output arc.
int Is_An_Event_Graph(const PetriNet& net);

// The tests in the order the program reports them (inhibitors first).
Egl_Refusal Check_Event_Graph(const PetriNet& net);

// The net as EGL on out: a header naming tool and the date, then one line
// per transition. The net must have passed Check_Event_Graph.
void dump_egl_code(FILE* out, const PetriNet& net, const char* tool);

}  // namespace orv::pn
