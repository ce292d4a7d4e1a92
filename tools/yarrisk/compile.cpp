#include "compile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/egl_writer.h"
#include "common/execute.h"
#include "common/resources.h"
#include "common/work_files.h"

// The arrays are defined once, in the generated unit.
#define RESOURCES
#include "resources.h"

namespace yarrisk {

namespace {

const char* const TOOL = "yarrisk";

// The fragments the code generator writes into the work area.
const char* const FRAGMENTS[] = {"egc_initial_evolution.c", "egc_evolution.c",
                                 "egc_graph_parameters.h", "egc_declarations.h"};

}  // namespace

int Resources_Are_Present() {
  return orv::Is_Available[C_COMPILER] && orv::Is_Available[FENNOCK];
}

Compile_Result Compile_EG(const orv::EventGraph* Reseau, const std::string& Graph_File,
                          int Sim_Length, int Checking, int Keep, int Waiting_Time, int From_Trans,
                          int To_Trans, bool Debug) {
  using orv::Resource_Value;
  orv::get_resources(orv::The_Resources, TOOL, Checking, Debug);
  const int present = Resources_Are_Present();
  if (Checking) return COMPILE_DONE;
  if (!present) {
    std::fprintf(stderr, "%s: error: some resources are missing (check with -c)\n", TOOL);
    return COMPILE_MISSING;
  }

  // The work area: a directory of this run's own inside TMP_DIR, which
  // nobody else can have prepared. Its fixed names are then this run's
  // alone: another run in the same folder, or a user's file named like one
  // of them, is never met.
  const std::string parent = orv::Bare_Dir(Resource_Value[TMP_DIR]);
  // A folder kept is kept whatever ends the run.
  const std::string dir =
      orv::Make_Work_Dir(TOOL, parent, std::getenv("TMP_DIR") != nullptr, Keep);
  if (dir.empty()) return COMPILE_FAILED;

  // Files to be made are named as the user gave them: a search along PATH
  // means nothing for them. The graph file defaults into the work area.
  const char* egl_env = std::getenv("TMP_EGL_FILE");
  const std::string egl_file = egl_env ? egl_env : orv::Join_Path(dir, "yarrisk.egl");
  const char* sim_env = std::getenv("SIM_NAME");
  const std::string sim_name = sim_env ? sim_env : orv::The_Resources.Default_Value[SIM_NAME];
  const bool sim_outside = !sim_name.empty() && sim_name[0] == '/';
  const std::string simulator = sim_outside ? sim_name : orv::Join_Path(dir, sim_name);

  // A work file named by the user is made afresh, and goes at the end: it
  // must not be the graph being simulated.
  bool ok = Reseau != nullptr;
  for (const std::string* f : {&egl_file, &simulator}) {
    if (ok && !Graph_File.empty() && orv::Same_File(*f, Graph_File)) {
      std::fprintf(stderr, "%s: error: the work file %s is the graph file %s\n", TOOL, f->c_str(),
                   Graph_File.c_str());
      ok = false;
    }
  }
  // What the run made, and only that, goes at the end.
  bool made_egl = false, made_simulator = false;
  if (ok) {
    made_egl = orv::Create_Private_File(egl_file);
    if (made_egl && !Keep && egl_env) orv::Remove_On_Signal(egl_file);
    ok = made_egl && orv::Write_EG_As_EGL(*Reseau, egl_file, TOOL) == 1;
    if (!ok)
      std::fprintf(stderr, "%s: error: cannot write the graph to %s\n", TOOL, egl_file.c_str());
  }
  if (ok) {
    std::vector<std::string> gen = {"-f", egl_file, "-tmp", dir};
    if (Waiting_Time) {
      gen.insert(gen.end(), {"-from", std::to_string(From_Trans), "-to", std::to_string(To_Trans)});
    }
    gen.insert(gen.end(), {"-nevt", std::to_string(Sim_Length)});
    // An older simulator, or a link planted under its name, must not be run.
    unlink(simulator.c_str());
    if (!Keep && sim_outside) orv::Remove_On_Signal(simulator);
    ok = orv::Run_Step(TOOL, Resource_Value[FENNOCK], gen);
    made_simulator = ok && orv::Run_Step(TOOL, Resource_Value[C_COMPILER],
                                         {Resource_Value[C_SOURCE_FILE], "-o", simulator,
                                          "-I" + dir, "-lm", "-O"});
    ok = made_simulator && orv::Run_Step(TOOL, simulator, {});
  }

  if (!Keep) {
    if (made_egl) unlink(egl_file.c_str());
    if (made_simulator || !sim_outside) unlink(simulator.c_str());
    orv::Forget_On_Signal(egl_file);
    orv::Forget_On_Signal(simulator);
    for (const char* f : FRAGMENTS) unlink(orv::Join_Path(dir, f).c_str());
    rmdir(dir.c_str());
    orv::Forget_On_Signal(dir);
  }
  return ok ? COMPILE_DONE : COMPILE_FAILED;
}

}  // namespace yarrisk
