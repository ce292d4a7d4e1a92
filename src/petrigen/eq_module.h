// The equational module: one C++ source that simulates the equational part
// of a net by counting firings tick by tick, and meets the discrete-event
// program through Init, Increment, Arrival, Next_Departure, Report_Stat and
// Terminate.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "common/petri_net.h"
#include "petrigen/gen_tables.h"

namespace orv::gen {

// Opens a generated file for writing; null after reporting a failure.
using File_Opener = std::function<FILE*(const std::string& path)>;

enum Gen_Result {
  GEN_DONE = 1,         // every file written
  GEN_OPEN_FAILED = 0,  // a file could not be opened (reported)
  GEN_REFUSED = -1,     // the net cannot make a module that compiles (reported)
};

// Writes Tmp_Dir + File_Name, or in class mode the class header (with
// Distributed also the proxy header) and source, named after the class.
// The settings come from ctx (Buf_Size, Y_Static, No_Valtor, No_Stats, Scale,
// Tool_Name); its tables are built here.
int gen_c_code(Gen_Context& ctx, const pn::PetriNet& net, const pn::LAYER_STRUCT& layers,
               const std::string& Tmp_Dir, const std::string& File_Name, int Valtor_Class,
               const std::string& Class_Name, int Single_Marking_Function, int QUELM_Style,
               int Distributed, const File_Opener& open);

// The longest delay of the net in ticks (at least 1) and the buffer size for
// it, as gen_c_code fixes them; for tests and the other generators.
int Compute_Max_Dependency(const pn::PetriNet& net, int Scale);
int Compute_Buffer_Size(int Buf_Size, int Scale, int Nb_Firings, int Max_Read);

}  // namespace orv::gen
