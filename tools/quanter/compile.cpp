#include "compile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/execute.h"
#include "common/pnl_writer.h"
#include "common/resources.h"
#include "common/work_files.h"

// The arrays are defined once, in the generated unit.
#define RESOURCES
#include "resources.h"

namespace quanter {

namespace {

const char* const TOOL = "quanter";

// The fragments the code generator writes into the work area.
const char* const FRAGMENTS[] = {"pnc_initial_evolution.c", "pnc_evolution.c",
                                 "pnc_graph_parameters.h", "pnc_declarations.h"};

}  // namespace

int Resources_Are_Present() {
  return orv::Is_Available[C_COMPILER] && orv::Is_Available[TARVIN];
}

bool Tokens_At_Start(const orv::pn::PetriNet& Reseau) {
  // A lag rounds to a tick of its own at some scale unless it is 0 or less.
  for (const orv::pn::PL_DES& pl : Reseau.P) {
    if (pl.Init_Pop < 0) return false;
    for (double lag : pl.Lag_Times)
      if (!(lag <= 0)) return false;
  }
  return true;
}

std::vector<std::string> Compiler_Arguments(const std::string& Source, const std::string& Simulator,
                                            const std::string& Include_Dir, bool No_Lags) {
  // The fragments are one long straight-line step; at -O2 the compiler
  // spends nearly all of a run's time on it (redundancy elimination and
  // dead-store passes walking the aliases of thousands of statements). -Og
  // without those passes runs the step as fast as -O2 (the statements store
  // into distinct counters, so there is little for them to remove) and
  // leaves out more of what -O1 would do for nothing (dead stores, points-to
  // analysis, scalar replacement, if-conversion). For the same reason the CSE
  // passes gain nothing from long stretches of the step: bounding the memory
  // slots they track (scanned at every store) and the insns they look across
  // cuts their time, not the step's. The skeleton leaves the end-of-run
  // statistics unoptimised; with -pipe the assembler reads as the compiler
  // writes.
  std::vector<std::string> args = {Source,
                                   "-o",
                                   Simulator,
                                   "-I" + Include_Dir,
                                   "-lm",
                                   "-Og",
                                   "-fno-tree-fre",
                                   "-fno-tree-dominator-opts",
                                   "--param=max-cselib-memory-locations=20",
                                   "--param=max-cse-insns=200",
                                   "-pipe"};
  // Without lags the first ticks are regular ones whose look-backs find
  // rows not yet written: the skeleton can leave out the first-tick
  // fragment, which costs the compiler as much as all the rest.
  if (No_Lags) args.push_back("-DNO_LAGS");
  return args;
}

int List_Resources(bool Debug) {
  orv::get_resources(orv::The_Resources, TOOL, 1, Debug);
  // The skeleton counts too: without it the compiler has nothing to build.
  const int present = orv::Resources_Are_Present(orv::The_Resources);
  if (!present) orv::Report_Missing(orv::The_Resources, TOOL);
  return present;
}

Compile_Result Compile_PN(const orv::pn::PetriNet& Reseau, const std::string& Net_File,
                          int Checking, const std::string& Tmp_Dir, int Keep,
                          const Run_Options& options, bool Debug) {
  using orv::Resource_Value;
  if (Checking) return List_Resources(Debug) ? COMPILE_DONE : COMPILE_MISSING;
  orv::get_resources(orv::The_Resources, TOOL, 0, Debug);
  if (!orv::Resources_Are_Present(orv::The_Resources)) {
    std::fprintf(stderr, "%s: error: some resources are missing (check with -c)\n", TOOL);
    orv::Report_Missing(orv::The_Resources, TOOL);
    return COMPILE_MISSING;
  }

  // The work area: a directory of this run's own, which nobody else can
  // have prepared, inside the "-tmp" directory, else inside TMP_DIR. Its
  // fixed names are then this run's alone: another run in the same folder,
  // or a user's file named like one of them, is never met.
  const bool named = !Tmp_Dir.empty() || std::getenv("TMP_DIR") != nullptr;
  const std::string parent = orv::Bare_Dir(!Tmp_Dir.empty() ? Tmp_Dir : Resource_Value[TMP_DIR]);
  const std::string dir = orv::Make_Work_Dir(TOOL, parent, named, Keep);
  if (dir.empty()) return COMPILE_FAILED;

  // Files to be made are named as the user gave them: a search along PATH
  // means nothing for them. The net file defaults into the work area.
  const char* pnl_env = std::getenv("TMP_PNL_FILE");
  const std::string pnl_file = pnl_env ? pnl_env : orv::Join_Path(dir, "quanter.pnl");
  const char* sim_env = std::getenv("SIM_NAME");
  const std::string sim_name = sim_env ? sim_env : orv::The_Resources.Default_Value[SIM_NAME];
  const bool sim_outside = !sim_name.empty() && sim_name[0] == '/';
  const std::string simulator = sim_outside ? sim_name : orv::Join_Path(dir, sim_name.c_str());

  // A work file named by the user is made afresh, and goes at the end: it
  // must not be the net being simulated.
  bool ok = true;
  for (const std::string* f : {&pnl_file, &simulator}) {
    if (ok && !Net_File.empty() && orv::Same_File(*f, Net_File)) {
      std::fprintf(stderr, "%s: error: the work file %s is the net file %s\n", TOOL, f->c_str(),
                   Net_File.c_str());
      ok = false;
    }
  }
  // What the run made, and only that, goes at the end.
  bool made_pnl = false, made_simulator = false;
  if (ok) {
    made_pnl = orv::Create_Private_File(pnl_file);
    if (made_pnl && !Keep && pnl_env) orv::Remove_On_Signal(pnl_file);
    ok = made_pnl && orv::Write_PN_As_PNL(Reseau, pnl_file, TOOL) == 1;
    if (!ok)
      std::fprintf(stderr, "%s: error: cannot write the net to %s\n", TOOL, pnl_file.c_str());
  }
  if (ok) {
    ok = orv::Run_Step(TOOL, Resource_Value[TARVIN],
                       {"-f", pnl_file, "-tmp", dir, "-tmax", std::to_string(options.Tmax),
                        "-scaling", std::to_string(options.Scale), "-bs",
                        std::to_string(options.Buf_Size)});
    if (ok && !Keep && sim_outside) orv::Remove_On_Signal(simulator);
    made_simulator = ok && orv::Run_Step(TOOL, Resource_Value[C_COMPILER],
                                         Compiler_Arguments(Resource_Value[C_SOURCE_FILE],
                                                            simulator, dir,
                                                            Tokens_At_Start(Reseau)));
    ok = made_simulator && orv::Run_Step(TOOL, simulator, {});
  }

  if (!Keep) {
    if (made_pnl) unlink(pnl_file.c_str());
    if (made_simulator || !sim_outside) unlink(simulator.c_str());
    orv::Forget_On_Signal(pnl_file);
    orv::Forget_On_Signal(simulator);
    for (const char* f : FRAGMENTS) unlink(orv::Join_Path(dir, f).c_str());
    rmdir(dir.c_str());
    orv::Forget_On_Signal(dir);
  }
  return ok ? COMPILE_DONE : COMPILE_FAILED;
}

}  // namespace quanter
