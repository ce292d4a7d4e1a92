// oskel's run: the checks that a net can be split, the time scale, and the
// files of the simulator.
#include "run.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "petri/analysis.h"
#include "petri/flatten.h"
#include "petri/pnl_reader.h"
#include "petrigen/eq_module.h"
#include "petrigen/valtor_program.h"

#ifndef ORV_VALTOR_HOME_DEFAULT
#define ORV_VALTOR_HOME_DEFAULT "/usr/local/valtor"
#endif

namespace oskel {

namespace {

using orv::pn::PetriNet;
using orv::pn::Report;

// Opens a file the run writes. The files of a run are a set that takes
// their names together at the end: a name that cannot be a file (empty,
// a directory) is refused here, before anything is written, so that no
// half of the set takes its names. The caller prints the program's own
// message, then the cause.
bool cannot_be_a_file(const std::string& path) {
  struct stat st;
  if (path.empty()) {
    errno = ENOENT;  // as open() says of it
    return true;
  }
  if (path.back() == '/' ||
      (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))) {
    errno = EISDIR;
    return true;
  }
  return false;
}

// The first name refused and why, reported once the caller's message is out.
struct Refusal {
  std::string path;
  int err = 0;
};

FILE* open_target(orv::Output_Guard& out, const std::string& path, Refusal& refused) {
  FILE* f = cannot_be_a_file(path) ? nullptr : out.open(path, false);
  if (f == nullptr) refused = {path, errno};
  return f;
}

int satisfies_constraints(const PetriNet& net, int Testing, Report& Bad_Objects) {
  Bad_Objects.assign(static_cast<size_t>(6 * net.Nb_Places + 4 * net.Nb_Trans + 1), 0);
  Report* list = Testing ? &Bad_Objects : nullptr;
  if (net.Has_Inhibitors) {
    std::fprintf(stderr, "%s: the Petri network has inhibitor arcs. ", kProg);
    std::fprintf(stderr, "No translation.\n");
    return 0;
  }
  int fits = orv::pn::Has_Integral_Transitions(net, Testing, 1, list) &&
             orv::pn::Has_All_Deterministic_Places(net, Testing, list) &&
             orv::pn::Has_Simulable_Places(net, Testing, list);
  // A priority competition is resolved inside the recursion: the place and
  // all the transitions it feeds must be equational.
  for (int p = 0; fits && p < net.Nb_Places; ++p) {
    const orv::pn::PL_DES& pl = net.P[p];
    if (!pl.Routing || pl.Routing->Type != 'P') continue;
    bool ok = pl.Tag == 0;
    for (const orv::pn::LINK_LIST& a : pl.Outputs)
      if (a.Dest >= 0 && a.Dest < net.Nb_Trans && net.T[a.Dest].Tag != 0) ok = false;
    if (!ok) {
      fits = 0;
      if (Testing) orv::pn::Add_Report_Entry(Bad_Objects, 1, p);
    }
  }
  return fits;
}

// The "-testing" report, on standard output or in the "-o" file.
void Dump_Bad_Objects(const PetriNet& net, const std::string& Out_File_Name,
                      const Report& Bad_Objects, orv::Output_Guard& out) {
  FILE* f = stdout;
  if (!Out_File_Name.empty()) {
    Refusal refused;
    f = open_target(out, Out_File_Name, refused);
    if (!f) {
      std::fprintf(stderr, "%s: Error opening file %s.\n", kProg, Out_File_Name.c_str());
      out.report_open_failure(Out_File_Name, refused.err);
      return;
    }
  }
  int n = Bad_Objects.empty() ? 0 : Bad_Objects[0];
  for (int i = 1; i <= n && 2 * i < static_cast<int>(Bad_Objects.size()); ++i) {
    int kind = Bad_Objects[2 * i - 1], num = Bad_Objects[2 * i];
    if (kind == 0 && num >= 0 && num < net.Nb_Trans)
      std::fprintf(f, "Bad transition #%d (%s)\n", num + 1, net.T[num].Name.c_str());
    else if (kind == 1 && num >= 0 && num < net.Nb_Places)
      std::fprintf(f, "Bad place #%d (%s)\n", num + 1, net.P[num].Name.c_str());
  }
  if (f != stdout) out.close(f);
  out.keep_on_failure();
}

bool is_identifier(const std::string& s) {
  if (s.empty() || std::isdigit(static_cast<unsigned char>(s[0]))) return false;
  for (char c : s)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  return true;
}

// The class is named by "-classname", else after the input file without its
// directory and extension; a name C++ cannot take as a class name is none.
int Set_Class_Name(std::string& Class_Name, const std::string& Code_Name) {
  if (!Class_Name.empty()) return is_identifier(Class_Name);
  if (Code_Name.empty()) return 0;
  std::string base = Code_Name.substr(Code_Name.find_last_of('/') + 1);
  size_t dot = base.find_last_of('.');
  if (dot != std::string::npos) base.erase(dot);
  if (!is_identifier(base)) return 0;
  Class_Name = base;
  return 1;
}

}  // namespace

