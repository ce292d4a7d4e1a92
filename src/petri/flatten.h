// Flattening of a hierarchical net: every object of every submodel is given a
// number after the top net's own and moved into the top net's arrays, every
// binding becomes an ordinary arc, and routings and exported ports are
// renumbered to flat objects.
#pragma once

#include "common/petri_net.h"

namespace orv::pn {

// Flattens net in place and returns it. With reset_names, the names of the
// moved objects get their submodel path as prefix ("a/c/q", "*/" for an
// unnamed submodel). A net without submodels is left as it is.
//
// The objects leave the submodel nets, which stay in S (hollow) so that
// First_Place and First_Trans still map flat numbers back to submodels;
// Nb_Submodels becomes 0 and the binding tables are emptied, their arcs now
// being ordinary arcs of the flat net.
PetriNet& Flatten_PN(PetriNet& net, int reset_names);

// The flat number of the object an expanded address names inside a submodel
// whose objects start at first_place / first_trans; -1 after a message.
int Find_Number_In_Submodel(const PetriNet& net, int first_place, int first_trans,
                            const ADDRESS* a);

}  // namespace orv::pn
