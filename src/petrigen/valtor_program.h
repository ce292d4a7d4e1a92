// The discrete-event main program of a mixed simulator, written for the
// outside simulation class library, its makefile and the plot script. The
// program writer serves two generators: oskel, whose program holds the
// equational part as one object, and a whole-net generator, whose program is
// all discrete-event.
#pragma once

#include <cstdio>
#include <string>

#include "common/petri_net.h"
#include "petrigen/gen_tables.h"

namespace orv::gen {

struct Valtor_Profile {
  const char* Tool = "oskel";  // names the program in headers and messages
  bool Mixed = true;           // the net has an equational part (tags apply)
  // A whole net (not Mixed): the library source the program includes, by
  // the path it has where the generator was built.
  std::string Routing_Source_File;
};

// Writes the program on `out`. Returns false when the text is known not to
// compile or not to run (a law the library cannot draw, a source without
// its connections); every such problem is reported on standard error.
// The seeds the laws draw from advance in ctx.
bool gen_valtor_code(Gen_Context& ctx, const pn::PetriNet& net, FILE* out,
                     const Valtor_Profile& profile);

// The makefile; `valtor_home` is the directory of the library's
// Makefile.head.
void gen_valtor_makefile(FILE* out, const std::string& valtor_home,
                         const std::string& Code_File_Name, const std::string& EQ_File_Name);

// The makefile of a whole-net program: the library's Makefile.head in
// `lib_dir`, one object built from Code_File_Name.
void gen_valtor_whole_makefile(FILE* out, const std::string& lib_dir,
                               const std::string& Code_File_Name);

// The plot commands of the discrete-event objects.
void gen_kemp_code(Gen_Context& ctx, const pn::PetriNet& net, FILE* out,
                   const Valtor_Profile& profile = {});

}  // namespace orv::gen
