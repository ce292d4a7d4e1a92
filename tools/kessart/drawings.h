// The four drawings of a Petri net: dot, daVinci, Sorvic graph and vund.
// Transitions and places are labelled "T<n>" and "P<n>" from 1; with
// fullname each label also carries the object's name on a second line.
#pragma once

#include <cstdio>

#include "common/petri_net.h"

namespace orv::pn {

void dump_dot_code(FILE* out, const PetriNet& net, bool fullname);
void dump_daVinci_code(FILE* out, const PetriNet& net, bool fullname);
void dump_sorvic_code(FILE* out, const PetriNet& net);
void dump_vund_code(FILE* out, const PetriNet& net, bool fullname, const char* tool);

}  // namespace orv::pn