int Run(Options& o, orv::Output_Guard& out) {
  const bool debug = orv::pn::Debug != 0;
  if (o.gen.Kemp && o.gen.No_Stats) {
    std::printf("%s: error: -kemp and -nostats are incompatible. Choose one.\n", kProg);
    return -1;
  }

  orv::pn::NetPtr net = orv::pn::Read_Network(o.code_file);
  if (!net) {
    std::fprintf(stderr, "%s: Error reading network. No translation.\n", kProg);
    return -3;
  }
  if (net->Nb_Submodels > 0) {
    if (debug) {
      std::printf("%s: warning: the network contains submodels. ", kProg);
      std::printf("Flattening it...\n");
    }
    orv::pn::Flatten_PN(*net, 1);
  }
  orv::gen::Tag_Objects(*net, o.valtor_class);

  Report bad;
  int fits = satisfies_constraints(*net, o.testing, bad);
  if (fits) {
    o.gen.Scale = orv::pn::Find_Time_Scale(*net, 1, o.gen.Scale, o.testing, &bad);
    fits = o.gen.Scale != 0;
    if (debug && fits) std::printf("%s: time scale found: %d\n", kProg, o.gen.Scale);
  }
  // The report is written whichever check failed.
  if (!fits && o.testing) Dump_Bad_Objects(*net, o.out_file, bad, out);
  if (!fits) {
    std::fprintf(stderr, "%s: the network does not ", kProg);
    std::fprintf(stderr, "satisfy the constraints. No translation.\n");
    return -3;
  }
  orv::gen::init_place_status(o.gen, *net);

  if (!o.out_file.empty()) {
    const int refused = cannot_be_a_file(o.out_file) ? errno : 0;
    if (refused != 0 || !out.redirect_stdout(o.out_file, false)) {
      std::fprintf(stderr, "%s: Error opening file %s.\n", kProg, o.out_file.c_str());
      out.report_open_failure(o.out_file, refused);
      return -2;
    }
  }
  orv::pn::LAYER_STRUCT layers;
  if (!orv::pn::topological_analysis(*net, &layers)) {
    std::fprintf(stderr, "Topological analysis failed: ");
    std::fprintf(stderr, "look for an zero-time cycle.\n");
    return -3;
  }
  if (debug) orv::pn::Dump_Layer_Struct(layers);
  if (o.tmax >= 0) {
    if (!net->Sim_Params) net->Sim_Params = std::make_unique<orv::pn::Sim_Control>();
    net->Sim_Params->Nb_Firings = o.tmax;
  }

  if (o.valtor_class && !Set_Class_Name(o.class_name, o.code_file)) {
    std::printf("%s: error: could not generate valid class name.", kProg);
    std::printf(" No code.\n");
    return -4;
  }

  // The generator stops at the first file it cannot open, after its message.
  Refusal refused;
  auto opener = [&](const std::string& path) { return open_target(out, path, refused); };
  int r = orv::gen::gen_c_code(o.gen, *net, layers, o.tmp_dir, o.module_file, o.valtor_class,
                               o.class_name, o.single_marking, o.quelm, o.distributed, opener);
  if (r == orv::gen::GEN_OPEN_FAILED) {
    out.report_open_failure(refused.path, refused.err);
    return -2;
  }
  if (r == orv::gen::GEN_REFUSED) return -3;

  // A file that cannot be written, or a program known not to work, fails the
  // run: nothing half made is left behind.
  int status = 0;
  auto open_or_report = [&](const std::string& path) {
    FILE* f = open_target(out, path, refused);
    if (!f) {
      std::fprintf(stderr, "%s: Error opening file %s.\n", kProg, path.c_str());
      out.report_open_failure(path, refused.err);
    }
    return f;
  };
  if (!o.valtor_class && !o.gen.No_Valtor) {
    if (FILE* f = open_or_report(o.tmp_dir + o.program_file)) {
      if (!orv::gen::gen_valtor_code(o.gen, *net, f, orv::gen::Valtor_Profile{})) status = -3;
    } else {
      status = -2;
    }
    // Without VALTOR_HOME the library is where the tool set is installed:
    // under ORVHOME when it is set, else where the build put it.
    const char* home = std::getenv("VALTOR_HOME");
    const char* orvhome = std::getenv("ORVHOME");
    std::string lib = home                          ? std::string(home)
                      : orvhome && orvhome[0] != 0 ? std::string(orvhome) + "/lib/valtor"
                                                   : std::string(ORV_VALTOR_HOME_DEFAULT);
    if (FILE* f = open_or_report(o.tmp_dir + "Makefile.Valtor"))
      orv::gen::gen_valtor_makefile(f, lib, o.program_file, o.module_file);
    else if (status == 0)
      status = -2;
    if (o.gen.Kemp) {
      if (FILE* f = open_or_report("sim.kemp"))
        orv::gen::gen_kemp_code(o.gen, *net, f);
      else if (status == 0)
        status = -2;
    }
  }
  orv::gen::Free_Memory(o.gen);
  return status;
}

}  // namespace oskel
