// gossamel's run: the configuration read and checked, then the models and
// the network program written.
#include <cstdio>
#include <memory>
#include <string>

#include "atm/atm.h"
#include "common/output_guard.h"
#include "gossamel.h"

namespace gossamel {

namespace {

// Submodel numbers 1000 k + s stay distinct only below this.
constexpr int kMaxSessions = 1000;

void Print_Routing(const orv::atm::CONFIG& cf) {
  std::printf("Routing table (Sw [ row row ... row ]):\n");
  for (int s = 0; s < cf.NbSession; ++s) {
    std::printf("Session %d:", s);
    for (int t = 0; t < cf.NbThrough[s]; ++t) {
      const int k = cf.NumSw[s][t];
      std::printf(" Sw %d[ ", k);
      for (int r : cf.route[s][k]) std::printf("%d ", r);
      std::printf("]");
    }
    std::printf("\n");
  }
}

}  // namespace

int Run(const Options& o, orv::Output_Guard& out) {
  FILE* in = stdin;
  std::unique_ptr<FILE, int (*)(FILE*)> owned(nullptr, &std::fclose);
  if (!o.file.empty()) {
    owned.reset(std::fopen(o.file.c_str(), "r"));
    if (!owned) {
      std::fprintf(stderr, "%s: could not open file %s\n", Invocation.c_str(), o.file.c_str());
      return -1;
    }
    in = owned.get();
  }
  orv::atm::CONFIG cf;
  if (!orv::atm::Read_Config(in, cf, stdout)) return -1;
  if (cf.NbSession >= kMaxSessions) {
    std::fprintf(stderr, "%s: error: too many sessions (%d): at most %d.\n", "gossamel",
                 cf.NbSession, kMaxSessions - 1);
    return -1;
  }
  // The reader has said which size is no power of two; the routes of such a
  // switch lead to rows it lacks, so no model of it is written.
  for (int k = 0; k < cf.NbSwitch; ++k) {
    const int size = cf.SwitchSize[k];
    if (size < 1 || (size & (size - 1)) != 0) return -1;
  }
  // The models number a switch's places and a session's stages from its
  // stage count: a single port has none to number them from.
  for (int k = 0; k < cf.NbSwitch; ++k)
    if (cf.Layer[k] < 0) {
      std::fprintf(stderr, "%s: error: switch %d has a single port: its model needs two at least.\n",
                   "gossamel", k);
      return -1;
    }
  if (o.debug) Print_Routing(cf);

  Write_Session_Models(out, cf, o);
  for (int k = 0; k < cf.NbSwitch; ++k) {
    char fname[32];
    std::snprintf(fname, sizeof fname, "switch%d.pnl", k);
    if (FILE* f = Open_Output(out, fname)) {
      Write_Switch_Model(f, cf, k, o);
      out.close(f);
    }
  }
  if (FILE* f = Open_Output(out, "top_network.pnl")) {
    Write_Top_Network(f, cf);
    out.close(f);
  }
  // A source without a constructor would leave a program that does not
  // compile: the models stay, the program is not written.
  int status = 0;
  if (!Valtor_Laws_Ok(cf)) {
    status = -1;
    out.keep_on_failure();
  } else if (FILE* f = Open_Output(out, "atm_network.cc")) {
    gen_Valtor(f, cf, o.distributed, o.stats);
    out.close(f);
  }
  if (o.distributed)
    if (FILE* f = Open_Output(out, "main.cc")) {
      Gen_Distributed_Main(f, cf);
      out.close(f);
    }
  // The files are a set: none takes its name when one could not be opened.
  if (Open_Failed) status = -1;
  return status;
}

}  // namespace gossamel
