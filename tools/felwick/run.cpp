// felwick's run: the check that every routing can be drawn by the library,
// and the files of the program.
#include "run.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "petri/flatten.h"
#include "petri/pnl_reader.h"
#include "petrigen/eq_module.h"
#include "petrigen/valtor_program.h"

#ifndef ORV_FELWICK_VALTOR_DIR
#define ORV_FELWICK_VALTOR_DIR "/usr/local/valtor"
#endif
#ifndef ORV_FELWICK_ROUTING_SOURCE
#define ORV_FELWICK_ROUTING_SOURCE "/usr/local/valtor/Routing_Source.cc"
#endif

namespace felwick {

namespace {

const int Default_Length = 1000;

using orv::pn::PetriNet;

// Only a random choice between the outputs of a place can be drawn by the
// library's routing.
int satisfies_constraints(const PetriNet& net) {
  if (net.Has_Inhibitors) {
    std::fprintf(stderr, "%s: the Petri network has inhibitor arcs. ", kProg);
    std::fprintf(stderr, "No translation.\n");
    return 0;
  }
  for (int p = 0; p < net.Nb_Places; ++p) {
    const orv::pn::PL_DES& pl = net.P[p];
    if (pl.Outdegree <= 1 || !pl.Routing) continue;
    char r = pl.Routing->Type;
    if (r != 'C' && r != 'D' && r != 'P') continue;
    std::fprintf(stderr, "%s: the Petri network cannot ", kProg);
    std::fprintf(stderr, "be translated.\n\t");
    std::fprintf(stderr, "Place #%d [%s] has a non-probabilistic routing policy.\n", pl.Pl_Id,
                 pl.Name.c_str());
    return 0;
  }
  return 1;
}

}  // namespace

int Run(Options& o, orv::Output_Guard& out) {
  if (o.gen.Kemp && o.gen.No_Stats) {
    std::printf("%s: error: -kemp and -nostats are incompatible. Choose one.\n", kProg);
    return -1;
  }

  orv::pn::NetPtr net = orv::pn::Read_Network(o.file);
  if (!net) {
    std::fprintf(stderr, "%s: Error reading network. No translation.\n", kProg);
    return -3;
  }
  // The objects of the submodels and the arcs to them are part of the net
  // simulated: they are made objects of the program like the others.
  if (net->Nb_Submodels > 0) {
    if (orv::pn::Debug) {
      std::printf("%s: warning: the network contains submodels. ", kProg);
      std::printf("Flattening it...\n");
    }
    orv::pn::Flatten_PN(*net, 1);
  }
  if (!satisfies_constraints(*net)) {
    std::fprintf(stderr, "%s: the network does not ", kProg);
    std::fprintf(stderr, "satisfy the constraints. No translation.\n");
    return -3;
  }
  if (!net->Sim_Params) net->Sim_Params = std::make_unique<orv::pn::Sim_Control>();
  if (o.tmax >= 0)
    net->Sim_Params->Nb_Firings = o.tmax;
  else if (net->Sim_Params->Nb_Firings <= 0)
    // A net gives no length of its own any more: quanter's default, not an
    // empty run.
    net->Sim_Params->Nb_Firings = Default_Length;
  // Every object of the net is discrete-event.
  for (orv::pn::TR_DES& t : net->T) t.Tag = 1;
  for (orv::pn::PL_DES& p : net->P) p.Tag = 1;
  o.gen.Tool_Name = kProg;
  orv::gen::init_place_status(o.gen, *net);

  if (!o.code_file.empty() && !out.redirect_stdout(o.code_file, false)) {
    std::fprintf(stderr, "%s: Error opening file %s.\n", kProg, o.code_file.c_str());
    out.report_open_failure(o.code_file);
    return -2;
  }
  orv::gen::Valtor_Profile profile;
  profile.Tool = kProg;
  profile.Mixed = false;
  // The library is where the tool set is installed: under ORVHOME when it
  // is set, else where the build put it.
  const char* orvhome = std::getenv("ORVHOME");
  const bool moved = orvhome && orvhome[0] != 0;
  const std::string lib_dir =
      moved ? std::string(orvhome) + "/lib/valtor" : std::string(ORV_FELWICK_VALTOR_DIR);
  profile.Routing_Source_File =
      moved ? lib_dir + "/Routing_Source.cc" : std::string(ORV_FELWICK_ROUTING_SOURCE);
  int status = 0;
  // A law the library cannot draw leaves a program that does not run.
  if (!orv::gen::gen_valtor_code(o.gen, *net, stdout, profile)) status = -3;
  // A file that cannot be made is named, and the run fails: the build or
  // the plot would otherwise use an old one or none without a word. The
  // files that could be written are kept.
  auto open_or_report = [&](const char* path) {
    FILE* f = out.open(path, false);
    if (!f) {
      std::fprintf(stderr, "%s: Error opening file %s.\n", kProg, path);
      out.report_open_failure(path);
      if (status == 0) {
        status = -2;
        out.keep_on_failure();
      }
    }
    return f;
  };
  if (FILE* f = open_or_report("Makefile.Valtor"))
    orv::gen::gen_valtor_whole_makefile(f, lib_dir, o.code_file);
  if (o.gen.Kemp)
    if (FILE* f = open_or_report("sim.kemp")) orv::gen::gen_kemp_code(o.gen, *net, f, profile);
  return status;
}

}  // namespace felwick
