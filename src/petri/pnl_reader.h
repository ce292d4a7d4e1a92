// Reading a PNL file into a checked PetriNet: the file is found (also along
// PNL_PATH), parsed, its submodel files read recursively, the arcs inverted,
// the arcs crossing submodel boundaries collected as bindings, and bindings
// and routings checked. Messages go to the streams users know them on; the
// result is null after any syntax or consistency error.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/petri_net.h"
#include "petri/pnl_parse.h"

namespace orv::pn {

// Trace flag of the reader, set by the calling program.
extern int Debug;
// Submodel bookkeeping of the last level read.
extern int Nb_Submodels;
extern std::vector<std::string> File_Name_Table;
extern int Submodel_Level;
extern int Parsing_Done;
// Bounds on what one read may build: a chain of files nested deeper than
// Max_Submodel_Depth would exhaust the stack, and files naming their
// submodel files several times grow exponentially. Refused beyond them.
extern int Max_Submodel_Depth;
extern long Max_Submodel_Instances;
// Bounds on the whole of one read, every submodel instance counted: a small
// file can otherwise claim gigabytes (tokens each carry a lag, a diamond of
// submodel files multiplies its leaves, a device never ends). The first one
// passed stops the read at once with a message; the net is refused.
extern long Max_Read_Bytes;    // model text read
extern long Max_Read_Objects;  // transitions, places and arcs built
extern long Max_Read_Values;   // initial tokens and "REP" values

// An empty path reads standard input. The stream read is closed afterwards.
NetPtr Read_Network(const std::string& path);
// The same from an open stream (left open) or from a text; path only names
// the net and its messages. Submodel files are still read from disk.
NetPtr Read_Network_Stream(FILE* in, const std::string& path);
NetPtr Read_Network_Buffer(std::string_view text, const std::string& path);

// name as given, else along PNL_PATH; standard input for an empty name.
FILE* Open_PNL_File(const std::string& name);

// Builds the net from what the parse collected (sizes, objects, exports,
// submodels, bindings), then reads the submodel files and checks it.
NetPtr Parse_PN(Parsed parsed, const std::string& path);
// The submodel files, in list order; false when one could not be read.
bool Read_Submodel_Files(std::vector<SUBM_DES>& subs);
// Fills the Inputs lists and moves arcs to submodel ports into the bindings;
// false when an arc leads to no object of the right kind.
bool Invert_Network(PetriNet& net);
// Checks the bindings and the places' routings; `routings` false says no
// place has one, which spares a pass over the places.
int Consistency_Checking(PetriNet& net, bool routings = true);
// Kept for old callers: inversion is part of reading now.
void invert_network();

char Find_Type(const PetriNet& net, const ADDRESS* a);
// The address rewritten through the export tables so that it names a place
// or a transition (through its submodels); null after an error message.
AddressPtr Expand_Address(const PetriNet& net, const ADDRESS* a);

void dumpe_network(const PetriNet& net, FILE* out = stdout);

}  // namespace orv::pn
